// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmCommands.h"
#include "tests/common/RulesSupport.h"

#include <QProcess>
#include <QTemporaryDir>

using namespace td;

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
        QTest::newRow("fails") << QStringList{"/bin/sh", "-c", "exit 3"}
                               << "The command of alarm \"Tea\" exited with code 3.";
        QTest::newRow("ignores the request to end")
            << QStringList{"/bin/sh", "-c", "trap '' TERM; while :; do :; done"} << late;
        QTest::newRow("reads its input") << QStringList{"/bin/cat"} << QString();
    }
    void outcomes()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, problem);
        AlarmCommands runner(limits(300));
        QSignalSpy ended(&runner, &AlarmCommands::finished);
        QSignalSpy shown(&runner, &AlarmCommands::problemToShow);
        for (int ring = 1; ring <= 2; ++ring) {
            QCOMPARE(runner.run(7, withCommand(command), {}), AlarmCommands::Outcome::Started);
            QTRY_COMPARE_WITH_TIMEOUT(ended.size(), ring, 20000);
        }
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
    void cap()
    {
        using O = AlarmCommands::Outcome;
        AlarmCommands runner(limits(10000, 2, 2));
        Outcomes got;
        for (int i = 0; i < 5; ++i)
            got << runner.run(i, withCommand({"/bin/sleep", "0.2"}), QDateTime());
        QCOMPARE(got, (Outcomes{O::Started, O::Started, O::Waiting, O::Waiting, O::Refused}));
        QTRY_COMPARE_WITH_TIMEOUT(runner.running() + runner.waiting(), 0, 20000);
    }
};

TIDRA_RULES_TEST_MAIN(TestAlarmCommands)
#include "tst_alarmcommands.moc"
