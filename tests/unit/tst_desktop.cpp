// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmDlg.h"
#include "app/DesktopNotifier.h"
#include "app/Platform.h"
#include "common/AppSettings.h"
#include "common/Contrast.h"
#include "common/Placement.h"
#include "common/SoundFile.h"
#include "common/SoundPlayer.h"
#include "common/WindowPlacement.h"
#include "storage/Autostart.h"
#include "storage/SafeWrite.h"
#include "storage/SettingsFile.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/TestSupport.h"
#include "ui_alarmdialog.h"

#include <QMenu>
#include <QProcess>
#include <sys/stat.h>

using td::Autostart;
using Env = td::platform::SessionEnvironment;
using td::test::store;

Q_DECLARE_METATYPE(td::platform::SessionEnvironment)

// What Tidra keeps and what it tells the desktop: its settings file and
// autostart entry, the window system, colours, sounds and notifications.
class TestDesktop : public QObject
{
    Q_OBJECT
private slots:
    void init() { td::test::clearUserData(); }

    // Defaults where nothing is stored; what is stored is read, and written
    // back in the form other programs read.
    void settingsFile()
    {
        store().setValue("work/MonWorkBeginTime", "09:00");
        store().setValue("work/ThuWorkEndTime", "25:00");
        store().setValue("alarms/RemindChoices", QStringList{"10m", "1h30m"}); // as typed, unquoted
        td::AppSettings s;
        td::loadSettings(s, {});
        QCOMPARE(s.workDays[1].workBegin, QTime(9, 0));
        QCOMPARE(s.alarmRemindChoices, "10m, 1h30m");
        td::saveSettings(s);
        const QList<std::pair<QString, QString>> stored{{"tray/middleClick", "5"},
                                                        {"alarms/AlsoNotify", "false"},
                                                        {"work/SatEnable", "false"},
                                                        {"work/MonWorkBeginTime", "9:00"},
                                                        {"work/ThuWorkEndTime", ""}};
        for (const auto& [key, value] : stored)
            QCOMPARE(key + '=' + store().value(key).toString(), key + '=' + value);
        // The user's alone, also when an older file was open to others.
        const QString file = td::settingsfile::path();
        QCOMPARE(td::test::modeOf(file), 0600);
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadOther));
        td::saveSettings(s);
        QCOMPARE(td::test::modeOf(file), 0600);
    }

    // Chosen below the program's folder, a sound is stored relative to it.
    void soundPaths()
    {
        const QString dir = QCoreApplication::applicationDirPath();
        QCOMPARE(td::relativeSoundPath(dir + "/sounds/ring.wav"), "sounds/ring.wav");
        QCOMPARE(td::resolveSoundPath("sounds/ring.wav"), dir + "/sounds/ring.wav");
        const QString sibling = QDir::cleanPath(dir + "/../elsewhere/ring.wav");
        QCOMPARE(td::relativeSoundPath(sibling), sibling);
        QCOMPARE(td::resolveSoundPath(sibling), sibling);
    }

    // At the limit it is read; a byte more and it is moved aside, with a word.
    void oversizeFileIsMovedAside()
    {
        for (const qint64 size : {td::settingsfile::maxBytes, td::settingsfile::maxBytes + 1}) {
            td::test::clearUserData();
            const bool over = size > td::settingsfile::maxBytes;
            td::test::PromptRecorder prompts;
            const QString path = td::settingsfile::path();
            QByteArray text = "[tray]\nmiddleClick=3\n[junk]\nx=";
            QVERIFY(
                QDir().mkpath(QFileInfo(path).path()) &&
                td::files::saveFile(path, text + QByteArray(size - text.size() - 1, 'x') + '\n') &&
                td::files::saveFile(path + ".pQrStU", "left by a save cut short"));
            td::AppSettings s;
            td::loadSettings(s, {});
            QCOMPARE(s.middleClick, over ? 5 : 3);
            QCOMPARE(QFileInfo(over ? path + ".bad" : path).size(), size);
            QVERIFY(!QFileInfo::exists(over ? path : path + ".bad"));
            QVERIFY(!QFileInfo::exists(path + ".pQrStU"));
            QCOMPARE(prompts.notices.size(), int(over));
            QVERIFY(!over || prompts.notices[0].contains("moved aside as " + path + ".bad"));
        }
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
        QCOMPARE(td::test::fileBytes(path), QByteArray("[tray]\nmiddleClick=3\n"));
    }

    // The entry as the desktop reads it: string escapes, then the quoting rule.
    void autostartEntry_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::newRow("blanks") << "/home/ann/My Programs/tidra"
                                << R"("/home/ann/My Programs/tidra")";
        QTest::newRow("double quote") << R"(/opt/"q"/tidra)"
                                      << R"("/opt/\\"q\\"/tidra")";
        QTest::newRow("percent") << "/opt/100% sure/tidra%f"
                                 << R"("/opt/100%% sure/tidra%%f")";
        QTest::newRow("dollar, backtick") << "/opt/$HOME/`id`"
                                          << R"("/opt/\\$HOME/\\`id\\`")";
    }
    void autostartEntry()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        QVERIFY(Autostart::write(program) && Autostart::exists());
        QCOMPARE(td::test::fileBytes(Autostart::entryPath()),
                 "[Desktop Entry]\nType=Application\nName=Tidra\nComment=Alarms, timers and "
                 "work-schedule countdowns in the system tray\nExec=" +
                     exec.toUtf8() +
                     "\nIcon=org.morvane.Tidra\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
        // Desktops switch an entry off instead of deleting it; in another group it does not count.
        for (const char* off : {"Hidden=true", "X-GNOME-Autostart-enabled=false"}) {
            QVERIFY(td::files::saveFile(Autostart::entryPath(),
                                        "[Desktop Entry]\n[Other]\n" + QByteArray(off) + '\n'));
            QVERIFY(Autostart::exists());
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
        td::AppSettings s = td::defaultSettings();
        s.startWithOS = true;
        td::saveSettings(s);
        const QByteArray before = td::test::fileBytes(td::settingsfile::path());
        const QByteArray entry = td::test::fileBytes(Autostart::entryPath());
        // Every cut-off copy of it is told from the whole one.
        for (qsizetype n = 0; n < before.size(); ++n)
            QVERIFY(!td::settingsfile::writtenWhole(before.left(n), store().allKeys().size()));
        disk.fill();
        s.middleClick = 4;
        td::saveSettings(s);
        QVERIFY(!Autostart::write("/opt/elsewhere/tidra"));
        QCOMPARE(td::test::fileBytes(td::settingsfile::path()), before);
        QCOMPARE(td::test::fileBytes(Autostart::entryPath()), entry);
        disk.free();
        td::saveSettings(s);
        QCOMPARE(store().value("tray/middleClick").toInt(), 4);
        QCOMPARE(store().value("other/list").toStringList().size(), 2);
    }

    // Whether X11 is forced: with Xwayland on a Wayland session, unless the user chose.
    void forcedPlatform_data()
    {
        QTest::addColumn<td::platform::SessionEnvironment>("env");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("forced");
        const QStringList plain{"tidra"};
        QTest::newRow("wayland with xwayland")
            << Env{"", "wayland-0", "wayland", ":0"} << plain << QByteArray("xcb");
        QTest::newRow("session type in capitals")
            << Env{"", "", "Wayland", ":0"} << plain << QByteArray("xcb");
        QTest::newRow("no xwayland: left to the toolkit")
            << Env{"", "wayland-0", "wayland", ""} << plain << QByteArray();
        QTest::newRow("user chose a list")
            << Env{"wayland;xcb", "wayland-0", "wayland", ":0"} << plain << QByteArray();
        QTest::newRow("-platform on the command line")
            << Env{"", "wayland-0", "wayland", ":0"} << QStringList{"tidra", "-platform", "wayland"}
            << QByteArray();
    }
    void forcedPlatform()
    {
        QFETCH(td::platform::SessionEnvironment, env);
        QFETCH(QStringList, args);
        QTEST(td::platform::forcedPlatform(env, args), "forced");
    }

    // Self-placed windows bypass only a window manager that ignores where they ask to be.
    void bypassesWindowManager_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QByteArray>("currentDesktop");
        QTest::addColumn<bool>("bypasses");
        QTest::newRow("weston's XWayland") << "xcb" << QByteArray("w-0") << QByteArray() << true;
        QTest::newRow("GNOME's XWayland")
            << "xcb" << QByteArray("w-0") << QByteArray("ubuntu:GNOME") << false;
        QTest::newRow("plain X11") << "xcb" << QByteArray() << QByteArray() << false;
        QTest::newRow("native Wayland") << "wayland" << QByteArray("w-0") << QByteArray() << false;
    }
    void bypassesWindowManager()
    {
        QFETCH(QString, platform);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, currentDesktop);
        QTEST(td::bypassesWindowManager(platform, waylandDisplay, "", currentDesktop), "bypasses");
    }

    // Empty menus add no separators; a menu not created yet is skipped.
    void combinedMenu()
    {
        QWidget owner;
        const auto menu = [&owner](const QStringList& texts) { // "": a separator
            auto* m = new QMenu(&owner);
            for (const QString& t : texts)
                t.isEmpty() ? m->addSeparator() : m->addAction(t);
            return m;
        };
        QMenu* last = menu({"C"});
        QMenu* combined = td::platform::combinedMenu(
            &owner, {nullptr, menu({}), menu({"A", "", "B"}), menu({}), last, menu({})});
        QStringList got;
        for (QAction* a : combined->actions())
            got << a->text();
        QCOMPARE(got, (QStringList{"A", "", "B", "", "C"}));
        // Shared, not copied: triggering from the host's menu runs the same action.
        QCOMPARE(combined->actions().last(), last->actions().first());
    }

    // Two monitors side by side; the primary one has a 30-pixel panel on top.
    void savedCentreComesBackOnScreen()
    {
        const QRect primary(0, 30, 1280, 1050);
        const QList<QRect> screens{primary, QRect(1280, 0, 1920, 1080)};
        QCOMPARE(td::onScreenCentre({-800, 300}, {200, 100}, screens, primary), QPoint(100, 300));
        QCOMPARE(td::onScreenCentre({3190, 1070}, {200, 100}, screens, primary),
                 QPoint(3100, 1030));
    }

    // A skin's ground is swapped when the other ink stands out more (mid grey is no better on
    // either); a selection ground is darkened away from its white text until it reads.
    void contrast()
    {
        QVERIFY(td::contrast::swapForInk(0xff203040u, 0xff353535u, 0xffffffffu));
        QVERIFY(!td::contrast::swapForInk(0xff808080u, 0xff707070u, 0xff909090u));
        QCOMPARE(td::contrast::ratio(0x00ffffff, 0x80000000), 21.0); // alpha ignored
        QCOMPARE(td::contrast::groundFor(0xffffffff, 0xff000080, 4.5), 0xff000080u);
        QCOMPARE(td::contrast::groundFor(0xffffffff, 0xff308cc6, 4.5), 0xff2977a9u);
    }

    // The head of a file tells its format; what cannot be played is told why.
    void soundFiles()
    {
        using F = td::SoundFormat;
        const QByteArray wav("RIFF\x24\0\0\0WAVEfmt ", 16);
        QCOMPARE(int(td::soundFormat("ID3\x04\0\0")), int(F::Mp3));
        QCOMPARE(int(td::soundFormat(QByteArray("RIFF\x24\0\0\0AVI LIST", 16))), int(F::Unknown));
        QTemporaryDir dir;
        const QString path = dir.filePath("sound");
        QCOMPARE(td::soundFileProblem(path), "the file does not exist");
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        QCOMPARE(td::soundFileProblem(path), "the file cannot be read"); // and not waited for
        QVERIFY(QFile::remove(path) && td::files::saveFile(path, QByteArray()));
        QCOMPARE(td::soundFileProblem(path), "the file is empty");
        QVERIFY(td::files::saveFile(path, "hello\n"));
        QCOMPARE(td::soundFileProblem(path), "it is not a WAV, OGG, MP3 or FLAC sound");
        QVERIFY(td::files::saveFile(path, wav));
        QCOMPARE(td::soundFileProblem(path), QString());
    }

    // An alarm's or timer's own choice at ring time, rung twice: a file of its own plays
    // whatever the global switch says; a gone or broken one rings the global sound instead
    // (if that is on) and is told of once.
    void chosenSound_data()
    {
        QTest::addColumn<QString>("own"); // "none", or a file name in the test's folder
        QTest::addColumn<bool>("globalOn");
        QTest::addColumn<QStringList>("played");
        QTest::addColumn<int>("told");
        const QStringList global{"global.wav", "global.wav"};
        QTest::newRow("default") << "" << true << global << 0;
        QTest::newRow("none") << "none" << true << QStringList() << 0;
        QTest::newRow("own, sounds off")
            << "own.wav" << false << QStringList{"own.wav", "own.wav"} << 0;
        QTest::newRow("gone, sounds off") << "gone.wav" << false << QStringList() << 1;
        QTest::newRow("failed when played") << "broken.wav" << true << global << 0;
    }
    void chosenSound()
    {
        QFETCH(QString, own);
        QFETCH(bool, globalOn);
        QFETCH(QStringList, played);
        QFETCH(int, told);
        QTemporaryDir dir;
        const QByteArray wav("RIFF\x24\0\0\0WAVEfmt ", 16);
        for (const char* name : {"global.wav", "own.wav", "broken.wav"})
            QVERIFY(td::files::saveFile(dir.filePath(name), wav));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("broken.wav: no decoder"));
        td::reportSoundProblem(dir.filePath("broken.wav"), "no decoder"); // a player found it
        if (told)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot play .*" + own));
        td::test::FakeSoundPlayer player;
        QSignalSpy problems(td::soundProblems(), &td::SoundProblems::changed);
        const QString choice = own == "none"   ? td::silentSoundChoice()
                               : own.isEmpty() ? QString()
                                               : dir.filePath(own);
        for (int ring = 0; ring < 2; ++ring)
            td::playChosenSound(choice, globalOn, dir.filePath("global.wav"));
        QStringList expected;
        for (const QString& name : std::as_const(played))
            expected << dir.filePath(name);
        QCOMPARE(player.played, expected);
        QCOMPARE(int(problems.size()), told);
    }

    // The fields a server shows are checked end to end; here what depends on the server.
    void alarmNotification()
    {
        const td::AlarmNotification plain = td::alarmNotification("S", "1 & <b>2</b>", 30, false);
        const td::AlarmNotification marked = td::alarmNotification("S", "1 & <b>2</b>", 0, true);
        QCOMPARE(plain.body, "1 & <b>2</b>");
        QCOMPARE(marked.body, "1 &amp; &lt;b&gt;2&lt;/b&gt;");
        QCOMPARE(plain.expireMs, 30000);
        QCOMPARE(marked.expireMs, -1); // no display time leaves it to the server
        // The urgency is a byte, as the protocol wants it: 2 is critical.
        QCOMPARE(marked.hints.value("urgency"), QVariant::fromValue(uchar(2)));
    }

    // A restarted server numbers from 1 again. Its ids act on the alarms it
    // shows; the alarms the old one showed count as closed (a balloon's sound
    // stops) and are never closed at the new one.
    void notificationsFollowTheirServer()
    {
        QProcess bus, first, second;
        bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!bus.waitForReadyRead(5000))
            QSKIP("no dbus-daemon for a private session bus");
        // Read when the notifier first asks for the session bus, after this.
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed());
        const QString log = td::test::homePath() + "/notifications.log";
        const QString server = TIDRA_SOURCE_DIR "/tests/e2e/desktop_host.py";
        const auto started = [&log] { return td::test::fileBytes(log).count("ready\n"); };
        first.start(server, {log});
        QTRY_COMPARE_WITH_TIMEOUT(started(), 1, 10000);

        td::DesktopNotifier notifier;
        QSignalSpy closed(&notifier, &td::DesktopNotifier::closed);
        bool fellBack = false;
        const auto fallback = [&fellBack] { fellBack = true; };
        td::AlarmModel model;
        auto* tea = new td::AlarmMsgDlg(
            &model, model.add(td::test::once(td::test::monday, QTime(10, 0), "Tea")));
        td::AlarmMsgDlg soup(&model,
                             model.add(td::test::once(td::test::monday, QTime(10, 0), "Soup")));
        notifier.notify(tea, 10, fallback);
        QTRY_COMPARE(notifier.alarmOf(1), tea);
        first.kill();
        QTRY_COMPARE(closed.count(), 1);
        QCOMPARE(closed[0][0].value<td::AlarmMsgDlg*>(), tea);

        second.start(server, {log});
        QTRY_COMPARE_WITH_TIMEOUT(started(), 2, 10000);
        notifier.notify(&soup, 10, fallback);
        QTRY_COMPARE(notifier.alarmOf(1), &soup);
        delete tea;
        QString edited;
        td::test::answerEditor<td::AlarmDlg>(
            [&edited](Ui_AlarmDialog* ui) { edited = ui->alarmName->text(); }, false);
        QProcess act; // what a click on "Edit" makes the server send
        act.start("gdbus", {"call", "--session", "-d", "org.freedesktop.Notifications", "-o",
                            "/org/freedesktop/Notifications", "-m",
                            "org.freedesktop.Notifications.Act", "1", "edit"});
        QVERIFY(act.waitForFinished() && act.exitCode() == 0);
        QTRY_COMPARE(edited, "Soup");
        QVERIFY(!fellBack);
        QVERIFY(!td::test::fileBytes(log).contains("close"));
        second.kill();
        second.waitForFinished();
        bus.kill();
        bus.waitForFinished();
    }
};

TIDRA_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
