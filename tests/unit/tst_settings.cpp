#include "app/AppSettings.h"
#include "app/Autostart.h"
#include "app/SettingsTable.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QSettings>

using td::AppSettings;

class TestSettings : public QObject
{
    Q_OBJECT

    static QSettings store() { return QSettings("Morvane", "Tidra"); }
    static QString programFolder() { return QCoreApplication::applicationDirPath(); }

private slots:
    void init() { td::test::clearUserData(); }

    void emptyStoreGivesDefaults_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::newRow("left click: fast actions menu") << "tray/leftClick"
                                                       << "1";
        QTest::newRow("double click: settings") << "tray/doubleClick"
                                                << "2";
        QTest::newRow("middle click: none") << "tray/middleClick"
                                            << "5";
        QTest::newRow("show on start-up") << "tray/showOnStartUp"
                                          << "true";
        QTest::newRow("display time") << "alarms/DisplayTime"
                                      << "10";
        QTest::newRow("balloon") << "alarms/DisplayBaloon"
                                 << "false";
        QTest::newRow("shade effect") << "alarms/ShadeEffect"
                                      << "true";
        QTest::newRow("shade time") << "alarms/ShadeTime"
                                    << "15";
        QTest::newRow("delete expired") << "alarms/DeleteExpired"
                                        << "false";
        QTest::newRow("alarm sound on") << "alarms/PlaySound"
                                        << "true";
        QTest::newRow("alarm sound file") << "alarms/SoundFileName"
                                          << "oldphone.wav";
        QTest::newRow("compact pop-up") << "alarms/SimpleForm"
                                        << "true";
        QTest::newRow("activate by click") << "timers/ActivateByClick"
                                           << "true";
        QTest::newRow("captions") << "timers/ShowCaptions"
                                  << "true";
        QTest::newRow("shade inactive") << "timers/ShadeInactive"
                                        << "false";
        QTest::newRow("timer alarm") << "timers/AlarmEnabled"
                                     << "true";
        QTest::newRow("digit size normal") << "timers/FontSize"
                                           << "1";
        QTest::newRow("timer sound on") << "timers/PlaySound"
                                        << "true";
        QTest::newRow("timer sound file") << "timers/SoundFileName"
                                          << "oldphone.wav";
        QTest::newRow("no plug-in: empty skin") << "timers/DefaultSkin"
                                                << "";
        QTest::newRow("Sunday off") << "work/SunEnable"
                                    << "false";
        QTest::newRow("Monday on") << "work/MonEnable"
                                   << "true";
        QTest::newRow("Friday on") << "work/FriEnable"
                                   << "true";
        QTest::newRow("Saturday off") << "work/SatEnable"
                                      << "false";
        QTest::newRow("work begins") << "work/WedWorkBeginTime"
                                     << "9:00";
        QTest::newRow("lunch begins") << "work/WedLunchBeginTime"
                                      << "13:00";
        QTest::newRow("lunch ends") << "work/WedLunchEndTime"
                                    << "14:00";
        QTest::newRow("work ends") << "work/SatWorkEndTime"
                                   << "18:00";
        QTest::newRow("lunch on") << "work/NoLunch"
                                  << "false";
        QTest::newRow("hide till lunch") << "work/HideTillLunch"
                                         << "false";
        QTest::newRow("time to end of day") << "work/TimeToEndDay"
                                            << "true";
        QTest::newRow("time to holiday") << "work/TimeToHoliday"
                                         << "true";
        QTest::newRow("time to lunch") << "work/TimeToLunch"
                                       << "true";
        QTest::newRow("time to vacation") << "work/TimeToVacation"
                                          << "false";
    }
    void emptyStoreGivesDefaults()
    {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        AppSettings s;
        td::loadSettings(s, {});
        td::saveSettings(s);
        QCOMPARE(store().value(key).toString(), stored);
    }

    void everyKeyIsWrittenOnce()
    {
        AppSettings s;
        td::loadSettings(s, {});
        td::saveSettings(s);
        // 20 tray/alarm/timer keys, 7 days x 5 keys, 6 work flags.
        QCOMPARE(store().allKeys().size(), 20 + 35 + 6);
    }

    void loadedValuesReachTheRecord()
    {
        {
            QSettings s = store();
            s.setValue("tray/middleClick", 3);
            s.setValue("alarms/SoundFileName", "sounds/bell.wav");
            s.setValue("work/TueLunchEndTime", "14:45");
            s.setValue("work/SunEnable", true);
            s.setValue("timers/FontSize", "big");
        }
        AppSettings s;
        td::loadSettings(s, {});
        QCOMPARE(s.middleClick, 3);
        QCOMPARE(s.alarmSoundFileName, QString("sounds/bell.wav"));
        QCOMPARE(s.workDays[2].lunchEnd, QTime(14, 45));
        QVERIFY(s.workDays[0].enabled);
        QCOMPARE(s.timerFontSize, 0); // not a number
        QCOMPARE(s.workDays[1].workBegin, QTime(9, 0));
    }

    void timeTexts_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QTime>("loaded");
        QTest::addColumn<QString>("savedBack");
        QTest::newRow("leading zero") << "09:00" << QTime(9, 0) << "9:00";
        QTest::newRow("plain") << "7:05" << QTime(7, 5) << "7:05";
        QTest::newRow("late") << "23:59" << QTime(23, 59) << "23:59";
        QTest::newRow("not a time") << "noon" << QTime() << "";
        QTest::newRow("hour out of range") << "25:00" << QTime() << "";
    }
    void timeTexts()
    {
        QFETCH(QString, stored);
        QFETCH(QTime, loaded);
        QFETCH(QString, savedBack);
        store().setValue("work/MonWorkBeginTime", stored);
        AppSettings s;
        td::loadSettings(s, {});
        QCOMPARE(s.workDays[1].workBegin, loaded);
        td::saveSettings(s);
        QCOMPARE(store().value("work/MonWorkBeginTime").toString(), savedBack);
    }

    void skinKeyNeedsAFontPlugin()
    {
        store().setValue("timers/DefaultSkin", "stored skin");
        AppSettings s;
        s.timerDefaultSkin = "kept";
        td::loadSettings(s, {});
        QCOMPARE(s.timerDefaultSkin, QString("kept"));
        QObject notAFont;
        td::loadSettings(s, {&notAFont});
        QCOMPARE(s.timerDefaultSkin, QString("kept"));
    }

    void startWithOsFollowsTheEntry()
    {
        AppSettings s;
        td::loadSettings(s, {});
        QVERIFY(!s.startWithOS);
        s.startWithOS = true;
        td::saveSettings(s);
        QVERIFY(td::Autostart::exists());
        AppSettings again;
        td::loadSettings(again, {});
        QVERIFY(again.startWithOS);
        again.startWithOS = false;
        td::saveSettings(again);
        QVERIFY(!td::Autostart::exists());
    }

    void tableNamesEveryFieldOnce()
    {
        QSet<QString> keys;
        QSet<QString> widgets;
        for (const auto& e : td::settings::table()) {
            QVERIFY2(!keys.contains(e.key), qPrintable(e.key));
            QVERIFY2(!widgets.contains(e.widget), qPrintable(e.widget));
            keys << e.key;
            widgets << e.widget;
        }
        QVERIFY(td::settings::find("work/SatEnable"));
        QCOMPARE(td::settings::find("work/SatEnable")->widget, QString("daySatEnable"));
        QCOMPARE(td::settings::find("startWithOS")->kind, td::settings::Kind::Autostart);
        QVERIFY(!td::settings::find("tray/rightClick"));
    }

    void resolveSoundPath_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("resolved");
        const QString dir = programFolder();
        QTest::newRow("file name") << "oldphone.wav" << dir + "/oldphone.wav";
        QTest::newRow("subfolder") << "sounds/bell.wav" << dir + "/sounds/bell.wav";
        QTest::newRow("absolute") << "/usr/share/sounds/x.wav"
                                  << "/usr/share/sounds/x.wav";
    }
    void resolveSoundPath()
    {
        QFETCH(QString, stored);
        QFETCH(QString, resolved);
        QCOMPARE(td::resolveSoundPath(stored), resolved);
    }

    void relativeSoundPath_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("stored");
        const QString dir = programFolder();
        QTest::newRow("in the program folder") << dir + "/ring.wav"
                                               << "ring.wav";
        QTest::newRow("in a subfolder")
            << dir + "/sounds/old/ring.wav" << QDir::toNativeSeparators("sounds/old/ring.wav");
        QTest::newRow("outside stays absolute") << "/srv/media/ring.wav"
                                                << "/srv/media/ring.wav";
        QTest::newRow("sibling folder stays absolute")
            << QDir::cleanPath(dir + "/../elsewhere/ring.wav")
            << QDir::cleanPath(dir + "/../elsewhere/ring.wav");
        QTest::newRow("relative stays") << "sounds/ring.wav"
                                        << "sounds/ring.wav";
        QTest::newRow("dots in a name") << dir + "/..ring.wav"
                                        << "..ring.wav";
    }
    void relativeSoundPath()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, stored);
        QCOMPARE(td::relativeSoundPath(chosen), stored);
        QCOMPARE(td::resolveSoundPath(td::relativeSoundPath(chosen)),
                 QDir::cleanPath(QFileInfo(chosen).isAbsolute() ? chosen
                                                                : programFolder() + "/" + chosen));
    }
};

TIDRA_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
