// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "storage/SafeWrite.h"
#include "tests/common/TestSupport.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli = td::cli;
namespace protocol = td::protocol;
using Outcome = td::SingleInstance::Outcome;
Q_DECLARE_METATYPE(td::SingleInstance::Outcome)
Q_DECLARE_METATYPE(td::cli::Mode)

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

/// What a row puts at a path.
enum class Put { Nothing, Symlink, Fifo, Held, Private, Open, Foreign, Link };

void put(const QString& path, Put what)
{
    const QByteArray p = QFile::encodeName(path);
    if (what == Put::Link)
        QVERIFY(QFile::link(QFileInfo(path).path(), path));
    else if (what == Put::Private || what == Put::Open)
        QVERIFY(QDir().mkdir(path) && ::chmod(p.constData(), what == Put::Open ? 0755 : 0700) == 0);
    else if (what == Put::Foreign)
        QVERIFY(QDir().mkdir(path) && ::chown(p.constData(), 65534, 65534) == 0);
}

} // namespace

Q_DECLARE_METATYPE(Put)

class TestCommandLine : public QObject
{
    Q_OBJECT

    QString folder() const { return td::test::homePath() + "/runtime"; }

private slots:
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
        row("toolkit options", {"-platform", "offscreen", "-style", "fusion", "-reverse"}, M::Run,
            "", true, none, "");
        row("--list asks", {"-platform", "offscreen", "--list"}, M::Command, "list", false, none,
            "");
        row("no such page", {"--show", "nope"}, M::Usage, "", false, none,
            "There is no page \"nope\"");
        row("alarm with a message", {"--alarm", "07:30", "Tea", "Drink it"}, M::Command, "alarm",
            true, {"07:30", "Tea", "Drink it"}, "");
        row("one word too many", {"--alarm", "07:30", "a", "b", "c"}, M::Usage, "", false, none,
            "Unexpected argument \"c\"");
        row("twice", {"--alarm", "+1m", "--alarm", "+2m"}, M::Usage, "", false, none,
            "--alarm is given more than once");
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
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason"); // its beginning
        using td::test::at;
        const QDateTime day = at("2026-05-04 10:00:30"), spring = at("2026-03-29 01:00"),
                        autumn = at("2026-10-25 01:45"), march = at("2026-03-28 12:00");
        const auto set = [](const char* tag, const QDateTime& now, const char* command,
                            const QStringList& args, const QString& name, const char* moment,
                            const QString& message = {}) {
            QTest::newRow(tag) << now << command << args << name << at(moment) << message << 0
                               << QString();
        };
        const auto refused = [](const char* tag, const QDateTime& now, const char* command,
                                const QStringList& args, int code, const QString& reason) {
            QTest::newRow(tag) << now << command << args << QString() << QDateTime() << QString()
                               << code << reason;
        };
        const QString past = "Alarm can not be placed in the past.";
        set("in minutes, a blank name", day, "alarm", {"+25m", " "}, "Alarm",
            "2026-05-04 10:25+02:00");
        set("capitals, blanks", day, "alarm", {" +1H "}, "Alarm", "2026-05-04 11:00+02:00");
        refused("no span", day, "alarm", {"+0m"}, 1, past);
        refused("no unit", day, "alarm", {"+5"}, 2, "\"+5\" is not a moment");
        refused("too far", day, "alarm", {"+10000d"}, 1,
                "Alarm can not be placed more than 9999 days ahead.");
        set("with a message", day, "alarm", {"10:30", "Tea", "Drink it"}, "Tea",
            "2026-05-04 10:30+02:00", "Drink it");
        set("a time passed today: tomorrow", day, "alarm", {"10:00"}, "Alarm",
            "2026-05-05 10:00+02:00");
        set("a date in winter", day, "alarm", {"2026-12-24 18:00"}, "Alarm",
            "2026-12-24 18:00+01:00");
        refused("this very minute", at("2026-05-04 10:00"), "alarm", {"2026-05-04 10:00"}, 1, past);
        set("in the spring gap", spring, "alarm", {"02:30"}, "Alarm", "2026-03-29 03:30+02:00");
        set("into the second repeated hour", autumn, "alarm", {"+1h30m"}, "Alarm",
            "2026-10-25 02:15+01:00");
        set("a day over autumn", autumn, "alarm", {"+1d"}, "Alarm", "2026-10-26 00:45+01:00");
        set("seconds", march, "timer", {"90s"}, "90s", "2026-03-28 12:01:30+01:00");
        set("every unit", march, "timer", {"1w1d1h1m1s"}, "1w1d1h1m1s",
            "2026-04-05 13:01:01+02:00");
        refused("zero", march, "timer", {"0s"}, 1, "A countdown needs a span longer than zero.");
        refused("too long", march, "timer", {"1430w"}, 1,
                "A countdown can last at most 9999 days.");
        refused("no unit", march, "timer", {"25"}, 2, "\"25\" is not a span");
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
        if (command == "alarm") {
            QTEST(a.record.name, "name");
            QTEST(a.moment, "moment");
            QTEST(a.record.message, "message");
            QVERIFY(a.record.enabled && a.record.repeatMode == td::RepeatOnce);
            QCOMPARE(td::alarmMoment(a.record), a.moment);
        } else {
            QTEST(t.record.name, "name");
            QTEST(t.record.dateTime, "moment");
            QCOMPARE(t.record.type, qint32(td::TypeTimer));
        }
    }

    // A timer in --list: its state, its moment to the second, whether it shows, its laps.
    void timerLine_data()
    {
        QTest::addColumn<td::TimerState>("state");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<QList<qint64>>("laps");
        QTest::addColumn<QString>("line");
        QTest::newRow("counting down, shown")
            << td::TimerState::CountingDown << true << false << QList<qint64>{}
            << "timer\tTea\tcounting down\t2026-12-07 10:25:21\tshown\tnone";
        QTest::newRow("finished, hidden")
            << td::TimerState::Finished << false << false << QList<qint64>{}
            << "timer\tTea\tfinished\t2026-12-07 10:25:21\thidden\tnone";
        QTest::newRow("paused, with laps")
            << td::TimerState::CountingUp << true << true << QList<qint64>{1500, 61250}
            << "timer\tTea\tpaused\t2026-12-07 10:25:21\tshown\t0:00:01.50,0:01:01.25";
    }
    void timerLine()
    {
        td::TimerEntry e;
        e.record = td::TimerRecord("Tea", td::TypeTimer, td::test::at("2026-12-07 10:25:21"));
        QFETCH(bool, paused);
        e.pausedAt = paused ? e.record.dateTime : QDateTime();
        QFETCH(td::TimerState, state);
        e.state = state;
        QFETCH(bool, visible);
        e.visible = visible;
        QFETCH(QList<qint64>, laps);
        e.laps = laps;
        QTEST(cli::timerLine(e), "line");
    }

    void protocolRefuses_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("reason"); // a part of it
        const QString foreign = "not one Tidra understands";
        QTest::newRow("no version") << QByteArray(R"({"command":"list"})") << foreign;
        QTest::newRow("a newer version")
            << QByteArray(R"({"tidra":2,"command":"list"})")
            << "version 2 of the protocol; this Tidra speaks version 1";
        QTest::newRow("arguments not texts")
            << QByteArray(R"({"tidra":1,"command":"show","args":[1]})") << foreign;
        QTest::newRow("unknown command") << QByteArray(R"({"tidra":1,"command":"format-disk"})")
                                         << "Unknown command \"format-disk\".";
        QTest::newRow("list with an argument")
            << QByteArray(R"({"tidra":1,"command":"list","args":["a"]})")
            << "\"list\" cannot take 1 argument.";
        QTest::newRow("alarm with four")
            << QByteArray(R"({"tidra":1,"command":"alarm","args":["a","b","c","d"]})")
            << "\"alarm\" cannot take 4 arguments.";
        QTest::newRow("no such page") << QByteArray(R"({"tidra":1,"command":"show","args":["x"]})")
                                      << "There is no page \"x\"";
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
        // Whatever a client writes, the instance answers once and goes on serving.
        const auto raw = [this](const QByteArray& request) {
            QLocalSocket socket;
            socket.connectToServer(folder() + "/one.socket");
            socket.waitForConnected(2000);
            socket.write(request);
            QByteArray line;
            while (!line.contains('\n') && socket.waitForReadyRead(2000))
                line += socket.readAll();
            protocol::Reply got;
            QString error;
            return protocol::decode(line, &got, &error)
                       ? QString::number(got.code) + ' ' + got.out + got.err
                       : error;
        };
        const QStringList got = elsewhere([&] {
            td::SingleInstance second("one", folder());
            protocol::Reply reply;
            QStringList seen{QString::number(int(second.acquire())) +
                             QString::number(second.isHeld())};
            seen << raw("\x01\x02 hello\n") << raw(QByteArray(protocol::maxRequestBytes + 10, 'a'))
                 << raw(protocol::encode({"list", {}}) + protocol::encode({"quit", {}}));
            seen << QString::number(second.send({"show", {"alarms"}}, &reply)) + reply.out;
            // "quit" returns once the instance has let go of its socket, however long
            // it takes to save.
            const bool quit = second.send({"quit", {}}, &reply);
            seen << QString::number(quit) + reply.out +
                        QString::number(QFile::exists(folder() + "/one.socket"));
            seen << QString::number(second.acquire() == Outcome::Acquired);
            return seen;
        });
        QCOMPARE(got, QStringList({"10", "1 The message is not one Tidra understands.",
                                   "1 The message is too long.", "0 list:", "1show:alarms",
                                   "1quit:0", "1"}));
        QCOMPARE(td::SingleInstance("two", folder()).acquire(), Outcome::Acquired);
    }

    // Nothing at the lock path, or what a crash, an attacker or another Tidra left there.
    void whateverIsAtTheLockPath_data()
    {
        QTest::addColumn<Put>("what");
        QTest::addColumn<QString>("error"); // empty: acquired
        QTest::newRow("nothing") << Put::Nothing << "";
        QTest::newRow("a link") << Put::Symlink << "";
        QTest::newRow("a pipe") << Put::Fifo << "";
        QTest::newRow("held") << Put::Held << "process 4242 holds it and does not answer";
    }
    void whateverIsAtTheLockPath()
    {
        QFETCH(Put, what);
        QFETCH(QString, error);
        QTemporaryDir dir(folder() + "/odd-XXXXXX");
        const QString lock = dir.path() + "/odd.lock", target = dir.path() + "/precious";
        const QByteArray l = QFile::encodeName(lock);
        QFile(target).open(QIODevice::WriteOnly);
        int holder = -1;
        auto closeHolder = qScopeGuard([&holder] { ::close(holder); });
        if (what == Put::Symlink)
            QVERIFY(QFile::link(target, lock));
        else if (what == Put::Fifo)
            QCOMPARE(::mkfifo(l.constData(), 0600), 0);
        else if (what == Put::Held) {
            QVERIFY(td::files::saveFile(lock, "4242\n"));
            QCOMPARE(::flock(holder = ::open(l.constData(), O_RDWR), LOCK_EX | LOCK_NB), 0);
        }

        td::SingleInstance guard("odd", dir.path());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(guard.acquire(300), error.isEmpty() ? Outcome::Acquired : Outcome::Failed);
        QVERIFY(clock.elapsed() < 3000); // never hangs, a pipe included
        QCOMPARE(guard.errorString(),
                 error.isEmpty() ? error : "cannot lock " + lock + ": " + error);
        if (error.isEmpty()) {
            QVERIFY(QFileInfo(lock).isFile() && !QFileInfo(lock).isSymLink());
            QCOMPARE(td::test::modeOf(lock), 0600);
            QCOMPARE(QFileInfo(target).size(), 0); // a link is replaced, never followed
            QCOMPARE(td::SingleInstance("odd", dir.path()).acquire(50), Outcome::Failed);
        }
    }

    void privateFolder_data()
    {
        QTest::addColumn<Put>("runtime");
        QTest::addColumn<Put>("fallback");
        QTest::addColumn<QString>("chosen"); // empty: none
        QTest::addColumn<QString>("why");    // about the folder named first
        QTest::newRow("runtime folder") << Put::Private << Put::Nothing << "runtime"
                                        << "";
        QTest::newRow("runtime folder others can enter")
            << Put::Open << Put::Nothing << ""
            << "runtime: other users can enter it (mode 0755)";
        QTest::newRow("runtime of another user") << Put::Foreign << Put::Nothing << ""
                                                 << "runtime: it belongs to another user";
        QTest::newRow("own fallback tightened") << Put::Nothing << Put::Open << "fallback"
                                                << "";
        QTest::newRow("fallback a link") << Put::Nothing << Put::Link << ""
                                         << "fallback: it is a symbolic link";
    }
    void privateFolder()
    {
        QFETCH(Put, runtime);
        QFETCH(Put, fallback);
        QFETCH(QString, chosen);
        QFETCH(QString, why);
        QTemporaryDir dir(folder() + "/pf-XXXXXX");
        put(dir.filePath("runtime"), runtime);
        put(dir.filePath("fallback"), fallback);
        QString error;
        const QString got = td::privateFolder(
            {QString(), "relative/path", dir.filePath("runtime")},
            fallback == Put::Nothing ? QString() : dir.filePath("fallback"), &error);
        QCOMPARE(got, chosen.isEmpty() ? chosen : dir.filePath(chosen));
        QVERIFY2(why.isEmpty() || (error.startsWith("there is no private folder for it") &&
                                   error.contains(dir.filePath(why))),
                 qPrintable(error));
        if (!got.isEmpty())
            QCOMPARE(td::test::modeOf(got), 0700);
    }
};

TIDRA_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
