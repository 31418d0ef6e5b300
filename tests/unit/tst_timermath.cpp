#include "app/Clock.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerMath.h"

#include <QRandomGenerator>

using namespace td;
using namespace td::timermath;

namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

// The whole-day rule stepped one calendar day at a time, as it reads.
qint64 steppedDays(const QDateTime& from, const QDateTime& to)
{
    QDateTime t = from;
    qint64 days = 0;
    while (t < to) {
        ++days;
        t = t.addDays(1);
        if (to < t)
            --days;
    }
    return days;
}

TimeParts parts(qint64 w, qint64 d, qint64 h, qint64 m, qint64 s, qint64 hs, bool captions = false)
{
    return td::test::timeParts(w, d, h, m, s, hs, captions);
}

} // namespace

namespace QTest {
template <> char* toString(const TimeParts& p)
{
    return qstrdup(QString("w%1 d%2 h%3 m%4 s%5 hs%6%7")
                       .arg(p.weeks)
                       .arg(p.days)
                       .arg(p.hours)
                       .arg(p.minutes)
                       .arg(p.seconds)
                       .arg(p.hundredths)
                       .arg(p.captions ? " captions" : "")
                       .toUtf8()
                       .constData());
}
} // namespace QTest

class TestTimerMath : public QObject
{
    Q_OBJECT

private slots:
    void countFor_data();
    void countFor();
    void tick_data();
    void tick();
    void format_data();
    void format();
    void wholeDaysMatchStepping_data();
    void wholeDaysMatchStepping();
};

void TestTimerMath::countFor_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("weeks");
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QDateTime>("end");

    const QDateTime june = at(2026, 6, 10, 10, 15, 42, 250);
    QTest::newRow("nothing") << june << 0 << 0 << 0 << 0 << june;
    QTest::newRow("90 minutes") << june << 0 << 0 << 0 << 90 << at(2026, 6, 10, 11, 45, 42, 250);
    QTest::newRow("25 hours") << june << 0 << 0 << 25 << 0 << at(2026, 6, 11, 11, 15, 42, 250);
    QTest::newRow("1 week 2 days") << june << 1 << 2 << 0 << 0 << at(2026, 6, 19, 10, 15, 42, 250);
    QTest::newRow("minutes past midnight")
        << at(2026, 6, 10, 23, 30) << 0 << 0 << 0 << 45 << at(2026, 6, 11, 0, 15);
    QTest::newRow("large spin values")
        << june << 0 << 0 << 1000 << 1000 << at(2026, 7, 22, 18, 55, 42, 250);
    // Whole days keep the time of day although the day of the change has 23 hours.
    QTest::newRow("2 days over spring change")
        << at(2026, 3, 28, 12, 0) << 0 << 2 << 0 << 0 << at(2026, 3, 30, 12, 0);
    QTest::newRow("48 hours over spring change")
        << at(2026, 3, 28, 12, 0) << 0 << 0 << 48 << 0 << at(2026, 3, 30, 12, 0);
    QTest::newRow("25 hours over autumn change")
        << at(2026, 10, 24, 10, 0) << 0 << 0 << 25 << 0 << at(2026, 10, 25, 11, 0);
    // The seconds go first: 90 minutes from 01:00 on the spring day cross the gap.
    QTest::newRow("90 minutes into the gap")
        << at(2026, 3, 29, 1, 0) << 0 << 0 << 0 << 90 << at(2026, 3, 29, 3, 30);
}

void TestTimerMath::countFor()
{
    QFETCH(QDateTime, now);
    QFETCH(int, weeks);
    QFETCH(int, days);
    QFETCH(int, hours);
    QFETCH(int, minutes);
    QFETCH(QDateTime, end);
    QCOMPARE(countForEnd(now, weeks, days, hours, minutes), end);
}

void TestTimerMath::tick_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<bool>("countingDown");
    QTest::addColumn<int>("action");
    QTest::addColumn<TimeParts>("counts");

    const int finish = int(TickAction::Finish);
    const int up = int(TickAction::CountUp);
    const int down = int(TickAction::CountDown);
    const QDateTime base = at(2026, 6, 10, 10, 0);

    QTest::newRow("23:59 left") << at(2026, 6, 11, 9, 59) << base << true << down
                                << parts(0, 0, 23, 59, 0, 0);
    QTest::newRow("24:00 left is one day")
        << at(2026, 6, 11, 10, 0) << base << true << down << parts(0, 1, 0, 0, 0, 0);
    QTest::newRow("end equals now is not past")
        << base << base << true << down << parts(0, 0, 0, 0, 0, 0);
    QTest::newRow("one millisecond past ends")
        << base << base.addMSecs(1) << true << finish << parts(0, 0, 0, 0, 0, 0);
    QTest::newRow("past end without countdown counts up")
        << base << base.addMSecs(61234) << false << up << parts(0, 0, 0, 1, 1, 23);
    QTest::newRow("future moment counts down even when not counting down")
        << base.addSecs(5) << base << false << down << parts(0, 0, 0, 0, 5, 0);
    QTest::newRow("hundredths run down with the seconds")
        << base << base.addMSecs(-9700) << true << down << parts(0, 0, 0, 0, 9, 70);
    // The time of day wraps at midnight; the hundredths must not turn round.
    QTest::newRow("hundredths across midnight")
        << at(2026, 6, 11, 0, 10) << at(2026, 6, 10, 23, 55, 0, 300) << true << down
        << parts(0, 0, 0, 14, 59, 70);
    QTest::newRow("stopwatch from 23:00 to 02:00")
        << at(2026, 6, 10, 23, 0) << at(2026, 6, 11, 2, 0) << false << up
        << parts(0, 0, 3, 0, 0, 0);
    QTest::newRow("stopwatch over two midnights")
        << at(2026, 6, 10, 23, 0) << at(2026, 6, 12, 22, 59, 59, 990) << false << up
        << parts(0, 1, 23, 59, 59, 99);
    QTest::newRow("99 weeks") << at(2028, 5, 3, 10, 0) << base << true << down
                              << parts(99, 0, 0, 0, 0, 0);
    QTest::newRow("99 weeks less a second")
        << at(2028, 5, 3, 9, 59, 59) << base << true << down << parts(98, 6, 23, 59, 59, 0);
    // The spring day has 23 hours: a whole calendar day but under 24 hours left.
    QTest::newRow("spring day, counting down") << at(2026, 3, 29, 12, 0) << at(2026, 3, 28, 12, 0)
                                               << true << down << parts(0, 0, 23, 0, 0, 0);
    QTest::newRow("autumn day, counting down") << at(2026, 10, 25, 12, 0) << at(2026, 10, 24, 12, 0)
                                               << true << down << parts(0, 1, 1, 0, 0, 0);
    QTest::newRow("autumn, 24 real hours are not a calendar day")
        << at(2026, 10, 25, 11, 0) << at(2026, 10, 24, 12, 0) << true << down
        << parts(0, 0, 0, 0, 0, 0);
    QTest::newRow("no moment counts up from nothing")
        << QDateTime() << base << true << finish << parts(0, 0, 0, 0, 0, 0);
    QTest::newRow("spring, counting up over two days")
        << at(2026, 3, 28, 12, 0) << at(2026, 3, 30, 12, 30) << false << up
        << parts(0, 2, 23, 30, 0, 0);
}

void TestTimerMath::tick()
{
    QFETCH(QDateTime, moment);
    QFETCH(QDateTime, now);
    QFETCH(bool, countingDown);
    QFETCH(int, action);
    QFETCH(TimeParts, counts);
    const TickAction a = tickAction(moment, now, countingDown);
    QCOMPARE(int(a), action);
    QCOMPARE(tickCounts(moment, now, a), counts);
    const Tick t = timermath::tick(moment, now, countingDown);
    QCOMPARE(int(t.action), action);
    QCOMPARE(t.counts, counts);
}

void TestTimerMath::format_data()
{
    QTest::addColumn<TimeParts>("counts");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("units"); // Custom flags: w d h m s c (hundredths)
    QTest::addColumn<bool>("captions");
    QTest::addColumn<TimeParts>("shown");

    const TimeParts long_ = parts(2, 3, 4, 5, 6, 7);
    const TimeParts hours = parts(0, 0, 23, 59, 1, 50);
    const TimeParts minutes = parts(0, 0, 0, 59, 1, 50);
    const TimeParts zero = parts(0, 0, 0, 0, 0, 0);
    const qint64 n = -1;

    QTest::newRow("short, weeks and days") << long_ << 0 << "" << false << parts(2, 3, n, n, n, n);
    QTest::newRow("short, days only")
        << parts(0, 1, 0, 0, 0, 0) << 0 << "" << true << parts(0, 1, n, n, n, n, true);
    QTest::newRow("short, hours") << hours << 0 << "" << false << parts(n, n, 23, 59, 1, n);
    QTest::newRow("short, minutes") << minutes << 0 << "" << false << parts(n, n, n, 59, 1, 50);
    QTest::newRow("short, zero") << zero << 0 << "" << false << parts(n, n, n, 0, 0, 0);
    QTest::newRow("full, no hundredths")
        << long_ << 1 << "" << true << parts(2, 3, 4, 5, 6, n, true);
    QTest::newRow("full, zeros shown") << minutes << 1 << "" << false << parts(0, 0, 0, 59, 1, n);
    QTest::newRow("unknown format is short")
        << hours << 7 << "" << false << parts(n, n, 23, 59, 1, n);
    QTest::newRow("custom, all") << long_ << 2 << "wdhmsc" << false
                                 << parts(2, 3, 4, 5, 6, 7, true);
    QTest::newRow("custom, nothing") << long_ << 2 << "" << false << parts(n, n, n, n, n, n, true);
    // 2 w 3 d 4 h 5 min = 24725 minutes; 6 s 7 hs = 607 hundredths.
    QTest::newRow("custom, minutes and hundredths")
        << long_ << 2 << "mc" << false << parts(n, n, n, 24725, n, 607, true);
    QTest::newRow("custom, days and seconds")
        << long_ << 2 << "ds" << false << parts(n, 17, n, n, 14706, n, true);
    QTest::newRow("custom, hours alone")
        << parts(0, 5, 5, 0, 0, 0) << 2 << "h" << false << parts(n, n, 125, n, n, n, true);
    // 99 weeks in hundredths overflows 32 bits.
    QTest::newRow("custom, hundredths of 99 weeks")
        << parts(99, 0, 0, 0, 0, 0) << 2 << "c" << false
        << parts(n, n, n, n, n, qint64(99) * 7 * 24 * 3600 * 100, true);
}

void TestTimerMath::format()
{
    QFETCH(TimeParts, counts);
    QFETCH(int, format);
    QFETCH(QString, units);
    QFETCH(bool, captions);
    QFETCH(TimeParts, shown);
    TimerRecord r;
    r.format = format;
    r.weekFormat = units.contains('w');
    r.dayFormat = units.contains('d');
    r.hourFormat = units.contains('h');
    r.minFormat = units.contains('m');
    r.secFormat = units.contains('s');
    r.msecFormat = units.contains('c');
    QCOMPARE(applyFormat(counts, r, captions), shown);
}

void TestTimerMath::wholeDaysMatchStepping_data()
{
    QTest::addColumn<QDateTime>("from");
    QTest::addColumn<QDateTime>("to");

    QTest::newRow("empty span") << at(2026, 6, 1, 10, 0) << at(2026, 6, 1, 10, 0);
    QTest::newRow("backwards") << at(2026, 6, 2, 10, 0) << at(2026, 6, 1, 10, 0);
    QTest::newRow("exactly one day") << at(2026, 6, 1, 10, 0) << at(2026, 6, 2, 10, 0);
    QTest::newRow("a millisecond short") << at(2026, 6, 1, 10, 0) << at(2026, 6, 2, 9, 59, 59, 999);
    QTest::newRow("start in the spring gap hour")
        << at(2026, 3, 28, 2, 30) << at(2026, 3, 30, 3, 0);
    QTest::newRow("start in the autumn double hour")
        << at(2026, 1, 24, 2, 30)
        << QDateTime(QDate(2026, 10, 25), QTime(0, 40), Qt::UTC).toLocalTime();
    QTest::newRow("two years of changes") << at(2026, 2, 1, 2, 15) << at(2028, 4, 1, 2, 20);

    // Random spans, with starts often in the hours where the clock changes.
    QRandomGenerator rng(20261206);
    const QDateTime origin = at(2025, 1, 1, 0, 0);
    for (int i = 0; i < 3000; ++i) {
        QDateTime from = origin.addDays(rng.bounded(4 * 365));
        const int hour = rng.bounded(3) == 0 ? 2 : rng.bounded(24);
        from = QDateTime(from.date(),
                         QTime(hour, rng.bounded(60), rng.bounded(60), rng.bounded(1000)));
        if (!from.isValid())
            continue;
        QDateTime to;
        switch (rng.bounded(3)) {
        case 0: // near a whole number of days
            to = from.addDays(rng.bounded(700)).addMSecs(rng.bounded(7200001) - 3600000);
            break;
        case 1:
            to = from.addMSecs(qint64(rng.bounded(3600 * 24 * 3)) * 1000);
            break;
        default:
            to = from.addSecs(qint64(rng.bounded(700 * 24)) * 3600 + rng.bounded(3600));
            break;
        }
        QTest::addRow("random %d", i) << from << to;
    }
}

void TestTimerMath::wholeDaysMatchStepping()
{
    QFETCH(QDateTime, from);
    QFETCH(QDateTime, to);
    QCOMPARE(wholeCalendarDays(from, to), steppedDays(from, to));
}

TIDRA_TEST_MAIN(TestTimerMath)
#include "tst_timermath.moc"
