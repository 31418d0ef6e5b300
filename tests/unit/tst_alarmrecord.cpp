// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmRecord.h"
#include "tests/common/RulesSupport.h"
#include "tests/common/StepwiseAlarm.h"

#include <QRandomGenerator>

using td::AlarmRecord;
Q_DECLARE_METATYPE(td::AlarmRecord)

namespace {

AlarmRecord record(int mode, const QDateTime& base, int range = 0, int measure = 0,
                   const QString& days = QString())
{
    AlarmRecord r;
    r.enabled = true;
    r.name = "Test";
    r.date = base.date();
    r.time = base.time();
    r.repeatMode = mode;
    r.repeatRange = range;
    r.repeatMeasure = measure;
    for (int d = 0; d < 7 && d < days.size(); ++d)
        r.days[d] = days[d] == '1';
    return r;
}

QDateTime at(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

} // namespace

class TestAlarmRecord : public QObject
{
    Q_OBJECT
private slots:
    void nextTime_data()
    {
        QTest::addColumn<AlarmRecord>("alarm");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("expected");

        const QDateTime eight = at(2024, 5, 6, 8, 0);
        const QDateTime later = at(2024, 6, 1, 0, 0);
        QTest::newRow("once in the past stays") << record(0, eight) << later << eight;
        AlarmRecord off = record(1, eight, 1, td::Hours);
        off.enabled = false;
        QTest::newRow("disabled") << off << at(2024, 5, 6, 7, 0) << QDateTime();
        QTest::newRow("hourly, now equals base")
            << record(1, eight, 1, td::Hours) << eight << at(2024, 5, 6, 9, 0);
        QTest::newRow("daily, now on an occurrence")
            << record(1, eight, 1, td::Days) << eight.addDays(3) << eight.addDays(4);
        // Europe/Berlin: elapsed seconds for small units, calendar days for large ones.
        QTest::newRow("30 minutes over spring gap")
            << record(1, at(2024, 3, 31, 1, 30), 30, td::Minutes) << at(2024, 3, 31, 1, 45)
            << at(2024, 3, 31, 3, 0);
        QTest::newRow("daily into the spring gap")
            << record(1, at(2024, 3, 30, 2, 30), 1, td::Days) << at(2024, 3, 30, 3, 0)
            << at(2024, 3, 31, 3, 30);
        QTest::newRow("daily across autumn keeps 08:00")
            << record(1, at(2024, 10, 26, 8, 0), 1, td::Days) << at(2024, 10, 26, 9, 0)
            << at(2024, 10, 27, 8, 0);
        QTest::newRow("leap: carried to 29 Mar") << record(1, at(2024, 1, 31, 9, 0), 1, td::Months)
                                                 << at(2024, 3, 1, 0, 0) << at(2024, 3, 29, 9, 0);
        QTest::newRow("29 Feb yearly stays 28 in leap")
            << record(1, at(2024, 2, 29, 7, 0), 1, td::Years) << at(2027, 3, 1, 0, 0)
            << at(2028, 2, 28, 7, 0);

        // Weekdays: index 0 is Sunday; 2024-05-01 is a Wednesday.
        const QDateTime wed = at(2024, 5, 1, 9, 0);
        QTest::newRow("today passed, only today")
            << record(2, wed, 0, 0, "0001000") << at(2024, 5, 1, 10, 0) << at(2024, 5, 8, 9, 0);
        QTest::newRow("only today, now on it")
            << record(2, wed, 0, 0, "0001000") << wed << at(2024, 5, 8, 9, 0);
        QTest::newRow("no day") << record(2, wed, 0, 0, "0000000") << at(2024, 5, 1, 8, 0)
                                << QDateTime();

        // Damaged records never fire and never loop.
        AlarmRecord noDate = record(1, eight, 1, td::Hours);
        noDate.date = QDate();
        QTest::newRow("null date") << noDate << later << QDateTime();
        QTest::newRow("range 0") << record(1, eight, 0, td::Hours) << later << QDateTime();
        QTest::newRow("unit 6") << record(1, eight, 1, 6) << later << QDateTime();
    }
    void nextTime()
    {
        QFETCH(AlarmRecord, alarm);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, expected);
        const QDateTime next = td::nextAlarmTime(alarm, now);
        QCOMPARE(next.isValid(), expected.isValid());
        if (expected.isValid())
            QCOMPARE(next.toMSecsSinceEpoch(), expected.toMSecsSinceEpoch());
    }

    // A small seeded sample against single steps, bases on month ends and DST days.
    void matchesStepwise()
    {
        QRandomGenerator rng(7);
        static const QDate special[] = {QDate(2016, 2, 29), QDate(2019, 1, 31), QDate(2021, 10, 31),
                                        QDate(2024, 3, 31)};
        static const qint64 spanDays[] = {20, 400, 3650, 3650, 3650, 3650};
        for (int i = 0; i < 300; ++i) {
            AlarmRecord r;
            r.enabled = true;
            r.repeatMode = int(rng.bounded(3));
            r.repeatMeasure = int(rng.bounded(6));
            r.repeatRange = 1 + int(rng.bounded(rng.bounded(4) == 0 ? 100 : 3));
            for (bool& d : r.days)
                d = rng.bounded(3) == 0;
            r.date = rng.bounded(2) ? special[rng.bounded(4)]
                                    : QDate(2016, 1, 1).addDays(rng.bounded(3650));
            r.time = rng.bounded(3) == 0 ? QTime(2, 30) : QTime(rng.bounded(24), rng.bounded(60));
            const qint64 span = r.repeatMode == td::RepeatEvery ? spanDays[r.repeatMeasure] : 3650;
            const QDateTime now = td::alarmMoment(r).addMSecs(
                qint64(rng.bounded(double(span * 86400000))) - 86400000 * 2);
            const QDateTime slow = td::test::stepwiseNextAlarmTime(r, now);
            QCOMPARE(td::nextAlarmTime(r, now).toMSecsSinceEpoch(),
                     slow.isValid() ? slow.toMSecsSinceEpoch() : QDateTime().toMSecsSinceEpoch());
            // The last occurrence is one (the first after just before it), is not
            // after now, and nothing comes between it and now.
            const QDateTime last = td::lastAlarmTime(r, now);
            if (last.isValid()) {
                QVERIFY(last <= now);
                QCOMPARE(td::test::stepwiseNextAlarmTime(r, last.addMSecs(-1)), last);
                QCOMPARE(td::test::stepwiseNextAlarmTime(r, last), slow);
            } else {
                const QDateTime first =
                    td::test::stepwiseNextAlarmTime(r, td::alarmMoment(r).addMSecs(-1));
                QVERIFY(!first.isValid() || first > now);
            }
        }
    }

    void lastTime_data()
    {
        QTest::addColumn<AlarmRecord>("alarm");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("expected");
        const QDateTime monday = at(2024, 5, 6, 8, 0);
        QTest::newRow("base ahead") << record(0, monday) << monday.addMSecs(-1) << QDateTime();
        QTest::newRow("once, long past") << record(0, monday) << monday.addYears(1) << monday;
        QTest::newRow("hourly, on an occurrence")
            << record(1, monday, 1, td::Hours) << at(2024, 5, 7, 3, 0) << at(2024, 5, 7, 3, 0);
        QTest::newRow("monthly, carried clamp") << record(1, at(2024, 1, 31, 9, 0), 1, td::Months)
                                                << at(2024, 3, 30, 0, 0) << at(2024, 3, 29, 9, 0);
        QTest::newRow("weekday, minutes after it")
            << record(2, monday, 0, 0, "0100000") << at(2024, 5, 13, 8, 10)
            << at(2024, 5, 13, 8, 0);
        QTest::newRow("weekday, base not a chosen day, none since")
            << record(2, monday, 0, 0, "0000010") << at(2024, 5, 9, 9, 0) << QDateTime();
    }
    void lastTime()
    {
        QFETCH(AlarmRecord, alarm);
        QFETCH(QDateTime, now);
        QTEST(td::lastAlarmTime(alarm, now), "expected");
    }

    void description_data()
    {
        QTest::addColumn<AlarmRecord>("alarm");
        QTest::addColumn<QString>("text");
        const QDateTime t = at(2024, 5, 6, 8, 0);
        AlarmRecord off = record(1, t, 2, td::Days);
        off.enabled = false;
        QTest::newRow("disabled") << off << "Disabled";
        QTest::newRow("singular") << record(1, t, 1, td::Hours) << "Repeat every 1 Hour";
        QTest::newRow("three, Sunday first")
            << record(2, t, 0, 0, "1110000") << "Repeat every Sunday, Monday and Tuesday";
    }
    void description()
    {
        QFETCH(AlarmRecord, alarm);
        QFETCH(QString, text);
        QCOMPARE(td::repeatDescription(alarm), text);
    }

    void moveToOccurrence_data()
    {
        QTest::addColumn<AlarmRecord>("alarm");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::newRow("once is spent") << record(0, at(2024, 5, 6, 8, 0)) << at(2024, 5, 6, 8, 1)
                                       << false << QDate(2024, 5, 6) << QTime(8, 0);
        // The gap moves the moment to 03:30; the stored time stays 02:30.
        QTest::newRow("daily keeps time through gap")
            << record(1, at(2024, 3, 30, 2, 30), 1, td::Days) << at(2024, 3, 30, 2, 31) << true
            << QDate(2024, 3, 31) << QTime(2, 30);
    }
    void moveToOccurrence()
    {
        QFETCH(AlarmRecord, alarm);
        QFETCH(QDateTime, now);
        td::moveToOccurrence(alarm, td::nextAlarmTime(alarm, now), now);
        QTEST(alarm.enabled, "enabled");
        QTEST(alarm.date, "date");
        QTEST(alarm.time, "time");
    }
};

TIDRA_RULES_TEST_MAIN(TestAlarmRecord)
#include "tst_alarmrecord.moc"
