// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/InstanceProtocol.h"
#include "tests/common/TestSupport.h"

using td::cli::Mode;
using td::cli::Problem;
namespace protocol = td::protocol;

Q_DECLARE_METATYPE(td::cli::Mode)
Q_DECLARE_METATYPE(td::cli::Problem)

namespace {

QDateTime local(const QString& text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

/// "yyyy-MM-dd HH:mm +offset", so a moment in the repeated hour shows which one it is.
QString shown(const QDateTime& t)
{
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) +
                             QString::number(t.offsetFromUtc() / 3600)
                       : QStringLiteral("-");
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QStringList>("request"); // command, then its arguments
        QTest::addColumn<QString>("error");       // part of the usage error
        const QStringList none;
        QTest::newRow("nothing") << "" << Mode::Run << none << "";
        QTest::newRow("help") << "--help" << Mode::Help << none << "";
        QTest::newRow("-h") << "-h" << Mode::Help << none << "";
        QTest::newRow("help wins") << "--list --help" << Mode::Help << none << "";
        QTest::newRow("version") << "--version" << Mode::Version << none << "";
        QTest::newRow("-v") << "-v" << Mode::Version << none << "";
        QTest::newRow("unknown") << "--bogus" << Mode::Usage << none << "Unknown option 'bogus'";
        QTest::newRow("stray word") << "hello" << Mode::Usage << none << "Unexpected argument";
        QTest::newRow("toolkit options")
            << "-platform offscreen -style fusion -reverse" << Mode::Run << none << "";
        QTest::newRow("toolkit and a command")
            << "-platform offscreen --list" << Mode::Command << QStringList{"list"} << "";
        QTest::newRow("show") << "--show alarms" << Mode::Command << QStringList{"show", "alarms"}
                              << "";
        QTest::newRow("show=") << "--show=about" << Mode::Command << QStringList{"show", "about"}
                               << "";
        QTest::newRow("show popups") << "--show popups" << Mode::Command
                                     << QStringList{"show", "popups"} << "";
        QTest::newRow("show no page") << "--show" << Mode::Usage << none << "Missing value";
        QTest::newRow("show bad page")
            << "--show nope" << Mode::Usage << none << "no page \"nope\"";
        QTest::newRow("new alarm")
            << "--new-alarm" << Mode::Command << QStringList{"new-alarm"} << "";
        QTest::newRow("new timer")
            << "--new-timer" << Mode::Command << QStringList{"new-timer"} << "";
        QTest::newRow("editor with a word")
            << "--new-timer x" << Mode::Usage << none << "Unexpected argument \"x\"";
        QTest::newRow("alarm") << "--alarm +25m" << Mode::Command << QStringList{"alarm", "+25m"}
                               << "";
        QTest::newRow("alarm name message")
            << "--alarm 07:30 Tea Drink|it" << Mode::Command
            << QStringList{"alarm", "07:30", "Tea", "Drink it"} << "";
        QTest::newRow("alarm date and time as two words")
            << "--alarm 2026-12-24 18:00 Eve" << Mode::Command
            << QStringList{"alarm", "2026-12-24 18:00", "Eve"} << "";
        QTest::newRow("alarm in the past is for the instance to refuse")
            << "--alarm 2020-01-01|10:00" << Mode::Command
            << QStringList{"alarm", "2020-01-01 10:00"} << "";
        QTest::newRow("alarm too many words")
            << "--alarm 07:30 a b c" << Mode::Usage << none << "Unexpected argument \"c\"";
        QTest::newRow("alarm no moment")
            << "--alarm soon" << Mode::Usage << none << "\"soon\" is not a moment";
        QTest::newRow("alarm bad time") << "--alarm 24:00" << Mode::Usage << none << "not a moment";
        QTest::newRow("alarm twice") << "--alarm +1m --alarm +2m" << Mode::Usage << none
                                     << "--alarm is given more than once";
        QTest::newRow("timer") << "--timer 25m" << Mode::Command << QStringList{"timer", "25m"}
                               << "";
        QTest::newRow("timer named") << "--timer 1h30m Pasta" << Mode::Command
                                     << QStringList{"timer", "1h30m", "Pasta"} << "";
        QTest::newRow("timer no unit")
            << "--timer 25" << Mode::Usage << none << "\"25\" is not a span";
        QTest::newRow("timer zero is for the instance to refuse")
            << "--timer 0m" << Mode::Command << QStringList{"timer", "0m"} << "";
        QTest::newRow("timer too many words")
            << "--timer 5m a b" << Mode::Usage << none << "Unexpected argument \"b\"";
        QTest::newRow("list") << "--list" << Mode::Command << QStringList{"list"} << "";
        QTest::newRow("quit") << "--quit" << Mode::Command << QStringList{"quit"} << "";
        QTest::newRow("list with a word")
            << "--list all" << Mode::Usage << none << "Unexpected argument";
        QTest::newRow("two commands")
            << "--list --quit" << Mode::Usage << none << "one command at a time";
    }

    void parse()
    {
        QFETCH(QString, line);
        QFETCH(Mode, mode);
        QFETCH(QStringList, request);
        QFETCH(QString, error);
        // Words split at blanks; "|" stands for a blank inside one word.
        QStringList args{"tidra"};
        for (const QString& word : line.split(' ', Qt::SkipEmptyParts))
            args << QString(word).replace('|', ' ');
        const td::cli::Invocation got = td::cli::parse(args);
        QCOMPARE(got.mode, mode);
        QCOMPARE(QStringList(got.request.command) + got.request.args,
                 mode == Mode::Command ? request : QStringList{""});
        QVERIFY2(error.isEmpty() ? got.error.isEmpty() : got.error.contains(error),
                 qPrintable(got.error));
    }

    void helpNamesEveryCommand()
    {
        const QString help = td::cli::helpText();
        for (const char* option : {"--show <page>", "--new-alarm", "--new-timer", "--alarm <when>",
                                   "--timer <span>", "--list", "--quit"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
        QVERIFY(help.startsWith("Usage: tidra [options] [name [message]]"));
        QVERIFY(!help.contains("platform"));
        QCOMPARE(td::cli::versionText(), QStringLiteral("Tidra 1.2.31"));
    }

    void resolveWhen_data()
    {
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("when");
        QTest::addColumn<QString>("at"); // local time and UTC offset in hours
        QTest::addColumn<Problem>("problem");
        const QString day = "2026-05-04 10:00:30";
        QTest::newRow("+25m drops the seconds") << day << "+25m"
                                                << "2026-05-04 10:25:00 2" << Problem::None;
        QTest::newRow("+1h30m") << day << "+1h30m"
                                << "2026-05-04 11:30:00 2" << Problem::None;
        QTest::newRow("+2d") << day << "+2d"
                             << "2026-05-06 10:00:00 2" << Problem::None;
        QTest::newRow("+1d2h3m") << day << "+1d2h3m"
                                 << "2026-05-05 12:03:00 2" << Problem::None;
        QTest::newRow("+90min") << day << "+90min"
                                << "2026-05-04 11:30:00 2" << Problem::None;
        QTest::newRow("blanks and capitals") << day << " +1H "
                                             << "2026-05-04 11:00:00 2" << Problem::None;
        QTest::newRow("+0m is now") << day << "+0m"
                                    << "2026-05-04 10:00:00 2" << Problem::Past;
        QTest::newRow("+ alone") << day << "+"
                                 << "-" << Problem::Syntax;
        QTest::newRow("+5 without unit") << day << "+5"
                                         << "-" << Problem::Syntax;
        QTest::newRow("unit order") << day << "+5m1h"
                                    << "-" << Problem::Syntax;
        QTest::newRow("5m without +") << day << "5m"
                                      << "-" << Problem::Syntax;
        QTest::newRow("-5m") << day << "-5m"
                             << "-" << Problem::Syntax;
        QTest::newRow("+10000d") << day << "+10000d"
                                 << "-" << Problem::TooFar;
        QTest::newRow("later today") << day << "10:30"
                                     << "2026-05-04 10:30:00 2" << Problem::None;
        QTest::newRow("passed today: tomorrow") << day << "07:30"
                                                << "2026-05-05 07:30:00 2" << Problem::None;
        QTest::newRow("this minute has passed") << day << "10:00"
                                                << "2026-05-05 10:00:00 2" << Problem::None;
        QTest::newRow("one-digit hour") << day << "7:05"
                                        << "2026-05-05 07:05:00 2" << Problem::None;
        QTest::newRow("24:00") << day << "24:00"
                               << "-" << Problem::Syntax;
        QTest::newRow("12:60") << day << "12:60"
                               << "-" << Problem::Syntax;
        QTest::newRow("7.30") << day << "7.30"
                              << "-" << Problem::Syntax;
        QTest::newRow("date and time") << day << "2026-12-24 18:00"
                                       << "2026-12-24 18:00:00 1" << Problem::None;
        QTest::newRow("ISO T") << day << "2026-12-24T18:00"
                               << "2026-12-24 18:00:00 1" << Problem::None;
        QTest::newRow("30 February") << day << "2026-02-30 10:00"
                                     << "-" << Problem::Syntax;
        QTest::newRow("date only") << day << "2026-12-24"
                                   << "-" << Problem::Syntax;
        QTest::newRow("earlier today") << day << "2026-05-04 09:00"
                                       << "2026-05-04 09:00:00 2" << Problem::Past;
        QTest::newRow("this very minute") << day << "2026-05-04 10:00"
                                          << "2026-05-04 10:00:00 2" << Problem::Past;
        QTest::newRow("far future") << day << "3000-01-01 10:00"
                                    << "3000-01-01 10:00:00 1" << Problem::TooFar;
        // Europe/Berlin: 29 March 2026 02:00 -> 03:00; 25 October 2026 03:00 -> 02:00.
        const QString spring = "2026-03-29 01:00:00";
        QTest::newRow("spring: skipped time moves past the gap")
            << spring << "02:30"
            << "2026-03-29 03:30:00 2" << Problem::None;
        QTest::newRow("spring: +1h30m is 90 real minutes")
            << spring << "+1h30m"
            << "2026-03-29 03:30:00 2" << Problem::None;
        QTest::newRow("spring: date in the gap") << spring << "2026-03-29 02:15"
                                                 << "2026-03-29 03:15:00 2" << Problem::None;
        const QString autumn = "2026-10-25 01:45:00";
        QTest::newRow("autumn: a repeated time is its first pass")
            << autumn << "02:30"
            << "2026-10-25 02:30:00 2" << Problem::None;
        QTest::newRow("autumn: +1h30m lands in the second pass")
            << autumn << "+1h30m"
            << "2026-10-25 02:15:00 1" << Problem::None;
        QTest::newRow("autumn: +1d is a calendar day plus the extra hour")
            << autumn << "+1d"
            << "2026-10-26 00:45:00 1" << Problem::None;
    }

    void resolveWhen()
    {
        QFETCH(QString, now);
        QFETCH(QString, when);
        QFETCH(QString, at);
        QFETCH(Problem, problem);
        const td::cli::Moment m = td::cli::resolveWhen(when, local(now));
        QCOMPARE(m.problem, problem);
        QCOMPARE(shown(m.at), at);
    }

    void parseSpan_data()
    {
        QTest::addColumn<QString>("span");
        QTest::addColumn<qint64>("seconds");
        QTest::newRow("25m") << "25m" << qint64(1500);
        QTest::newRow("1h30m") << "1h30m" << qint64(5400);
        QTest::newRow("90s") << "90s" << qint64(90);
        QTest::newRow("1w2d") << "1w2d" << qint64(9 * 86400);
        QTest::newRow("every unit") << "1w1d1h1m1s" << qint64(694861);
        QTest::newRow("5min") << "5min" << qint64(300);
        QTest::newRow("capitals, blanks") << " 1H30M " << qint64(5400);
        QTest::newRow("0s") << "0s" << qint64(0);
        QTest::newRow("no unit") << "25" << qint64(-1);
        QTest::newRow("empty") << "" << qint64(-1);
        QTest::newRow("unit only") << "m" << qint64(-1);
        QTest::newRow("wrong order") << "1m1h" << qint64(-1);
        QTest::newRow("negative") << "-5m" << qint64(-1);
        QTest::newRow("fraction") << "1.5h" << qint64(-1);
        QTest::newRow("blank inside") << "1h 30m" << qint64(-1);
        QTest::newRow("too many digits") << "1234567890s" << qint64(-1);
    }

    void parseSpan()
    {
        QFETCH(QString, span);
        QFETCH(qint64, seconds);
        QCOMPARE(td::cli::parseSpan(span), seconds);
    }

    void commands_data()
    {
        QTest::addColumn<QStringList>("args"); // command first
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("record"); // name|moment|message, or the reason given
        const QString start = "2026-03-28 12:00:00";
        QTest::newRow("alarm defaults")
            << QStringList{"alarm", "+25m"} << 0 << "Alarm|2026-03-28 12:25:00 1|";
        QTest::newRow("alarm blank name")
            << QStringList{"alarm", "+25m", "  "} << 0 << "Alarm|2026-03-28 12:25:00 1|";
        QTest::newRow("alarm name, message")
            << QStringList{"alarm", "13:00", "Tea", "Drink it\nnow"} << 0
            << "Tea|2026-03-28 13:00:00 1|Drink it\nnow";
        QTest::newRow("alarm past") << QStringList{"alarm", "2026-03-28 11:59"} << 1
                                    << "Alarm can not be placed in the past.";
        QTest::newRow("alarm too far") << QStringList{"alarm", "+10000d"} << 1
                                       << "Alarm can not be placed more than 9999 days ahead.";
        QTest::newRow("alarm garbage")
            << QStringList{"alarm", "\x01\x02"} << 2 << "\"\x01\x02\" is not a moment";
        QTest::newRow("timer named by its span")
            << QStringList{"timer", "90s"} << 0 << "90s|2026-03-28 12:01:30 1|";
        QTest::newRow("timer across the spring change: 1d is a calendar day")
            << QStringList{"timer", "1d", "Bread"} << 0 << "Bread|2026-03-29 12:00:00 2|";
        QTest::newRow("timer 24h the same, like the editor")
            << QStringList{"timer", "24h"} << 0 << "24h|2026-03-29 12:00:00 2|";
        QTest::newRow("timer 1d1s")
            << QStringList{"timer", "1d1s"} << 0 << "1d1s|2026-03-29 12:00:01 2|";
        QTest::newRow("timer zero")
            << QStringList{"timer", "0m"} << 1 << "A countdown needs a span longer than zero.";
        QTest::newRow("timer too long")
            << QStringList{"timer", "1430w"} << 1 << "A countdown can last at most 9999 days.";
        QTest::newRow("timer garbage")
            << QStringList{"timer", "soon"} << 2 << "\"soon\" is not a span";
    }

    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, record);
        const QDateTime now = local("2026-03-28 12:00:00");
        const QString command = args.takeFirst();
        protocol::Reply refusal;
        QString got;
        if (command == "alarm") {
            const td::cli::AlarmCommand c = td::cli::alarmCommand(args, now);
            refusal = c.refusal;
            const td::AlarmRecord& r = c.record;
            if (c.ok()) {
                QVERIFY(r.enabled);
                QCOMPARE(r.repeatMode, int(td::RepeatOnce));
                QCOMPARE(td::alarmMoment(r), c.moment);
            }
            got = r.name + '|' + shown(c.moment) + '|' + r.message;
        } else {
            const td::cli::TimerCommand c = td::cli::timerCommand(args, now);
            refusal = c.refusal;
            QCOMPARE(c.record.type, qint32(td::TypeTimer));
            got = c.record.name + '|' + shown(c.record.dateTime) + '|';
        }
        QCOMPARE(refusal.code, code);
        QCOMPARE(code == 0 ? got : refusal.err.left(record.size()), record);
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
        QCOMPARE(td::cli::alarmLine(a, next),
                 "alarm\tTab\\there\\\\\t2026-05-04 10:25\tRepeat every 2 Hours");
        a.enabled = false;
        a.name = "Two\nlines";
        QCOMPARE(td::cli::alarmLine(a, QDateTime()), "alarm\tTwo\\nlines\tdisabled\tDisabled");

        td::TimerRecord t;
        t.name = "Pasta";
        t.dateTime = next;
        QCOMPARE(td::cli::timerLine(t, true, true),
                 "timer\tPasta\tcounting down\t2026-05-04 10:25:00\tshown");
        t.type = td::TypeStopwatch;
        QCOMPARE(td::cli::timerLine(t, true, false),
                 "timer\tPasta\tcounting up\t2026-05-04 10:25:00\thidden");
        QCOMPARE(td::cli::timerLine(t, false, false).section('\t', 2, 2), "stopped");
    }

    void protocolRoundTrip()
    {
        const protocol::Request request{"alarm", {"+5m", "Tä\tea", QString(5000, 'x')}};
        const QByteArray line = protocol::encode(request);
        QVERIFY(line.endsWith('\n'));
        QCOMPARE(line.count('\n'), 1); // one line, whatever the texts hold
        protocol::Request back;
        QString error;
        QVERIFY(protocol::decode(line, &back, &error));
        QCOMPARE(back, request);
        const protocol::Reply reply{1, "out\nlines", "why"};
        protocol::Reply replyBack;
        QVERIFY(protocol::decode(protocol::encode(reply), &replyBack, &error));
        QCOMPARE(replyBack, reply);
    }

    void protocolRefuses_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("error");
        const QByteArray head = "{\"tidra\":1,";
        QTest::newRow("too long") << QByteArray(protocol::maxRequestBytes + 1, '{')
                                  << "The message is too long.";
        QTest::newRow("empty") << QByteArray() << "not one Tidra understands";
        QTest::newRow("old activate") << QByteArray("activate\n") << "not one Tidra understands";
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe{\x01", 5)
                                << "not one Tidra understands";
        QTest::newRow("array") << QByteArray("[1,2]") << "not one Tidra understands";
        QTest::newRow("deep nesting") << QByteArray(5000, '[') << "not one Tidra understands";
        QTest::newRow("no version")
            << QByteArray("{\"command\":\"list\"}") << "not one Tidra understands";
        QTest::newRow("version as text")
            << QByteArray("{\"tidra\":\"1\",\"command\":\"list\"}") << "not one Tidra understands";
        QTest::newRow("other version") << QByteArray("{\"tidra\":2,\"command\":\"list\"}")
                                       << "version 2 of the protocol; this Tidra speaks version 1";
        QTest::newRow("no command") << head + "\"args\":[]}"
                                    << "not one Tidra understands";
        QTest::newRow("command not text") << head + "\"command\":7}"
                                          << "not one Tidra understands";
        QTest::newRow("args not a list") << head + "\"command\":\"list\",\"args\":\"x\"}"
                                         << "not one Tidra understands";
        QTest::newRow("argument not text") << head + "\"command\":\"show\",\"args\":[1]}"
                                           << "not one Tidra understands";
        QTest::newRow("unknown command") << head + "\"command\":\"format-disk\"}"
                                         << "Unknown command \"format-disk\".";
        QTest::newRow("too many arguments") << head + "\"command\":\"list\",\"args\":[\"a\"]}"
                                            << "\"list\" cannot take 1 argument.";
        QTest::newRow("too few arguments") << head + "\"command\":\"alarm\",\"args\":[]}"
                                           << "\"alarm\" cannot take 0 arguments.";
        QTest::newRow("alarm, four arguments")
            << head + "\"command\":\"alarm\",\"args\":[\"a\",\"b\",\"c\",\"d\"]}"
            << "\"alarm\" cannot take 4 arguments.";
        QTest::newRow("no such page") << head + "\"command\":\"show\",\"args\":[\"x\"]}"
                                      << "There is no page \"x\"";
    }

    void protocolRefuses()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, error);
        protocol::Request request{"untouched", {}};
        QString why;
        QVERIFY(!protocol::decode(line, &request, &why));
        QVERIFY2(why.contains(error), qPrintable(why));
        QCOMPARE(request.command, QStringLiteral("untouched"));
        // A reply gets the same care.
        protocol::Reply reply;
        QVERIFY(!protocol::decode(line + "x", &reply, &why));
        QVERIFY(
            !protocol::decode("{\"tidra\":1,\"code\":9,\"out\":\"\",\"err\":\"\"}", &reply, &why));
    }
};

TIDRA_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
