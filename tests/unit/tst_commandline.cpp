// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/InstanceCommands.h"
#include "app/MainSettingsDlg.h"
#include "app/SingleInstance.h"
#include "storage/EventStore.h"
#include "storage/SafeWrite.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/TestSupport.h"

#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace cli = td::cli;
namespace protocol = td::protocol;
using Outcome = td::SingleInstance::Outcome;
using Delivery = td::SingleInstance::Delivery;
Q_DECLARE_METATYPE(td::SingleInstance::Outcome)
Q_DECLARE_METATYPE(td::SingleInstance::Delivery)
Q_DECLARE_METATYPE(td::cli::Mode)
Q_DECLARE_METATYPE(td::AlarmRecord)

namespace {

/// Runs `work` as another process would, while this one serves.
template <typename Work> auto elsewhere(Work work)
{
    decltype(work()) result;
    std::unique_ptr<QThread> thread(QThread::create([&] { result = work(); }));
    thread->start();
    while (!thread->wait(5))
        QCoreApplication::processEvents();
    return result;
}

QString folder()
{
    return td::test::homePath() + "/runtime";
}

/// How another process's request fares after `held` connections that say
/// nothing; this process serves meanwhile.
Delivery listElsewhere(int held = 0, int timeoutMs = 3000)
{
    return elsewhere([&] {
        std::vector<std::unique_ptr<QLocalSocket>> sockets(held);
        for (auto& s : sockets) {
            s = std::make_unique<QLocalSocket>();
            s->connectToServer(folder() + "/Tidra.socket");
            s->waitForConnected(1000);
        }
        protocol::Reply r;
        return td::SingleInstance("Tidra", folder()).deliver({"list", {}}, &r, timeoutMs);
    });
}

void serve(td::SingleInstance& instance)
{
    instance.setHandler([](const protocol::Request& r) {
        return protocol::Reply{0, r.command, {}};
    });
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        td::test::clearUserData();
        QDir(folder()).removeRecursively();
        QVERIFY(QDir().mkpath(folder()) &&
                ::chmod(QFile::encodeName(folder()).constData(), 0700) == 0);
    }

    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<cli::Mode>("mode");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("starts"); // a Tidra is started first
        QTest::addColumn<QStringList>("commandArgs");
        QTest::addColumn<QString>("error"); // its beginning
        using M = cli::Mode;
        const auto row = [](const char* name, const QStringList& args, M mode,
                            const QString& command, bool starts, const QStringList& commandArgs,
                            const QString& error) {
            QTest::newRow(name) << args << mode << command << starts << commandArgs << error;
        };
        const QStringList none;
        row("--list asks", {"-platform", "offscreen", "--list"}, M::Command, "list", false, none,
            "");
        row("alarm with a message", {"--alarm", "07:30", "Tea", "Drink it"}, M::Command, "alarm",
            true, {"07:30", "Tea", "Drink it"}, "");
        row("one word too many", {"--alarm", "07:30", "a", "b", "c"}, M::Usage, "", false, none,
            "Unexpected argument \"c\"");
        row("two commands", {"--list", "--quit"}, M::Usage, "", false, none,
            "Give one command at a time, not --list and --quit.");
    }
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        const cli::Invocation got = cli::parse(QStringList{"tidra"} + args);
        QTEST(got.mode, "mode");
        QTEST(got.request.command, "command");
        QTEST(got.request.args, "commandArgs");
        QVERIFY2(error.isEmpty() ? got.error.isEmpty() : got.error.startsWith(error),
                 qPrintable(got.error));
        if (!got.request.command.isEmpty())
            QTEST(cli::startsProgram(got.request.command), "starts");
    }

    // Europe/Berlin: on 29 March 2026 02:00 becomes 03:00, on 25 October 03:00 becomes 02:00.
    void commands_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason"); // its beginning
        using td::test::at;
        const QDateTime day = at("2026-05-04 10:00:30"), spring = at("2026-03-29 01:00"),
                        autumn = at("2026-10-25 01:45"), march = at("2026-03-28 12:00");
        const auto set = [](const char* tag, const QDateTime& now, const char* command,
                            const QStringList& args, const QString& name, const char* moment) {
            QTest::newRow(tag) << now << command << args << name << at(moment) << 0 << QString();
        };
        const auto refused = [](const char* tag, const QDateTime& now, const char* command,
                                const QStringList& args, int code, const QString& reason) {
            QTest::newRow(tag) << now << command << args << QString() << QDateTime() << code
                               << reason;
        };
        const QString past = "Alarm can not be placed in the past.";
        set("in minutes, capitals, blanks", day, "alarm", {" +25M ", " "}, "Alarm",
            "2026-05-04 10:25+02:00");
        set("a time passed today: tomorrow", day, "alarm", {"10:00"}, "Alarm",
            "2026-05-05 10:00+02:00");
        refused("this very minute", at("2026-05-04 10:00"), "alarm", {"2026-05-04 10:00"}, 1, past);
        set("in the spring gap", spring, "alarm", {"02:30"}, "Alarm", "2026-03-29 03:30+02:00");
        set("into the second repeated hour", autumn, "alarm", {"+1h30m"}, "Alarm",
            "2026-10-25 02:15+01:00");
        set("every unit", march, "timer", {"1w1d1h1m1s"}, "1w1d1h1m1s",
            "2026-04-05 13:01:01+02:00");
        refused("a million days", day, "alarm", {"+1000000d"}, 1,
                "Alarm can not be placed more than 9999 days ahead.");
        refused("zero", march, "timer", {"0s"}, 1, "A countdown needs a span longer than zero.");
        refused("beyond 32 bits", march, "timer", {"1234567890s"}, 2,
                "\"1234567890s\" is not a span");
    }
    void commands()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, command);
        QFETCH(QStringList, args);
        QFETCH(QString, reason);
        const cli::AlarmCommand a = cli::alarmCommand(args, now);
        const cli::TimerCommand t = cli::timerCommand(args, now);
        const protocol::Reply& refusal = command == "alarm" ? a.refusal : t.refusal;
        QTEST(refusal.code, "code");
        QVERIFY2(refusal.err.startsWith(reason), qPrintable(refusal.err));
        if (refusal.code != protocol::Done)
            return;
        const bool alarm = command == "alarm";
        QTEST(alarm ? a.record.name : t.record.name, "name");
        QTEST(alarm ? a.moment : t.record.dateTime, "moment");
        QVERIFY(!alarm || (a.record.enabled && td::alarmMoment(a.record) == a.moment));
    }

    // A timer in --list: its state, its moment to the second, whether it shows, its laps.
    void timerLine()
    {
        td::TimerEntry tea;
        tea.record = td::TimerRecord("Tea", td::TypeTimer, td::test::at("2026-12-07 10:25:21"));
        tea.visible = true;
        const QString at = "2026-12-07T10:25:21+01:00";
        QCOMPARE(cli::timerLine(tea), "timer\tTea\tcounting down\t" + at + "\tshown\tnone");
        tea.state = td::TimerState::Finished;
        tea.visible = false;
        QCOMPARE(cli::timerLine(tea), "timer\tTea\tfinished\t" + at + "\thidden\tnone");
        tea.state = td::TimerState::CountingUp;
        tea.pausedAt = tea.record.dateTime;
        tea.laps = {1500, 61250};
        QCOMPARE(cli::timerLine(tea),
                 "timer\tTea\tpaused\t" + at + "\thidden\t0:00:01.50,0:01:01.25");
    }

    // Scripts read --list: its words and moments are the same in every language.
    void alarmLine_data()
    {
        QTest::addColumn<td::AlarmRecord>("alarm");
        QTest::addColumn<QString>("line");
        using namespace td::test;
        const QTime t(10, 30);
        const QString summer = "alarm\tTea\t2024-05-06T10:30:00+02:00\t";
        td::AlarmRecord off = once(monday, t);
        off.enabled = false;
        QTest::newRow("once") << once(monday, t) << summer + "once\tnone";
        QTest::newRow("days") << every(3, td::Days, monday, t) << summer + "every 3 days\tnone";
        QTest::newRow("Sunday last")
            << onDays({0, 1, 5}, monday, t) << summer + "on Mon,Fri,Sun\tnone";
        QTest::newRow("disabled") << off << "alarm\tTea\tdisabled\tonce\tnone";
    }
    void alarmLine()
    {
        QFETCH(td::AlarmRecord, alarm);
        QFETCH(QString, line);
        const QDateTime next = alarm.enabled ? td::alarmMoment(alarm) : QDateTime();
        for (const QLocale& language : {QLocale::c(), QLocale(QLocale::German)}) {
            td::installTranslations(language);
            QCOMPARE(cli::alarmLine(alarm, next, {}), line);
        }
        td::installTranslations(QLocale::c());
    }

    void protocolRefuses_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("reason"); // a part of it
        QTest::newRow("a newer version")
            << QByteArray(R"({"tidra":2,"command":"list"})")
            << "version 2 of the protocol; this Tidra speaks version 1";
        QTest::newRow("not ours") << QByteArray("\x01\x02 hello\n")
                                  << "The message is not one Tidra understands.";
        QTest::newRow("too long") << QByteArray(protocol::maxRequestBytes + 1, ' ')
                                  << "The message is too long.";
        QTest::newRow("alarm with four")
            << QByteArray(R"({"tidra":1,"command":"alarm","args":["a","b","c","d"]})")
            << "\"alarm\" cannot take 4 arguments.";
    }
    void protocolRefuses()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, reason);
        protocol::Request request{"untouched", {}};
        QString why;
        QVERIFY(!protocol::decode(line, &request, &why));
        QVERIFY2(why.contains(reason), qPrintable(why));
        QCOMPARE(request.command, QStringLiteral("untouched"));
        protocol::Reply reply; // no such exit code
        QVERIFY(!protocol::decode(R"({"tidra":1,"code":4,"out":"","err":""})", &reply, &why));
    }

    void oneInstanceAtATime()
    {
        td::SingleInstance first("one", folder());
        QCOMPARE(first.acquire(), Outcome::Acquired);
        first.setHandler([&first](const protocol::Request& r) {
            if (r.command == protocol::command::quit) // saving takes a moment
                QTimer::singleShot(200, &first, &td::SingleInstance::release);
            return protocol::Reply{0, r.command + ':' + r.args.join(','), QString()};
        });
        const QStringList got = elsewhere([&] {
            td::SingleInstance second("one", folder());
            protocol::Reply reply;
            QStringList seen{QString::number(int(second.acquire())) +
                             QString::number(second.isHeld())};
            seen << QString::number(second.send({"show", {"alarms"}}, &reply)) + reply.out;
            // "quit" returns once the instance has let go of its socket, however long
            // it takes to save.
            const bool quit = second.send({"quit", {}}, &reply);
            seen << QString::number(quit) + reply.out +
                        QString::number(QFile::exists(folder() + "/one.socket"));
            seen << QString::number(second.acquire() == Outcome::Acquired);
            return seen;
        });
        QCOMPARE(got, QStringList({"10", "1show:alarms", "1quit:0", "1"}));
    }

    // A runtime folder others can enter is passed over, and a link is not followed; the
    // user's own fallback is tightened.
    void privateFolder()
    {
        QTemporaryDir dir(folder() + "/pf-XXXXXX");
        const QString open = dir.filePath("open"), link = dir.filePath("link");
        QVERIFY(QDir().mkdir(open) && ::chmod(QFile::encodeName(open).constData(), 0755) == 0);
        QVERIFY(QFile::link(dir.path(), link));
        QString error;
        QCOMPARE(td::privateFolder({QString(), "relative/path", open}, link, &error), QString());
        QCOMPARE(error, "there is no private folder for it (" + open +
                            ": other users can enter it (mode 0755); " + link +
                            ": it is a symbolic link)");
        QCOMPARE(td::privateFolder({}, open, &error), open);
        QCOMPARE(td::test::modeOf(open), 0700);
    }

    // A crash's socket at the socket's path is cleared; anything else is named,
    // and Tidra does not run without its socket.
    void socketPath()
    {
        const QString path = folder() + "/Tidra.socket";
        sockaddr_un address = {AF_UNIX, {}};
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), 100);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
        {
            td::SingleInstance instance("Tidra", folder());
            QCOMPARE(instance.acquire(100), Outcome::Acquired);
            serve(instance);
            QCOMPARE(listElsewhere(), Delivery::Answered);
        }
        QVERIFY(QDir().mkpath(path) && td::files::saveFile(path + "/file", "theirs"));
        td::SingleInstance instance("Tidra", folder());
        QCOMPARE(instance.acquire(100), Outcome::Failed);
        QCOMPARE(instance.errorString(),
                 "cannot listen on " + path + ": a folder with files in it is in the way");
        QVERIFY(!instance.isHeld()); // no lock without a socket
        QCOMPARE(listElsewhere(), Delivery::NotRunning);
    }

    // Held connections never keep a command out; one that comes while Tidra
    // starts is answered then; a Tidra that does not answer is busy, not absent.
    void busy_data()
    {
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("serveAfterMs"); // -1: never
        QTest::addColumn<Delivery>("delivery");
        QTest::newRow("far more held than kept") << 40 << 0 << Delivery::Answered;
        QTest::newRow("while starting") << 0 << 100 << Delivery::Answered;
        QTest::newRow("never answering") << 0 << -1 << Delivery::Busy;
    }
    void busy()
    {
        QFETCH(int, held);
        QFETCH(int, serveAfterMs);
        td::SingleInstance first("Tidra", folder());
        QCOMPARE(first.acquire(), Outcome::Acquired);
        if (serveAfterMs >= 0)
            QTimer::singleShot(serveAfterMs, &first, [&first] { serve(first); });
        QTEST(listElsewhere(held, 500), "delivery");
    }

    // Done only once the files are written and Tidra ends; on a full disk the
    // reason, and Tidra runs on with its alarms.
    void quit_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("exitCode"); // 7: it ran on
        const QString full = "1 Tidra could not save your alarms: No space left on device. "
                             "It keeps running with them.\n";
        QTest::newRow("saved") << false << "0 " << 0;
        QTest::newRow("disk full") << true << full << 7;
    }
    void quit()
    {
        QFETCH(bool, diskFull);
        td::test::PromptRecorder prompts;
        td::test::FullDisk disk(td::EventStore::dataFolder());
        if (diskFull)
            TIDRA_NEED_FULL_DISK(disk);
        auto window = std::make_unique<td::MainSettingsDlg>();
        window->alarmModel().add(td::test::once(td::test::monday.addYears(9), QTime(11, 0)));
        if (diskFull)
            disk.fill();
        const protocol::Reply r = td::runInstanceCommand(*window, {"quit", {}});
        QTEST(QString::number(r.code) + ' ' + r.out + r.err, "reply");
        // The application's loop: a QEventLoop would pass the exit on to every later one.
        QTimer::singleShot(100, qApp, [] { QCoreApplication::exit(7); });
        QTEST(QCoreApplication::exec(), "exitCode");
        QCOMPARE(td::test::fileBytes(td::EventStore::dataFolder() + "/Alarms").contains("Tea"),
                 !diskFull);
        disk.free();
    }

    // The started Tidra gets the toolkit's options; names and messages, which
    // every user could read in its arguments, stay out.
    void detachedArguments()
    {
        QCOMPARE(td::cli::detachedArguments(
                     {"tidra", "-platform", "xcb", "--alarm", "+5m", "Secret", "-reverse"}),
                 QStringList({"-platform", "xcb", "-reverse", "--detached-instance"}));
        QVERIFY(td::cli::parse({"tidra", "--detached-instance"}).detached);
    }
};

TIDRA_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
