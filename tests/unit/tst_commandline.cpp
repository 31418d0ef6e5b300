// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/InstanceProtocol.h"
#include "tests/common/TestSupport.h"

namespace cli = td::cli;
namespace protocol = td::protocol;

namespace {

QDateTime local(const QString& text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

/// "yyyy-MM-dd HH:mm:ss offset", so a moment in the repeated hour shows which one it is.
QString shown(const QDateTime& t)
{
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) +
                             QString::number(t.offsetFromUtc() / 3600)
                       : QStringLiteral("-");
}

/// Words split at blanks; "_" stands for a blank inside one word.
QStringList words(const QString& text)
{
    QStringList list = text.split(' ', Qt::SkipEmptyParts);
    for (QString& w : list)
        w.replace('_', ' ');
    return list;
}

/// One row per line of `table`, named by the line: its fields between " | ", trimmed.
void addRows(std::initializer_list<const char*> columns, const char* table)
{
    for (const char* c : columns) // kept by pointer: literals only
        QTest::addColumn<QString>(c);
    for (const QString& line : QString(table).split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(" | ");
        QTestData& row = QTest::newRow(qPrintable(line.simplified()));
        for (int i = 0; i < int(columns.size()); ++i)
            row << fields.value(i).trimmed();
    }
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        // Command line | run, help, version, "usage: <part of the error>", or the request
        // as "starts <command> <args>" (a Tidra is started first) or "asks <command>".
        addRows({"line", "want"}, R"(
 | run
--help | help
--list --help | help
--version | version
--bogus | usage: Unknown option 'bogus'
hello | usage: Unexpected argument "hello"
-platform offscreen -style fusion -reverse | run
-platform offscreen --list | asks list
--show alarms | starts show alarms
--show popups | starts show popups
--show | usage: Missing value
--show nope | usage: There is no page "nope"
--new-alarm | starts new-alarm
--new-timer x | usage: Unexpected argument "x"
--alarm 07:30 Tea Drink_it | starts alarm 07:30 Tea Drink_it
--alarm 2026-12-24 18:00 Eve | starts alarm 2026-12-24_18:00 Eve
--alarm 2020-01-01_10:00 | starts alarm 2020-01-01_10:00
--alarm 07:30 a b c | usage: Unexpected argument "c"
--alarm soon | usage: "soon" is not a moment
--alarm +1m --alarm +2m | usage: --alarm is given more than once
--timer 1h30m Pasta | starts timer 1h30m Pasta
--timer 25 | usage: "25" is not a span
--timer 0m | starts timer 0m
--timer 5m a b | usage: Unexpected argument "b"
--list | asks list
--quit | asks quit
--list --quit | usage: Give one command at a time, not --list and --quit.
)");
    }
    void parse()
    {
        QFETCH(QString, line);
        QFETCH(QString, want);
        const cli::Invocation got = cli::parse(QStringList{"tidra"} + words(line));
        const QString how = cli::startsProgram(got.request.command) ? "starts" : "asks";
        const QString gave[] = {"run", "help", "version", "usage: " + got.error,
                                QStringList({how, got.request.command}).join(' ')};
        QString result = gave[int(got.mode)];
        for (const QString& arg : got.request.args)
            result += ' ' + QString(arg).replace(' ', '_');
        QVERIFY2(result.startsWith(want), qPrintable(result));
        QCOMPARE(got.error.isEmpty(), !want.startsWith("usage:"));
    }

    void helpAndVersion()
    {
        const QString help = cli::helpText();
        QVERIFY(help.startsWith("Usage: tidra [options] [name [message]]"));
        for (const char* option : {"--show <page>", "--new-alarm", "--new-timer", "--alarm <when>",
                                   "--timer <span>", "--list", "--quit"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
        QVERIFY(!help.contains("platform"));
        QCOMPARE(cli::versionText(), QStringLiteral("Tidra 1.2.31"));
    }

    void resolveWhen_data()
    {
        // Europe/Berlin. spring: 29 March 2026 02:00 -> 03:00; autumn: 25 October 03:00 -> 02:00.
        // now | when | the moment and its UTC offset in hours, or - | problem
        addRows({"now", "when", "at", "problem"}, R"(
day | +25m | 2026-05-04 10:25:00 2 | None
day | +1h30m | 2026-05-04 11:30:00 2 | None
day | +1d2h3m | 2026-05-05 12:03:00 2 | None
day | +90min | 2026-05-04 11:30:00 2 | None
day |  +1H  | 2026-05-04 11:00:00 2 | None
day | +0m | 2026-05-04 10:00:00 2 | Past
day | +5 | - | Syntax
day | 5m | - | Syntax
day | +10000d | - | TooFar
day | 10:30 | 2026-05-04 10:30:00 2 | None
day | 10:00 | 2026-05-05 10:00:00 2 | None
day | 7:05 | 2026-05-05 07:05:00 2 | None
day | 24:00 | - | Syntax
day | 7.30 | - | Syntax
day | 2026-12-24 18:00 | 2026-12-24 18:00:00 1 | None
day | 2026-12-24T18:00 | 2026-12-24 18:00:00 1 | None
day | 2026-02-30 10:00 | - | Syntax
day | 2026-12-24 | - | Syntax
day | 2026-05-04 09:00 | 2026-05-04 09:00:00 2 | Past
day | 2026-05-04 10:00 | 2026-05-04 10:00:00 2 | Past
day | 2026-05-04 10:01 | 2026-05-04 10:01:00 2 | None
minute | 2026-05-04 10:00 | 2026-05-04 10:00:00 2 | Past
day | 3000-01-01 10:00 | 3000-01-01 10:00:00 1 | TooFar
spring | 02:30 | 2026-03-29 03:30:00 2 | None
spring | +1h30m | 2026-03-29 03:30:00 2 | None
spring | 2026-03-29 02:15 | 2026-03-29 03:15:00 2 | None
autumn | 02:30 | 2026-10-25 02:30:00 2 | None
autumn | +1h30m | 2026-10-25 02:15:00 1 | None
autumn | +1d | 2026-10-26 00:45:00 1 | None
)");
    }
    void resolveWhen()
    {
        QFETCH(QString, now);
        QFETCH(QString, when);
        const QHash<QString, QString> nows{{"day", "2026-05-04 10:00:30"},
                                           {"minute", "2026-05-04 10:00:00"},
                                           {"spring", "2026-03-29 01:00:00"},
                                           {"autumn", "2026-10-25 01:45:00"}};
        const cli::Moment m = cli::resolveWhen(when, local(nows[now]));
        const char* problems[] = {"None", "Syntax", "Past", "TooFar"};
        QTEST(QString(problems[int(m.problem)]), "problem");
        QTEST(shown(m.at), "at");
    }

    void commands_data()
    {
        // At 2026-03-28 12:00:00, the day before the spring change.
        // command and words | name | moment | message; or the refusal: "<exit code>: <reason>"
        addRows({"args", "name", "moment", "message"}, R"(
alarm +25m | Alarm | 2026-03-28 12:25:00 1
alarm +25m _ | Alarm | 2026-03-28 12:25:00 1
alarm 13:00 Tea Drink_it | Tea | 2026-03-28 13:00:00 1 | Drink it
alarm 2026-03-28_11:59 | 1: Alarm can not be placed in the past.
alarm +10000d | 1: Alarm can not be placed more than 9999 days ahead.
alarm x | 2: "x" is not a moment
timer 90s | 90s | 2026-03-28 12:01:30 1
timer 1h30m | 1h30m | 2026-03-28 13:30:00 1
timer 5min | 5min | 2026-03-28 12:05:00 1
timer _1H30M_ | 1H30M | 2026-03-28 13:30:00 1
timer 1w1d1h1m1s | 1w1d1h1m1s | 2026-04-05 13:01:01 2
timer 1d Bread | Bread | 2026-03-29 12:00:00 2
timer 24h | 24h | 2026-03-29 12:00:00 2
timer 1d1s | 1d1s | 2026-03-29 12:00:01 2
timer 0s | 1: A countdown needs a span longer than zero.
timer 1430w | 1: A countdown can last at most 9999 days.
timer 25 | 2: "25" is not a span
timer 1m1h | 2: "1m1h" is not a span
timer 1h_30m | 2: "1h 30m" is not a span
timer 1234567890s | 2: "1234567890s" is not a span
)");
    }
    void commands()
    {
        QFETCH(QString, args);
        QFETCH(QString, name);
        QStringList list = words(args);
        const QString command = list.takeFirst();
        const QDateTime now = local("2026-03-28 12:00:00");
        const cli::AlarmCommand a = cli::alarmCommand(list, now);
        const cli::TimerCommand t = cli::timerCommand(list, now);
        const bool alarm = command == "alarm";
        const protocol::Reply& refusal = alarm ? a.refusal : t.refusal;
        if (refusal.code != protocol::Done) {
            QCOMPARE(QString::number(refusal.code) + ": " + refusal.err.left(name.size() - 3),
                     name);
            return;
        }
        QCOMPARE(alarm ? a.record.name : t.record.name, name);
        QTEST(shown(alarm ? a.moment : t.record.dateTime), "moment");
        if (alarm) {
            QTEST(a.record.message, "message");
            QVERIFY(a.record.enabled && a.record.repeatMode == td::RepeatOnce);
            QCOMPARE(td::alarmMoment(a.record), a.moment);
        } else {
            QCOMPARE(t.record.type, qint32(td::TypeTimer));
        }
    }

    void listLines()
    {
        td::AlarmRecord a;
        a.enabled = true;
        a.name = "Tab\there\\";
        a.repeatMode = td::RepeatEvery;
        a.repeatRange = 2;
        a.repeatMeasure = td::Hours;
        const QDateTime next = local("2026-05-04 10:25:00");
        QCOMPARE(cli::alarmLine(a, next),
                 "alarm\tTab\\there\\\\\t2026-05-04 10:25\tRepeat every 2 Hours");
        a.enabled = false;
        a.name = "Two\nlines";
        QCOMPARE(cli::alarmLine(a, QDateTime()), "alarm\tTwo\\nlines\tdisabled\tDisabled");
        td::TimerRecord t;
        t.name = "Pasta";
        t.dateTime = next;
        QCOMPARE(cli::timerLine(t, true, true),
                 "timer\tPasta\tcounting down\t2026-05-04 10:25:00\tshown");
        t.type = td::TypeStopwatch;
        QCOMPARE(cli::timerLine(t, true, false).section('\t', 2),
                 "counting up\t2026-05-04 10:25:00\thidden");
        QCOMPARE(cli::timerLine(t, false, false).section('\t', 2, 2), "stopped");
    }

    void protocolRoundTrip()
    {
        const protocol::Request request{"alarm", {"+5m", "Tä\tea", QString(5000, 'x')}};
        const QByteArray line = protocol::encode(request);
        QCOMPARE(line.indexOf('\n'), line.size() - 1); // one line, whatever the texts hold
        protocol::Request back;
        QString error;
        QVERIFY(protocol::decode(line, &back, &error));
        QCOMPARE(back, request);
        const protocol::Reply reply{3, "out\nlines", "why"};
        protocol::Reply replyBack;
        QVERIFY(protocol::decode(protocol::encode(reply), &replyBack, &error));
        QCOMPARE(replyBack, reply);
    }

    void protocolRefuses_data()
    {
        // A line after {"tidra":1, (or a whole line after "!") | part of the reason
        addRows({"line", "error"}, R"(
!activate | not one Tidra understands
![1,2] | not one Tidra understands
!{"command":"list"} | not one Tidra understands
!{"tidra":2,"command":"list"} | version 2 of the protocol; this Tidra speaks version 1
"args":[]} | not one Tidra understands
"command":"list","args":"x"} | not one Tidra understands
"command":"show","args":[1]} | not one Tidra understands
"command":"format-disk"} | Unknown command "format-disk".
"command":"list","args":["a"]} | "list" cannot take 1 argument.
"command":"alarm","args":[]} | "alarm" cannot take 0 arguments.
"command":"alarm","args":["a","b","c","d"]} | "alarm" cannot take 4 arguments.
"command":"show","args":["x"]} | There is no page "x"
)");
        const QString garbage = "not one Tidra understands";
        QTest::newRow("too long") << QString(protocol::maxRequestBytes + 1, '{') << "too long";
        QTest::newRow("empty") << "!" << garbage;
        QTest::newRow("binary") << QString::fromLatin1("!\x01\xff\xfe{", 5) << garbage;
        QTest::newRow("deep nesting") << "!" + QString(5000, '[') << garbage;
    }
    void protocolRefuses()
    {
        QFETCH(QString, line);
        QFETCH(QString, error);
        const QByteArray bytes =
            line.startsWith('!') ? line.mid(1).toLatin1() : "{\"tidra\":1," + line.toLatin1();
        protocol::Request request{"untouched", {}};
        QString why;
        QVERIFY(!protocol::decode(bytes, &request, &why));
        QVERIFY2(why.contains(error), qPrintable(why));
        QCOMPARE(request.command, QStringLiteral("untouched"));
        // A reply gets the same care.
        protocol::Reply reply;
        QVERIFY(!protocol::decode(bytes + "x", &reply, &why));
        QVERIFY(
            !protocol::decode("{\"tidra\":1,\"code\":4,\"out\":\"\",\"err\":\"\"}", &reply, &why));
    }
};

TIDRA_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
