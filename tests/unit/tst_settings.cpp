#include "app/AppSettings.h"
#include "storage/SafeWrite.h"
#include "storage/SettingsFile.h"
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

    void emptyStoreGivesDefaults()
    {
        AppSettings s;
        td::loadSettings(s, {});
        td::saveSettings(s);
        const QList<QPair<QString, QString>> expected{
            {"tray/leftClick", "1"},
            {"tray/doubleClick", "2"},
            {"tray/middleClick", "5"},
            {"alarms/DisplayTime", "10"},
            {"alarms/ShadeTime", "15"},
            {"alarms/SoundFileName", "oldphone.wav"},
            {"timers/SoundFileName", "oldphone.wav"},
            {"timers/FontSize", "1"},
            {"timers/DefaultSkin", ""},
            {"work/SunEnable", "false"},
            {"work/MonEnable", "true"},
            {"work/FriEnable", "true"},
            {"work/SatEnable", "false"},
            {"work/WedWorkBeginTime", "9:00"},
            {"work/WedLunchBeginTime", "13:00"},
            {"work/WedLunchEndTime", "14:00"},
            {"work/SatWorkEndTime", "18:00"},
            {"work/TimeToVacation", "false"},
        };
        for (const auto& [key, value] : expected)
            QVERIFY2(store().value(key).toString() == value, qPrintable(key));
    }

    void loadedValuesReachTheRecord()
    {
        {
            QSettings s = store();
            s.setValue("tray/middleClick", 3);
            s.setValue("work/TueLunchEndTime", "14:45");
            s.setValue("work/SunEnable", true);
            s.setValue("timers/FontSize", "big");
            s.setValue("timers/DefaultSkin", "stored skin");
        }
        AppSettings s;
        QObject notAFont;
        td::loadSettings(s, {&notAFont});
        QCOMPARE(s.middleClick, 3);
        QCOMPARE(s.workDays[2].lunchEnd, QTime(14, 45));
        QVERIFY(s.workDays[0].enabled);
        QCOMPARE(s.timerFontSize, 0); // not a number
        // Without a font plug-in the stored skin name is kept, and written back.
        QCOMPARE(s.timerDefaultSkin, QString("stored skin"));
        td::saveSettings(s);
        QCOMPARE(store().value("timers/DefaultSkin").toString(), QString("stored skin"));
    }

    void timeTexts_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QTime>("loaded");
        QTest::addColumn<QString>("savedBack");
        QTest::newRow("leading zero") << "09:00" << QTime(9, 0) << "9:00";
        QTest::newRow("not a time") << "noon" << QTime() << "";
        QTest::newRow("hour out of range") << "25:00" << QTime() << "";
    }
    void timeTexts()
    {
        QFETCH(QString, stored);
        QFETCH(QString, savedBack);
        store().setValue("work/MonWorkBeginTime", stored);
        AppSettings s;
        td::loadSettings(s, {});
        QTEST(s.workDays[1].workBegin, "loaded");
        td::saveSettings(s);
        QCOMPARE(store().value("work/MonWorkBeginTime").toString(), savedBack);
    }

    void soundPaths_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("stored");
        const QString dir = programFolder();
        QTest::newRow("in the program folder") << dir + "/ring.wav" << QString("ring.wav");
        QTest::newRow("in a subfolder")
            << dir + "/sounds/old/ring.wav" << QDir::toNativeSeparators("sounds/old/ring.wav");
        QTest::newRow("outside stays absolute") << "/srv/ring.wav" << QString("/srv/ring.wav");
        QTest::newRow("sibling folder stays absolute")
            << QDir::cleanPath(dir + "/../elsewhere/ring.wav")
            << QDir::cleanPath(dir + "/../elsewhere/ring.wav");
        QTest::newRow("dots in a name") << dir + "/..ring.wav" << QString("..ring.wav");
    }
    void soundPaths()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, stored);
        QCOMPARE(td::relativeSoundPath(chosen), stored);
        QCOMPARE(td::resolveSoundPath(stored), QDir::cleanPath(chosen));
    }
    void oversizeFileIsMovedAside_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("at the limit") << td::settingsfile::maxBytes;
        QTest::newRow("one byte more") << td::settingsfile::maxBytes + 1;
    }
    void oversizeFileIsMovedAside()
    {
        QFETCH(qint64, size);
        const bool over = size > td::settingsfile::maxBytes;
        td::test::PromptRecorder prompts;
        const QString path = td::settingsfile::path();
        QCOMPARE(path, store().fileName());
        QByteArray text = "[tray]\nmiddleClick=3\n[junk]\nx=";
        QVERIFY(QDir().mkpath(QFileInfo(path).path()) &&
                td::files::saveFile(path, text + QByteArray(size - text.size() - 1, 'x') + '\n') &&
                td::files::saveFile(path + ".pQrStU", "left by a save cut short"));
        AppSettings s;
        td::loadSettings(s, {});
        QCOMPARE(s.middleClick, over ? 5 : 3);
        QCOMPARE(QFileInfo(over ? path + ".bad" : path).size(), size);
        QVERIFY(!QFileInfo::exists(over ? path : path + ".bad"));
        QVERIFY(!QFileInfo::exists(path + ".pQrStU"));
        QCOMPARE(prompts.notices, over ? QStringList{"The settings file " + path +
                                                     " is too large to be Tidra's. It was moved "
                                                     "aside as " +
                                                     path +
                                                     ".bad, and Tidra starts with the default "
                                                     "settings."}
                                       : QStringList{});
    }

    void fullDiskKeepsTheOldFile()
    {
        td::test::FullDisk disk(QFileInfo(td::settingsfile::path()).path());
        TIDRA_NEED_FULL_DISK(disk);
        store().setValue("other/list", QStringList{"kept", "by someone else"});
        AppSettings s = td::defaultSettings();
        td::saveSettings(s);
        auto text = []() {
            QFile file(td::settingsfile::path());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const QByteArray before = text();
        // Every cut-off copy of it is told from the whole one.
        for (qsizetype n = 0; n < before.size(); ++n)
            QVERIFY(!td::settingsfile::writtenWhole(before.left(n), store().allKeys().size()));
        disk.fill();
        s.middleClick = 4;
        td::saveSettings(s);
        QCOMPARE(text(), before);
        disk.free();
        td::saveSettings(s);
        QCOMPARE(store().value("tray/middleClick").toInt(), 4);
        QCOMPARE(store().value("other/list").toStringList().size(), 2);
    }
};

TIDRA_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
