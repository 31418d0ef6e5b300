// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DesktopNotifier.h"
#include "app/Platform.h"
#include "common/AppSettings.h"
#include "common/Contrast.h"
#include "common/Placement.h"
#include "common/SoundFile.h"
#include "common/SoundPlayer.h"
#include "storage/Autostart.h"
#include "storage/SafeWrite.h"
#include "storage/SettingsFile.h"
#include "tests/common/TestSupport.h"

#include <QMenu>
#include <QProcess>
#include <QSettings>
#include <sys/stat.h>

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
        {
            QSettings s = store();
            s.setValue("work/TueLunchEndTime", "14:45");
            s.setValue("work/MonWorkBeginTime", "09:00");
            s.setValue("work/ThuWorkEndTime", "25:00");
            s.setValue("work/SunEnable", true);
            s.setValue("timers/FontSize", "big");
            s.setValue("timers/DefaultSkin", "stored_skin");
        }
        td::AppSettings s;
        QObject notAFont; // without a skin the stored name is kept
        td::loadSettings(s, {&notAFont});
        QCOMPARE(s.workDays[2].lunchEnd, QTime(14, 45));
        td::saveSettings(s);
        for (const QString& pair :
             QStringLiteral(
                 "tray/leftClick=1 tray/doubleClick=2 tray/middleClick=5 alarms/DisplayTime=10 "
                 "alarms/ShadeTime=15 alarms/AlsoNotify=false alarms/SoundFileName=oldphone.wav "
                 "timers/FontSize=0 timers/DefaultSkin=stored_skin work/SunEnable=true "
                 "work/MonEnable=true work/FriEnable=true work/SatEnable=false "
                 "work/MonWorkBeginTime=9:00 work/WedLunchBeginTime=13:00 work/ThuWorkEndTime= "
                 "work/TueLunchEndTime=14:45 work/SatWorkEndTime=18:00 work/TimeToVacation=false")
                 .split(' '))
            QCOMPARE(pair.section('=', 0, 0) + '=' +
                         store().value(pair.section('=', 0, 0)).toString(),
                     pair);
        QVERIFY(!Autostart::exists());
    }

    void soundPaths_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("stored");
        const QString dir = QCoreApplication::applicationDirPath();
        const QString sibling = QDir::cleanPath(dir + "/../elsewhere/ring.wav");
        QTest::newRow("in a subfolder") << dir + "/sounds/ring.wav"
                                        << "sounds/ring.wav";
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
        td::AppSettings s;
        td::loadSettings(s, {});
        QCOMPARE(s.middleClick, over ? 5 : 3);
        QCOMPARE(QFileInfo(over ? path + ".bad" : path).size(), size);
        QVERIFY(!QFileInfo::exists(over ? path : path + ".bad"));
        QVERIFY(!QFileInfo::exists(path + ".pQrStU"));
        QCOMPARE(prompts.notices.join(""),
                 over ? "The settings file " + path +
                            " is too large to be Tidra's. It was moved aside as " + path +
                            ".bad, and Tidra starts with the default settings."
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
        td::AppSettings s = td::defaultSettings();
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

    void forcedPlatform_data()
    {
        // QT_QPA_PLATFORM, WAYLAND_DISPLAY, XDG_SESSION_TYPE, DISPLAY | arguments | forced
        td::test::addRows(R"(
wayland with xwayland | ,wayland-0,wayland,:0 | tidra | xcb
wayland socket only | ,wayland-1,,:1 | tidra | xcb
session type in capitals | ,,Wayland,:0 | tidra | xcb
no xwayland: leave it to the toolkit | ,wayland-0,wayland, | tidra |
plain x11 session | ,,x11,:0 | tidra |
user chose a list | wayland;xcb,wayland-0,wayland,:0 | tidra |
blank variable counts as unset | _ ,wayland-0,wayland,:0 | tidra | xcb
-platform on the command line | ,wayland-0,wayland,:0 | tidra -platform wayland |
dangling -platform | ,wayland-0,wayland,:0 | tidra -platform | xcb
program named -platform | ,wayland-0,wayland,:0 | -platform wayland | xcb
)");
    }
    void forcedPlatform()
    {
        QFETCH(QStringList, f);
        const QList<QByteArray> v = f[0].toUtf8().replace('_', ' ').split(',');
        QCOMPARE(td::platform::forcedPlatform({v[0], v[1], v[2], v[3]}, f[1].split(' ')),
                 f[2].toUtf8());
    }

    // Empty menus add no separators; a menu not created yet is skipped.
    void combinedMenu()
    {
        QWidget owner;
        QList<QMenu*> parts{nullptr};
        for (const QStringList& texts : QList<QStringList>{{}, {"A", "-", "B"}, {}, {"C"}, {}}) {
            parts << new QMenu(&owner);
            for (const QString& t : texts)
                t == "-" ? parts.last()->addSeparator() : parts.last()->addAction(t);
        }
        QMenu* combined = td::platform::combinedMenu(&owner, parts);
        QCOMPARE(combined->parent(), &owner);
        QStringList got;
        for (QAction* a : combined->actions())
            got << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(got, (QStringList{"A", "-", "B", "-", "C"}));
        // Shared, not copied: triggering from the host's menu runs the same action.
        QCOMPARE(combined->actions().last(), parts[4]->actions().first());
    }

    void savedCentreComesBackOnScreen_data()
    {
        QTest::addColumn<QPoint>("saved");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("restored");
        const QSize s(200, 100);
        QTest::newRow("on the primary screen") << QPoint(640, 120) << s << QPoint(640, 120);
        QTest::newRow("monitor to the left is gone") << QPoint(-800, 300) << s << QPoint(100, 300);
        QTest::newRow("beyond the far corner") << QPoint(99999, -99999) << s << QPoint(1180, 80);
        QTest::newRow("off the far edge of the second screen")
            << QPoint(3190, 1070) << s << QPoint(3100, 1030);
        QTest::newRow("window bigger than the desktop")
            << QPoint(-5000, 0) << QSize(3000, 2000) << QPoint(1500, 1030);
    }
    void savedCentreComesBackOnScreen()
    {
        QFETCH(QPoint, saved);
        QFETCH(QSize, size);
        // Two monitors side by side; the primary one has a 30-pixel panel on top.
        const QRect primary(0, 30, 1280, 1050);
        QTEST(td::onScreenCentre(saved, size, {primary, QRect(1280, 0, 1920, 1080)}, primary),
              "restored");
    }

    void contrast_data()
    {
        // ratio: two colours | the ratio; swap: a skin's ink, the theme's ground
        // and text | whether they swap; ground: text, ground, minimum | the ground
        td::test::addRows(R"(
black on white | ratio | ff000000 | ffffffff | 21.00
order does not count, alpha ignored | ratio | 00ffffff | 80000000 | 21.00
AA grey on white | ratio | ff767676 | ffffffff | 4.54
pure red on black | ratio | ffff0000 | ff000000 | 5.25
pure green on black | ratio | ff00ff00 | ff000000 | 15.30
low channel, linear part | ratio | ff0a0a0a | ff000000 | 1.06
dark ink, light theme | swap | ff203040 | ffefefef | ff000000 | 0
dark ink, dark theme | swap | ff203040 | ff353535 | ffffffff | 1
orange ink, light theme | swap | fff0a830 | ffefefef | ff000000 | 1
mid grey is no better on either | swap | ff808080 | ff707070 | ff909090 | 0
just enough | swap | ff949494 | ff000000 | ffffffff | 0
already enough | ground | ffffffff | ff000080 | 4.5 | ff000080
Fusion selection darkened | ground | ffffffff | ff308cc6 | 4.5 | ff2977a9
dark text lightens | ground | ff000000 | ff303030 | 4.5 | ff787878
out of reach: as far as it goes | ground | ff808080 | ff808080 | 21 | ffffffff
)");
    }
    void contrast()
    {
        QFETCH(QStringList, f);
        const auto c = [&f](int i) { return f[i].toUInt(nullptr, 16); };
        namespace C = td::contrast;
        const QString got = f[0] == "ratio" ? QString::number(C::ratio(c(1), c(2)), 'f', 2)
                            : f[0] == "swap"
                                ? QString::number(C::swapForInk(c(1), c(2), c(3)))
                                : QString::number(C::groundFor(c(1), c(2), f[3].toDouble()), 16);
        QCOMPARE(got, f.last());
    }

    void soundFiles_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<dir>", "<fifo>", "<none>" or the bytes
        QTest::addColumn<int>("format");         // a td::SoundFormat
        QTest::addColumn<QString>("problem");
        using F = td::SoundFormat;
        const auto row = [](const char* name, const QByteArray& bytes, F f, const char* why = "") {
            QTest::newRow(name) << bytes << int(f) << QString(why);
        };
        const char* no = "it is not a WAV, OGG, MP3 or FLAC sound";
        row("wav", QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16), F::Wav);
        row("ogg, oga", QByteArray("OggS\0\x02", 6), F::Ogg);
        row("flac", "fLaC\0\0\0\x22", F::Flac);
        row("mp3 with a tag", "ID3\x04\0\0", F::Mp3);
        row("mp3 frame", "\xff\xfb\x90\x64", F::Mp3);
        row("mpeg 2.5 frame", "\xff\xe3\x18\xc4", F::Mp3);
        row("reserved mpeg version", "\xff\xeb\x90\x64", F::Unknown, no);
        row("riff, not wave", QByteArray("RIFF\x24\0\0\0AVI LIST", 16), F::Unknown, no);
        row("riff cut short", "RIFF\x24", F::Unknown, no);
        row("empty", "", F::Unknown, "the file is empty");
        row("folder", "<dir>", F::Unknown, "it is a folder");
        row("pipe: not read", "<fifo>", F::Unknown, "the file cannot be read");
        row("missing", "<none>", F::Unknown, "the file does not exist");
    }
    void soundFiles()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("sound");
        if (content == "<dir>")
            QVERIFY(QDir().mkdir(path));
        else if (content == "<fifo>")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (QFile f(path); content != "<none>")
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
        if (!content.startsWith('<'))
            QTEST(int(td::soundFormat(content)), "format");
        QTEST(td::soundFileProblem(path), "problem");
    }

    void soundProblemsAreToldOnce()
    {
        QSignalSpy told(td::soundProblems(), &td::SoundProblems::changed);
        QTest::ignoreMessage(QtWarningMsg, "Tidra: cannot play /x.ogg: broken");
        td::reportSoundProblem("/x.ogg", "broken");
        td::reportSoundProblem("/x.ogg", "broken"); // rings again: nothing new to tell
        QCOMPARE(td::knownSoundProblem("/x.ogg"), QStringLiteral("broken"));
        td::reportSoundProblem("/x.ogg", QString());
        QCOMPARE(told.count(), 2);
        QVERIFY(td::knownSoundProblem("/x.ogg").isEmpty());
    }

    void alarmNotification_data()
    {
        QTest::addColumn<bool>("markup");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("expire");
        QTest::newRow("plain server") << false << 30 << "Milk & <b>eggs</b>" << 30000;
        QTest::newRow("markup server")
            << true << 10 << "Milk &amp; &lt;b&gt;eggs&lt;/b&gt;" << 10000;
        QTest::newRow("no display time: the server's") << false << 0 << "Milk & <b>eggs</b>" << -1;
    }
    void alarmNotification()
    {
        QFETCH(bool, markup);
        QFETCH(int, seconds);
        const td::AlarmNotification n =
            td::alarmNotification("Shop", "Milk & <b>eggs</b>", seconds, markup);
        QCOMPARE(QStringList({n.appName, n.appIcon, n.summary}),
                 QStringList({"Tidra", "org.morvane.Tidra", "Shop"}));
        QTEST(n.body, "body");
        QTEST(n.expireMs, "expire");
        QCOMPARE(n.actions,
                 QStringList({"remind-5-minutes", "Remind in 5 minutes", "edit", "Edit"}));
        QCOMPARE(n.hints.value("desktop-entry").toString(), QStringLiteral("org.morvane.Tidra"));
        // A byte, as the notification protocol wants it: 2 is critical.
        QCOMPARE(n.hints.value("urgency"), QVariant::fromValue(uchar(2)));
    }
};

TIDRA_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
