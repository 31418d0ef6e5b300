// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmCommands.h"
#include "tests/common/RulesSupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <sys/types.h>

using namespace td;

Q_DECLARE_METATYPE(AlarmCommands::Outcome)

namespace {

using Outcomes = QList<AlarmCommands::Outcome>;

AlarmRecord withCommand(const QStringList& command, const QString& name = "Tea")
{
    AlarmRecord r;
    r.name = name;
    r.command = command;
    return r;
}

/// Commands asked to end after `timeLimitMs` are killed 200 ms later.
AlarmCommands::Limits limits(int timeLimitMs, int maxRunning = 4, int maxWaiting = 64)
{
    return {maxRunning, maxWaiting, timeLimitMs, 200};
}

} // namespace

class TestAlarmCommands : public QObject
{
    Q_OBJECT
private slots:
    // The editor's line reads back as the same program and arguments, whatever they hold.
    void commandLineRoundTrip()
    {
        const QStringList command{"/opt/my tools/bell", "\tx\ny", "\"", "a\"b", "\" x", "   "};
        QCOMPARE(QProcess::splitCommand(commandLineText(command)), command);
    }

    // Each way a command can fail is told, in a sentence that names the alarm; none blocks Tidra.
    // The user hears of it at the first ring only.
    void outcomes_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("problem");
        const QString late = "The command of alarm \"Tea\" ran longer than 1 second";
        QTest::newRow("does not exist") << QStringList{"/nonexistent/tidra-bell"}
                                        << "The command of alarm \"Tea\" could not be started: ";
        QTest::newRow("fails") << QStringList{"/bin/sh", "-c", "exit 3"}
                               << "The command of alarm \"Tea\" exited with code 3.";
        QTest::newRow("ignores the request to end")
            << QStringList{"/bin/sh", "-c", "trap '' TERM; while :; do :; done"} << late;
        QTest::newRow("reads its input") << QStringList{"/bin/cat"} << QString();
        QTest::newRow("floods its output") << QStringList{"/usr/bin/yes", "flood"} << late;
    }
    void outcomes()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, problem);
        AlarmCommands runner(limits(300));
        QSignalSpy ended(&runner, &AlarmCommands::finished);
        QSignalSpy shown(&runner, &AlarmCommands::problemToShow);
        QElapsedTimer clock;
        clock.start();
        for (int ring = 1; ring <= 2; ++ring) {
            QCOMPARE(runner.run(7, withCommand(command), {}), AlarmCommands::Outcome::Started);
            QTRY_COMPARE_WITH_TIMEOUT(ended.size(), ring, 20000);
        }
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(ended.at(0).at(0).toULongLong(), 7ull);
        const QString told = ended.at(0).at(1).toString();
        QVERIFY2(problem.isEmpty() ? told.isEmpty() : told.startsWith(problem), qPrintable(told));
        QCOMPARE(shown.size(), problem.isEmpty() ? 0 : 1);
        QCOMPARE(runner.running(), 0);
    }

    // The alarm reaches the program beside Tidra's own environment, in local time; its output
    // goes nowhere, so a flood of it cannot fill Tidra's memory.
    void environment()
    {
        const QString name = "\"Чай\" $HOME `x` 🍵", message = "one\n'two'\n";
        QTemporaryDir dir;
        const QString out = dir.filePath("env");
        qputenv("TIDRA_TEST_OWN", "kept");
        AlarmCommands runner(limits(10000));
        QSignalSpy ended(&runner, &AlarmCommands::finished);
        AlarmRecord r = withCommand(
            {"/bin/sh", "-c",
             "printf '%s\\0' \"$TIDRA_ALARM_NAME\" \"$TIDRA_ALARM_MESSAGE\" \"$TIDRA_ALARM_TIME\" "
             "\"$TIDRA_TEST_OWN\" \"$(readlink /proc/$$/fd/1 /proc/$$/fd/2)\" > \"$1\"",
             "sh", out},
            name);
        r.message = message;
        runner.run(1, r, test::at("2026-07-01 23:59:30"));
        QVERIFY(ended.wait(10000));
        QCOMPARE(QString::fromUtf8(test::fileBytes(out)).split(QChar(0)),
                 (QStringList{name, message, "2026-07-01T23:59:30+02:00", "kept",
                              "/dev/null\n/dev/null", ""}));
    }

    // A crowd of alarms starts a few commands; the next wait, the rest are refused.
    void cap_data()
    {
        QTest::addColumn<int>("maxRunning");
        QTest::addColumn<int>("maxWaiting");
        QTest::addColumn<Outcomes>("outcomes");
        using O = AlarmCommands::Outcome;
        QTest::newRow("two run, two wait, one refused")
            << 2 << 2 << Outcomes{O::Started, O::Started, O::Waiting, O::Waiting, O::Refused};
        QTest::newRow("one at a time, no queue")
            << 1 << 0 << Outcomes{O::Started, O::Refused, O::Refused};
    }
    void cap()
    {
        QFETCH(int, maxRunning);
        QFETCH(int, maxWaiting);
        QFETCH(Outcomes, outcomes);
        AlarmCommands runner(limits(10000, maxRunning, maxWaiting));
        int most = 0;
        connect(&runner, &AlarmCommands::finished, this,
                [&] { most = std::max(most, runner.running()); });
        Outcomes got;
        for (int i = 0; i < outcomes.size(); ++i)
            got << runner.run(i, withCommand({"/bin/sleep", "0.2"}), QDateTime());
        QCOMPARE(got, outcomes);
        QCOMPARE(runner.waiting(), maxWaiting);
        QTRY_COMPARE_WITH_TIMEOUT(runner.running() + runner.waiting(), 0, 20000);
        QVERIFY(most <= maxRunning);
    }

    // Quitting ends what still runs (it is asked first) and leaves nothing behind.
    void quittingEndsCommands()
    {
        QTemporaryDir dir;
        const QString pidFile = dir.filePath("pid");
        auto* runner = new AlarmCommands(limits(60000));
        runner->run(1, withCommand({"/bin/sh", "-c", "echo $$ > \"$0\"; exec sleep 30", pidFile}),
                    QDateTime());
        QTRY_VERIFY_WITH_TIMEOUT(test::fileBytes(pidFile).endsWith('\n'), 10000);
        const pid_t pid = pid_t(test::fileBytes(pidFile).trimmed().toLongLong());
        QVERIFY(pid > 0 && ::kill(pid, 0) == 0);
        QElapsedTimer clock;
        clock.start();
        delete runner;
        QVERIFY(clock.elapsed() < 3000 && ::kill(pid, 0) == -1);
    }
};

TIDRA_RULES_TEST_MAIN(TestAlarmCommands)
#include "tst_alarmcommands.moc"
