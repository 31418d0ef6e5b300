// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/AppSettings.h"
#include "storage/Autostart.h"
#include "storage/SafeWrite.h"
#include "storage/SettingsFile.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QSettings>

using td::AppSettings;
using td::Autostart;

namespace {

QSettings store()
{
    return QSettings("Morvane", "Tidra");
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init() { td::test::clearUserData(); }

    void emptyStoreGivesDefaults()
    {
        AppSettings s;
        td::loadSettings(s, {});
        td::saveSettings(s);
        for (const QString& pair :
             QStringLiteral(
                 "tray/leftClick=1 tray/doubleClick=2 tray/middleClick=5 alarms/DisplayTime=10 "
                 "alarms/ShadeTime=15 alarms/SoundFileName=oldphone.wav timers/FontSize=1 "
                 "timers/SoundFileName=oldphone.wav timers/DefaultSkin= work/SunEnable=false "
                 "work/MonEnable=true work/FriEnable=true work/SatEnable=false "
                 "work/WedWorkBeginTime=9:00 work/WedLunchBeginTime=13:00 "
                 "work/WedLunchEndTime=14:00 work/SatWorkEndTime=18:00 work/TimeToVacation=false")
                 .split(' '))
            QCOMPARE(pair.section('=', 0, 0) + '=' +
                         store().value(pair.section('=', 0, 0)).toString(),
                     pair);
        QVERIFY(!Autostart::exists());
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
        const QString dir = QCoreApplication::applicationDirPath();
        const QString sibling = QDir::cleanPath(dir + "/../elsewhere/ring.wav");
        QTest::newRow("in the program folder") << dir + "/ring.wav"
                                               << "ring.wav";
        QTest::newRow("in a subfolder") << dir + "/sounds/old/ring.wav"
                                        << "sounds/old/ring.wav";
        QTest::newRow("outside stays absolute") << "/srv/ring.wav"
                                                << "/srv/ring.wav";
        QTest::newRow("sibling folder stays absolute") << sibling << sibling;
        QTest::newRow("dots in a name") << dir + "/..ring.wav"
                                        << "..ring.wav";
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
        QCOMPARE(prompts.notices.join(""),
                 over ? "The settings file " + path +
                            " is too large to be Tidra's. It was moved "
                            "aside as " +
                            path + ".bad, and Tidra starts with the default settings."
                      : QString());
    }

    // A file that cannot be replaced (append-only: it opens for writing, the
    // rename fails) is a failed save, and the old file stays.
    void replacingFailsLoudly()
    {
        const QString path = td::settingsfile::path();
        QVERIFY(QDir().mkpath(QFileInfo(path).path()) &&
                td::files::saveFile(path, "[tray]\nmiddleClick=3\n"));
        if (QProcess::execute("chattr", {"+a", path}) != 0)
            QSKIP("no append-only files here");
        QString error;
        const bool saved = td::settingsfile::write({{"tray/middleClick", 4}}, &error);
        QProcess::execute("chattr", {"-a", path});
        QVERIFY2(!saved && !error.isEmpty(), qPrintable(error));
        QCOMPARE(readAll(path), QByteArray("[tray]\nmiddleClick=3\n"));
    }

    // The entry as the desktop reads it: string escapes, then the quoting rule.
    void autostartEntry_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("exec");
        QTest::newRow("blanks") << "/home/ann/My Programs/tidra"
                                << R"("/home/ann/My Programs/tidra")";
        QTest::newRow("double quote") << R"(/opt/"q"/tidra)"
                                      << R"("/opt/\\"q\\"/tidra")";
        QTest::newRow("percent") << "/opt/100% sure/tidra%f"
                                 << R"("/opt/100%% sure/tidra%%f")";
        QTest::newRow("backslash") << R"(/opt/back\slash)"
                                   << R"("/opt/back\\\\slash")";
        QTest::newRow("dollar, backtick") << "/opt/$HOME/`id`"
                                          << R"("/opt/\\$HOME/\\`id\\`")";
    }
    void autostartEntry()
    {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        QVERIFY(Autostart::write(path) && Autostart::exists());
        QCOMPARE(readAll(Autostart::entryPath()), (R"([Desktop Entry]
Type=Application
Name=Tidra
Comment=Alarms, timers and work-schedule countdowns in the system tray
Exec=)" + exec + R"(
Icon=org.morvane.Tidra
Terminal=false
X-GNOME-Autostart-enabled=true
)")
                                                      .toUtf8());
        // Desktops switch an entry off instead of deleting it.
        for (const char* off : {"Hidden=true", "X-GNOME-Autostart-enabled=false"}) {
            QVERIFY(td::files::saveFile(Autostart::entryPath(),
                                        "[Desktop Entry]\n[Other]\n" + QByteArray(off) + '\n'));
            QVERIFY(Autostart::exists()); // in another group it does not count
            QVERIFY(td::files::saveFile(Autostart::entryPath(),
                                        "[Desktop Entry]\n" + QByteArray(off) + '\n'));
            QVERIFY(!Autostart::exists());
        }
        QVERIFY(Autostart::remove() && !QFile::exists(Autostart::entryPath()));
        QVERIFY(Autostart::remove()); // nothing left to remove is fine
    }

    // A full disk keeps the old settings file and autostart entry whole.
    void fullDiskKeepsTheOldFiles()
    {
        td::test::FullDisk disk(QFileInfo(QFileInfo(td::settingsfile::path()).path()).path());
        TIDRA_NEED_FULL_DISK(disk);
        store().setValue("other/list", QStringList{"kept", "by someone else"});
        AppSettings s = td::defaultSettings();
        s.startWithOS = true;
        td::saveSettings(s);
        const QByteArray before = readAll(td::settingsfile::path());
        const QByteArray entry = readAll(Autostart::entryPath());
        QVERIFY(entry.contains(QCoreApplication::applicationFilePath().toUtf8()));
        // Every cut-off copy of it is told from the whole one.
        for (qsizetype n = 0; n < before.size(); ++n)
            QVERIFY(!td::settingsfile::writtenWhole(before.left(n), store().allKeys().size()));
        disk.fill();
        s.middleClick = 4;
        td::saveSettings(s);
        QVERIFY(!Autostart::write("/opt/elsewhere/tidra"));
        QCOMPARE(readAll(td::settingsfile::path()), before);
        QCOMPARE(readAll(Autostart::entryPath()), entry);
        disk.free();
        td::saveSettings(s);
        QCOMPARE(store().value("tray/middleClick").toInt(), 4);
        QCOMPARE(store().value("other/list").toStringList().size(), 2);
    }
};

TIDRA_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
