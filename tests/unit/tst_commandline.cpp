// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/SingleInstance.h"
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

namespace {

/// "yyyy-MM-dd HH:mm:ss offset", so a moment in the repeated hour shows which one it is.
QString shown(const QDateTime& t)
{
    return t.isValid()
               ? t.toString("yyyy-MM-dd HH:mm:ss ") + QString::number(t.offsetFromUtc() / 3600)
               : "-";
}

/// Words split at blanks; "_" stands for a blank inside one word.
QStringList words(const QString& text)
{
    QStringList list = text.split(' ', Qt::SkipEmptyParts);
    for (QString& w : list)
        w.replace('_', ' ');
    return list;
}

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

/// A folder as a row names it: missing, a link, a mode, another user's.
void make(const QString& path, const QString& how)
{
    const QByteArray p = QFile::encodeName(path);
    if (how == "link")
        QFile::link(QFileInfo(path).path(), path);
    else if (how != "missing" && !how.isEmpty() && QDir().mkdir(path))
        QCOMPARE(how == "foreign" ? ::chown(p.constData(), 65534, 65534)
                                  : ::chmod(p.constData(), how.toUInt(nullptr, 8)),
                 0);
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

    QString folder() const { return td::test::homePath() + "/runtime"; }

private slots:
    void parse_data()
    {
        // Command line | run, help, version, "usage: <part of the error>", or the request
        // as "starts <command> <args>" (a Tidra is started first) or "asks <command>".
        td::test::addRows(R"(
-platform offscreen -style fusion -reverse | run
-platform offscreen --list | asks list
--quit | asks quit
--show nope | usage: There is no page "nope"
--alarm 07:30 Tea Drink_it | starts alarm 07:30 Tea Drink_it
--alarm 2026-12-24 18:00 Eve | starts alarm 2026-12-24_18:00 Eve
--alarm 2020-01-01_10:00 | starts alarm 2020-01-01_10:00
--alarm 07:30 a b c | usage: Unexpected argument "c"
--alarm soon | usage: "soon" is not a moment
--alarm +1m --alarm +2m | usage: --alarm is given more than once
--timer 1h30m Pasta | starts timer 1h30m Pasta
--list --quit | usage: Give one command at a time, not --list and --quit.
)");
    }
    void parse()
    {
        QFETCH(QStringList, f);
        const QString want = f[0];
        const cli::Invocation got =
            cli::parse(QStringList{"tidra"} + words(QTest::currentDataTag()));
        const QString how = cli::startsProgram(got.request.command) ? "starts" : "asks";
        const QString gave[] = {"run", "help", "version", "usage: " + got.error,
                                QStringList({how, got.request.command}).join(' ')};
        QString result = gave[int(got.mode)];
        for (const QString& arg : got.request.args)
            result += ' ' + QString(arg).replace(' ', '_');
        QVERIFY2(result.startsWith(want), qPrintable(result));
        QCOMPARE(got.error.isEmpty(), !want.startsWith("usage:"));
    }

    void commands_data()
    {
        // Europe/Berlin. spring: 29 March 2026 02:00 -> 03:00; autumn: 25 October 03:00 -> 02:00.
        // now, command and words | name | the moment and its UTC offset in hours | message;
        // or the refusal: "<exit code>: <reason>"
        td::test::addRows(R"(
day alarm +25m _ | Alarm | 2026-05-04 10:25:00 2 |
day alarm +1d2h3m | Alarm | 2026-05-05 12:03:00 2
day alarm _+1H_ | Alarm | 2026-05-04 11:00:00 2
day alarm +0m | 1: Alarm can not be placed in the past.
day alarm +5 | 2: "+5" is not a moment
day alarm +10000d | 1: Alarm can not be placed more than 9999 days ahead.
day alarm 10:30 Tea Drink_it | Tea | 2026-05-04 10:30:00 2 | Drink it
day alarm 10:00 | Alarm | 2026-05-05 10:00:00 2
day alarm 2026-12-24_18:00 | Alarm | 2026-12-24 18:00:00 1
day alarm 2026-02-30_10:00 | 2: "2026-02-30 10:00" is not a moment
day alarm 2026-05-04_10:00 | 1: Alarm can not be placed in the past.
day alarm 2026-05-04_10:01 | Alarm | 2026-05-04 10:01:00 2
minute alarm 2026-05-04_10:00 | 1: Alarm can not be placed in the past.
day alarm 3000-01-01_10:00 | 1: Alarm can not be placed more than 9999 days ahead.
spring alarm 02:30 | Alarm | 2026-03-29 03:30:00 2
spring alarm +1h30m | Alarm | 2026-03-29 03:30:00 2
spring alarm 2026-03-29_02:15 | Alarm | 2026-03-29 03:15:00 2
autumn alarm 02:30 | Alarm | 2026-10-25 02:30:00 2
autumn alarm +1h30m | Alarm | 2026-10-25 02:15:00 1
autumn alarm +1d | Alarm | 2026-10-26 00:45:00 1
march timer 90s | 90s | 2026-03-28 12:01:30 1
march timer 1w1d1h1m1s | 1w1d1h1m1s | 2026-04-05 13:01:01 2
march timer 1d Bread | Bread | 2026-03-29 12:00:00 2
march timer 0s | 1: A countdown needs a span longer than zero.
march timer 1430w | 1: A countdown can last at most 9999 days.
march timer 25 | 2: "25" is not a span
march timer 1234567890s | 2: "1234567890s" is not a span
)");
    }
    void commands()
    {
        QFETCH(QStringList, f);
        QStringList list = words(QTest::currentDataTag());
        const QHash<QString, QString> nows{{"day", "2026-05-04 10:00:30"},
                                           {"minute", "2026-05-04 10:00:00"},
                                           {"spring", "2026-03-29 01:00:00"},
                                           {"autumn", "2026-10-25 01:45:00"},
                                           {"march", "2026-03-28 12:00:00"}};
        const QDateTime now = td::test::at(nows[list.takeFirst()]);
        const bool alarm = list.takeFirst() == "alarm";
        const cli::AlarmCommand a = cli::alarmCommand(list, now);
        const cli::TimerCommand t = cli::timerCommand(list, now);
        const protocol::Reply& refusal = alarm ? a.refusal : t.refusal;
        QStringList got{QString::number(refusal.code) + ": " + refusal.err};
        if (refusal.code == protocol::Done && alarm) {
            got = QStringList{a.record.name, shown(a.moment), a.record.message};
            QVERIFY(a.record.enabled && a.record.repeatMode == td::RepeatOnce);
            QCOMPARE(td::alarmMoment(a.record), a.moment);
        } else if (refusal.code == protocol::Done) {
            got = QStringList{t.record.name, shown(t.record.dateTime)};
            QCOMPARE(t.record.type, qint32(td::TypeTimer));
        }
        QVERIFY2(got.join(" | ").startsWith(f.join(" | ")), qPrintable(got.join(" | ")));
    }

    void protocolRefuses_data()
    {
        // A line after {"tidra":1, (or a whole line after "!") | part of the reason
        td::test::addRows(R"(
!{"command":"list"} | not one Tidra understands
!{"tidra":2,"command":"list"} | version 2 of the protocol; this Tidra speaks version 1
"command":"show","args":[1]} | not one Tidra understands
"command":"format-disk"} | Unknown command "format-disk".
"command":"list","args":["a"]} | "list" cannot take 1 argument.
"command":"alarm","args":[]} | "alarm" cannot take 0 arguments.
"command":"alarm","args":["a","b","c","d"]} | "alarm" cannot take 4 arguments.
"command":"show","args":["x"]} | There is no page "x"
)");
    }
    void protocolRefuses()
    {
        QFETCH(QStringList, f);
        const QByteArray line = QTest::currentDataTag();
        protocol::Request request{"untouched", {}};
        QString why;
        QVERIFY(!protocol::decode(line.startsWith('!') ? line.mid(1) : "{\"tidra\":1," + line,
                                  &request, &why));
        QVERIFY2(why.contains(f[0]), qPrintable(why));
        QCOMPARE(request.command, QStringLiteral("untouched"));
        protocol::Reply reply;
        QVERIFY(
            !protocol::decode("{\"tidra\":1,\"code\":4,\"out\":\"\",\"err\":\"\"}", &reply, &why));
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

    void whateverIsAtTheLockPath_data()
    {
        // What is at the lock path | why it cannot be locked (none: acquired)
        td::test::addRows(R"(
nothing
garbage
foreign
symlink
fifo
folder
full folder | a folder with files in it is in the way
held | process 4242 holds it and does not answer
)");
    }
    void whateverIsAtTheLockPath()
    {
        QFETCH(QStringList, f);
        const QString what = QTest::currentDataTag(), error = f.value(0);
        QTemporaryDir dir(folder() + "/odd-XXXXXX");
        const QString lock = dir.path() + "/odd.lock", target = dir.path() + "/precious";
        const QByteArray l = QFile::encodeName(lock);
        QFile(target).open(QIODevice::WriteOnly);
        int holder = -1;
        auto closeHolder = qScopeGuard([&holder] { ::close(holder); });
        const QHash<QString, QByteArray> texts{
            {"garbage", QByteArray("\x00\xff junk\n", 8).repeated(1000)},
            {"foreign", "1\n"},
            {"held", "4242\n"}};
        if (QFile f(lock); texts.contains(what))
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(texts[what]) == texts[what].size());
        if (what == "foreign")
            QCOMPARE(::chown(l.constData(), 65534, 65534), 0);
        else if (what == "symlink")
            QVERIFY(QFile::link(target, lock));
        else if (what == "fifo")
            QCOMPARE(::mkfifo(l.constData(), 0600), 0);
        else if (what.endsWith("folder"))
            QVERIFY(QDir().mkdir(lock) && (what == "folder" || QDir().mkdir(lock + "/keep")));
        else if (what == "held")
            QCOMPARE(::flock(holder = ::open(l.constData(), O_RDWR), LOCK_EX | LOCK_NB), 0);

        td::SingleInstance guard("odd", dir.path());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(guard.acquire(300), error.isEmpty() ? Outcome::Acquired : Outcome::Failed);
        QVERIFY(clock.elapsed() < 3000); // never hangs, a pipe included
        QCOMPARE(guard.errorString(),
                 error.isEmpty() ? error : "cannot lock " + lock + ": " + error);
        if (error.isEmpty()) {
            QVERIFY(QFileInfo(lock).isFile() && !QFileInfo(lock).isSymLink());
            QCOMPARE(QFileInfo(lock).ownerId(), ::geteuid());
            QCOMPARE(td::test::modeOf(lock), 0600);
            QCOMPARE(QFileInfo(target).size(), 0); // a link is replaced, never followed
            QCOMPARE(td::SingleInstance("odd", dir.path()).acquire(50), Outcome::Failed);
        }
    }

    void privateFolder_data()
    {
        // runtime folder | fallback | which is chosen | why none is
        td::test::addRows(R"(
runtime folder | 700 | | runtime
runtime folder others can enter | 755 | | | runtime: other users can enter it (mode 0755)
runtime of another user | foreign | | | runtime: it belongs to another user
own fallback tightened | missing | 755 | fallback
fallback a link | missing | link | | fallback: it is a symbolic link
)");
    }
    void privateFolder()
    {
        QFETCH(QStringList, f);
        QTemporaryDir dir(folder() + "/pf-XXXXXX");
        const QString runtime = dir.path() + "/runtime", fallback = dir.path() + "/fallback";
        make(runtime, f[0]);
        make(fallback, f[1]);
        QString why;
        const QString got = td::privateFolder({QString(), "relative/path", runtime},
                                              f[1].isEmpty() ? QString() : fallback, &why);
        QCOMPARE(got, f[2].isEmpty() ? QString() : dir.path() + '/' + f[2]);
        const QString error = f.value(3);
        QVERIFY2(error.isEmpty() || (why.startsWith("there is no private folder for it") &&
                                     why.contains(dir.path() + '/' + error)),
                 qPrintable(why));
        if (!got.isEmpty())
            QCOMPARE(td::test::modeOf(got), 0700);
    }
};

TIDRA_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
