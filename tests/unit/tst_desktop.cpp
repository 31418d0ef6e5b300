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

#include <QProcess>
#include <sys/stat.h>

using td::Autostart;
using Env = td::platform::SessionEnvironment;
using td::test::store;

namespace {
const QByteArray wav("RIFF\x24\0\0\0WAVEfmt ", 16);
} // namespace

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
        QCOMPARE(store().value("work/SatEnable").toString(), "false");
        QCOMPARE(store().value("work/MonWorkBeginTime").toString(), "9:00");
        QCOMPARE(store().value("work/ThuWorkEndTime").toString(), "");
        // The user's alone, also when an older file was open to others.
        const QString file = td::settingsfile::path();
        QCOMPARE(td::test::modeOf(file), 0600);
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadOther));
        td::saveSettings(s);
        QCOMPARE(td::test::modeOf(file), 0600);
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
        const QByteArray entry = td::test::fileBytes(Autostart::entryPath());
        QVERIFY2(entry.contains("\nExec=" + exec.toUtf8() + '\n'), entry.constData());
        // Desktops switch an entry off instead of deleting it.
        for (const char* off : {"Hidden=true", "X-GNOME-Autostart-enabled=false"}) {
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
        const auto row = [](const char* tag, const Env& env, const QStringList& args,
                            const QByteArray& forced) {
            QTest::newRow(tag) << env << args << forced;
        };
        const QStringList plain{"tidra"};
        row("wayland with xwayland", {"", "wayland-0", "wayland", ":0"}, plain, "xcb");
        row("session type in capitals", {"", "", "Wayland", ":0"}, plain, "xcb");
        row("no xwayland: left to the toolkit", {"", "wayland-0", "wayland", ""}, plain, "");
        row("user chose a list", {"wayland;xcb", "wayland-0", "wayland", ":0"}, plain, "");
        row("-platform on the command line", {"", "wayland-0", "wayland", ":0"},
            {"tidra", "-platform", "wayland"}, "");
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
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QByteArray>("currentDesktop");
        QTest::addColumn<bool>("bypasses");
        QTest::newRow("weston's XWayland") << QByteArray("w-0") << QByteArray() << true;
        QTest::newRow("GNOME's XWayland")
            << QByteArray("w-0") << QByteArray("ubuntu:GNOME") << false;
        QTest::newRow("plain X11") << QByteArray() << QByteArray() << false;
    }
    void bypassesWindowManager()
    {
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, currentDesktop);
        QTEST(td::bypassesWindowManager("xcb", waylandDisplay, "", currentDesktop), "bypasses");
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

    // An alarm's or timer's own choice at ring time, rung twice: a file of its own plays
    // whatever the global switch says; a gone or broken one rings the global sound instead
    // (if that is on) and is told of once.
    void chosenSound_data()
    {
        QTest::addColumn<QString>("own"); // "none", or a file name in the test's folder
        QTest::addColumn<bool>("globalOn");
        QTest::addColumn<QString>("played"); // at each ring
        QTest::addColumn<int>("told");
        QTest::newRow("none") << "none" << true << "" << 0;
        QTest::newRow("own, sounds off") << "own.wav" << false << "own.wav" << 0;
        QTest::newRow("gone, sounds off") << "gone.wav" << false << "" << 1;
        QTest::newRow("failed when played") << "broken.wav" << true << "global.wav" << 0;
    }
    void chosenSound()
    {
        QFETCH(QString, own);
        QFETCH(bool, globalOn);
        QFETCH(QString, played);
        QFETCH(int, told);
        QTemporaryDir dir;
        for (const char* name : {"global.wav", "own.wav", "broken.wav"})
            QVERIFY(td::files::saveFile(dir.filePath(name), wav));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("broken.wav: no decoder"));
        td::reportSoundProblem(dir.filePath("broken.wav"), "no decoder"); // a player found it
        if (told)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot play .*" + own));
        td::test::FakeSoundPlayer player;
        QSignalSpy problems(td::soundProblems(), &td::SoundProblems::changed);
        const QString choice = own == "none" ? td::silentSoundChoice() : dir.filePath(own);
        for (int ring = 0; ring < 2; ++ring)
            td::playChosenSound(choice, globalOn, dir.filePath("global.wav"));
        QCOMPARE(player.played,
                 played.isEmpty() ? QStringList() : QStringList(2, dir.filePath(played)));
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
