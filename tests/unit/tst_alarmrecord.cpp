#include "alarms/AlarmRecord.h"
#include "app/Clock.h"
#include "tests/common/StepwiseAlarm.h"
#include "tests/common/TestSupport.h"

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

QDateTime utc(int y, int mo, int d, int h, int mi)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC).toLocalTime();
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
        QTest::newRow("once in the future") << record(0, eight) << at(2024, 5, 6, 7, 0) << eight;
        QTest::newRow("once in the past stays")
            << record(0, eight) << at(2024, 6, 1, 0, 0) << eight;
        AlarmRecord off = record(1, eight, 1, td::Hours);
        off.enabled = false;
        QTest::newRow("disabled") << off << at(2024, 5, 6, 7, 0) << QDateTime();

        QTest::newRow("hourly, now equals base")
            << record(1, eight, 1, td::Hours) << eight << at(2024, 5, 6, 9, 0);
        QTest::newRow("hourly, a second before")
            << record(1, eight, 1, td::Hours) << at(2024, 5, 6, 7, 59, 59) << eight;
        QTest::newRow("hourly, a millisecond after")
            << record(1, eight, 1, td::Hours) << at(2024, 5, 6, 8, 0, 0, 1) << at(2024, 5, 6, 9, 0);
        QTest::newRow("15 minutes, years back") << record(1, at(2014, 5, 6, 8, 0), 15, td::Minutes)
                                                << at(2024, 5, 6, 10, 7) << at(2024, 5, 6, 10, 15);
        QTest::newRow("3 hours across midnight")
            << record(1, eight, 3, td::Hours) << at(2024, 5, 7, 0, 30) << at(2024, 5, 7, 2, 0);

        // Elapsed seconds across the DST changes of Europe/Berlin.
        QTest::newRow("30 minutes over spring gap")
            << record(1, at(2024, 3, 31, 1, 30), 30, td::Minutes) << at(2024, 3, 31, 1, 45)
            << at(2024, 3, 31, 3, 0);
        QTest::newRow("hourly into the repeated hour")
            << record(1, at(2024, 10, 27, 1, 30), 1, td::Hours) << utc(2024, 10, 27, 0, 40)
            << utc(2024, 10, 27, 1, 30);

        // Calendar days keep the time of day; a skipped time comes just after the gap.
        QTest::newRow("daily into the spring gap")
            << record(1, at(2024, 3, 30, 2, 30), 1, td::Days) << at(2024, 3, 30, 3, 0)
            << at(2024, 3, 31, 3, 30);
        QTest::newRow("daily after the spring gap")
            << record(1, at(2024, 3, 30, 2, 30), 1, td::Days) << at(2024, 3, 31, 4, 0)
            << at(2024, 4, 1, 2, 30);
        QTest::newRow("daily across autumn keeps 08:00")
            << record(1, at(2024, 10, 26, 8, 0), 1, td::Days) << at(2024, 10, 26, 9, 0)
            << at(2024, 10, 27, 8, 0);
        QTest::newRow("weekly across spring keeps 08:00")
            << record(1, at(2024, 3, 25, 8, 0), 1, td::Weeks) << at(2024, 3, 25, 9, 0)
            << at(2024, 4, 1, 8, 0);
        QTest::newRow("every 3 days, years back") << record(1, at(2020, 1, 1, 6, 0), 3, td::Days)
                                                  << at(2024, 5, 6, 12, 0) << at(2024, 5, 9, 6, 0);

        // Month ends clamp and the clamped day is carried on.
        QTest::newRow("31 Jan monthly -> 28 Feb") << record(1, at(2023, 1, 31, 9, 0), 1, td::Months)
                                                  << at(2023, 2, 15, 0, 0) << at(2023, 2, 28, 9, 0);
        QTest::newRow("31 Jan monthly -> 28 Mar") << record(1, at(2023, 1, 31, 9, 0), 1, td::Months)
                                                  << at(2023, 3, 1, 0, 0) << at(2023, 3, 28, 9, 0);
        QTest::newRow("leap: 31 Jan -> 29 Feb") << record(1, at(2024, 1, 31, 9, 0), 1, td::Months)
                                                << at(2024, 2, 1, 0, 0) << at(2024, 2, 29, 9, 0);
        QTest::newRow("leap: carried to 29 Mar") << record(1, at(2024, 1, 31, 9, 0), 1, td::Months)
                                                 << at(2024, 3, 1, 0, 0) << at(2024, 3, 29, 9, 0);
        QTest::newRow("every 2 months, stepped singly")
            << record(1, at(2023, 1, 31, 9, 0), 2, td::Months) << at(2023, 2, 1, 0, 0)
            << at(2023, 3, 28, 9, 0);
        QTest::newRow("31 May monthly skips nothing in 30-day June")
            << record(1, at(2024, 5, 31, 9, 0), 1, td::Months) << at(2024, 6, 1, 0, 0)
            << at(2024, 6, 30, 9, 0);
        QTest::newRow("30 Aug monthly, years later, 28th")
            << record(1, at(2019, 8, 30, 9, 0), 1, td::Months) << at(2024, 5, 6, 0, 0)
            << at(2024, 5, 28, 9, 0);
        QTest::newRow("29 Feb yearly -> 28 Feb") << record(1, at(2024, 2, 29, 7, 0), 1, td::Years)
                                                 << at(2024, 3, 1, 0, 0) << at(2025, 2, 28, 7, 0);
        QTest::newRow("29 Feb yearly stays 28 in leap")
            << record(1, at(2024, 2, 29, 7, 0), 1, td::Years) << at(2027, 3, 1, 0, 0)
            << at(2028, 2, 28, 7, 0);
        QTest::newRow("every 4 years from 29 Feb") << record(1, at(2024, 2, 29, 7, 0), 4, td::Years)
                                                   << at(2024, 3, 1, 0, 0) << at(2028, 2, 28, 7, 0);

        // Weekdays: index 0 is Sunday; 2024-05-01 is a Wednesday.
        const QDateTime wed = at(2024, 5, 1, 9, 0);
        QTest::newRow("Sunday only")
            << record(2, wed, 0, 0, "1000000") << at(2024, 5, 1, 10, 0) << at(2024, 5, 5, 9, 0);
        QTest::newRow("today passed, only today")
            << record(2, wed, 0, 0, "0001000") << at(2024, 5, 1, 10, 0) << at(2024, 5, 8, 9, 0);
        QTest::newRow("today still ahead")
            << record(2, wed, 0, 0, "0001000") << at(2024, 5, 1, 8, 0) << wed;
        QTest::newRow("future base on a chosen day")
            << record(2, at(2024, 6, 12, 9, 0), 0, 0, "0001000") << at(2024, 5, 1, 8, 0)
            << at(2024, 6, 12, 9, 0);
        QTest::newRow("future base on another day")
            << record(2, at(2024, 6, 12, 9, 0), 0, 0, "0100000") << at(2024, 5, 1, 8, 0)
            << at(2024, 6, 17, 9, 0);
        QTest::newRow("Saturday, base years back")
            << record(2, at(2015, 1, 1, 9, 0), 0, 0, "0000001") << at(2024, 5, 1, 8, 0)
            << at(2024, 5, 4, 9, 0);
        QTest::newRow("no day") << record(2, wed, 0, 0, "0000000") << at(2024, 5, 1, 8, 0)
                                << QDateTime();
        QTest::newRow("weekday in the spring gap")
            << record(2, at(2024, 3, 20, 2, 30), 0, 0, "1000000") << at(2024, 3, 25, 0, 0)
            << at(2024, 3, 31, 3, 30);

        // Damaged records never fire.
        AlarmRecord noDate = record(1, eight, 1, td::Hours);
        noDate.date = QDate();
        AlarmRecord noTime = record(1, eight, 1, td::Hours);
        noTime.time = QTime();
        const QDateTime later = at(2024, 6, 1, 0, 0);
        QTest::newRow("null date") << noDate << later << QDateTime();
        QTest::newRow("null time") << noTime << later << QDateTime();
        QTest::newRow("null date, once") << [&] {
            AlarmRecord r = record(0, eight);
            r.date = QDate();
            return r;
        }() << later << QDateTime();
        QTest::newRow("range 0") << record(1, eight, 0, td::Hours) << later << QDateTime();
        QTest::newRow("range -3") << record(1, eight, -3, td::Days) << later << QDateTime();
        QTest::newRow("unit 6") << record(1, eight, 1, 6) << later << QDateTime();
        QTest::newRow("unit -1") << record(1, eight, 1, -1) << later << QDateTime();
        QTest::newRow("mode 3") << record(3, eight) << later << QDateTime();
        QTest::newRow("mode -1") << record(-1, eight) << later << QDateTime();
        QTest::newRow("huge range")
            << record(1, eight, 2147483647, td::Years) << later << QDateTime();
    }
    void nextTime()
    {
        QFETCH(AlarmRecord, alarm);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, expected);
        const QDateTime next = td::nextAlarmTime(alarm, now);
        QCOMPARE(next.isValid(), expected.isValid());
        if (expected.isValid()) {
            QCOMPARE(next.toMSecsSinceEpoch(), expected.toMSecsSinceEpoch());
            if (alarm.repeatMode != td::RepeatOnce)
                QVERIFY(next > now);
        }
    }

    void usesProgramClock()
    {
        td::clock::setFixed(at(2024, 5, 6, 8, 0));
        QCOMPARE(td::nextAlarmTime(record(1, at(2024, 5, 6, 8, 0), 1, td::Hours)),
                 at(2024, 5, 6, 9, 0));
        td::clock::reset();
    }

    void matchesStepwise_data()
    {
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 6; ++seed)
            QTest::newRow(qPrintable(QString("seed %1").arg(seed))) << seed;
    }
    void matchesStepwise()
    {
        QFETCH(int, seed);
        QRandomGenerator rng(static_cast<quint32>(seed));
        const QDateTime origin = at(2016, 1, 1, 0, 0);
        for (int i = 0; i < 400; ++i) {
            AlarmRecord r;
            r.enabled = true;
            r.repeatMode = int(rng.bounded(3));
            r.repeatMeasure = int(rng.bounded(6));
            r.repeatRange =
                rng.bounded(4) == 0 ? 1 + int(rng.bounded(100)) : 1 + int(rng.bounded(3));
            for (bool& d : r.days)
                d = rng.bounded(3) == 0;
            // Bases often on month ends, 29 February and DST change days.
            static const QDate special[] = {QDate(2016, 2, 29), QDate(2019, 1, 31),
                                            QDate(2020, 3, 29), QDate(2021, 10, 31),
                                            QDate(2022, 8, 31), QDate(2024, 3, 31)};
            r.date = rng.bounded(3) == 0 ? special[rng.bounded(6)]
                                         : origin.date().addDays(rng.bounded(365 * 10));
            r.time = rng.bounded(3) == 0 ? QTime(2, 30) : QTime(rng.bounded(24), rng.bounded(60));
            // Keep the literal stepping affordable: short spans for small units.
            static const qint64 spanDays[] = {20, 400, 3650, 3650, 3650, 3650};
            const qint64 span = r.repeatMode == td::RepeatEvery ? spanDays[r.repeatMeasure] : 3650;
            const QDateTime base = td::alarmMoment(r);
            const QDateTime now =
                base.addMSecs(qint64(rng.bounded(double(span * 86400000))) - 86400000 * 2);
            const QDateTime fast = td::nextAlarmTime(r, now);
            const QDateTime slow = td::test::stepwiseNextAlarmTime(r, now);
            if (fast != slow || fast.isValid() != slow.isValid()) {
                qWarning() << "mode" << r.repeatMode << "range" << r.repeatRange << "unit"
                           << r.repeatMeasure << "base" << base << "now" << now << "days"
                           << QList<bool>(r.days.begin(), r.days.end());
            }
            QCOMPARE(fast.isValid(), slow.isValid());
            QCOMPARE(fast.toMSecsSinceEpoch(), slow.toMSecsSinceEpoch());
        }
    }

    void description_data()
    {
        QTest::addColumn<AlarmRecord>("alarm");
        QTest::addColumn<QString>("text");
        const QDateTime t = at(2024, 5, 6, 8, 0);
        AlarmRecord off = record(1, t, 2, td::Days);
        off.enabled = false;
        QTest::newRow("disabled") << off << "Disabled";
        QTest::newRow("once") << record(0, t) << "Play once";
        QTest::newRow("1 hour") << record(1, t, 1, td::Hours) << "Repeat every 1 Hour";
        QTest::newRow("15 minutes") << record(1, t, 15, td::Minutes) << "Repeat every 15 Minutes";
        QTest::newRow("1 year") << record(1, t, 1, td::Years) << "Repeat every 1 Year";
        QTest::newRow("100 months") << record(1, t, 100, td::Months) << "Repeat every 100 Months";
        QTest::newRow("one day") << record(2, t, 0, 0, "0100000") << "Repeat every Monday";
        QTest::newRow("two days") << record(2, t, 0, 0, "0101000")
                                  << "Repeat every Monday and Wednesday";
        QTest::newRow("three, Sunday first")
            << record(2, t, 0, 0, "1110000") << "Repeat every Sunday, Monday and Tuesday";
        QTest::newRow("all") << record(2, t, 0, 0, "1111111")
                             << "Repeat every Sunday, Monday, Tuesday, Wednesday, Thursday, "
                                "Friday and Saturday";
        QTest::newRow("none") << record(2, t, 0, 0, "0000000") << "Repeat every ";
        QTest::newRow("unknown mode") << record(7, t) << QString();
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
        QTest::newRow("hourly moves on")
            << record(1, at(2024, 5, 6, 8, 0), 1, td::Hours) << at(2024, 5, 6, 8, 0, 0, 100) << true
            << QDate(2024, 5, 6) << QTime(9, 0);
        QTest::newRow("no weekday is spent")
            << record(2, at(2024, 5, 6, 8, 0), 0, 0, "0000000") << at(2024, 5, 6, 8, 1) << false
            << QDate(2024, 5, 6) << QTime(8, 0);
        // The gap moves the moment to 03:30; the stored time stays 02:30.
        QTest::newRow("daily keeps time through gap")
            << record(1, at(2024, 3, 30, 2, 30), 1, td::Days) << at(2024, 3, 30, 2, 31) << true
            << QDate(2024, 3, 31) << QTime(2, 30);
    }
    void moveToOccurrence()
    {
        QFETCH(AlarmRecord, alarm);
        QFETCH(QDateTime, now);
        QFETCH(bool, enabled);
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        const QDateTime next = td::nextAlarmTime(alarm, now);
        td::moveToOccurrence(alarm, next, now);
        QCOMPARE(alarm.enabled, enabled);
        QCOMPARE(alarm.date, date);
        QCOMPARE(alarm.time, time);
        if (enabled)
            QCOMPARE(td::alarmMoment(alarm), next);
    }
};

TIDRA_TEST_MAIN(TestAlarmRecord)
#include "tst_alarmrecord.moc"
