#include "tests/common/TestSupport.h"
#include "timers/TimerMath.h"

using namespace td;
using namespace td::timermath;

namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
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
    void countFor_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QList<int>>("span"); // weeks, days, hours, minutes
        QTest::addColumn<QDateTime>("end");

        const QDateTime june = at(2026, 6, 10, 10, 15, 42, 250);
        QTest::newRow("90 minutes")
            << june << QList<int>{0, 0, 0, 90} << at(2026, 6, 10, 11, 45, 42, 250);
        // Whole days keep the time of day although the day of the change has 23 hours.
        QTest::newRow("2 days over spring change")
            << at(2026, 3, 28, 12, 0) << QList<int>{0, 2, 0, 0} << at(2026, 3, 30, 12, 0);
        QTest::newRow("48 hours over spring change")
            << at(2026, 3, 28, 12, 0) << QList<int>{0, 0, 48, 0} << at(2026, 3, 30, 12, 0);
        QTest::newRow("90 minutes into the gap")
            << at(2026, 3, 29, 1, 0) << QList<int>{0, 0, 0, 90} << at(2026, 3, 29, 3, 30);
    }
    void countFor()
    {
        QFETCH(QDateTime, now);
        QFETCH(QList<int>, span);
        QTEST(countForEnd(now, span[0], span[1], span[2], span[3]), "end");
    }

    void tick_data()
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

        QTest::newRow("end equals now is not past")
            << base << base << true << down << parts(0, 0, 0, 0, 0, 0);
        QTest::newRow("one millisecond past ends")
            << base << base.addMSecs(1) << true << finish << parts(0, 0, 0, 0, 0, 0);
        QTest::newRow("past end without countdown counts up")
            << base << base.addMSecs(61234) << false << up << parts(0, 0, 0, 1, 1, 23);
        // The time of day wraps at midnight; the hundredths must not turn round.
        QTest::newRow("hundredths across midnight")
            << at(2026, 6, 11, 0, 10) << at(2026, 6, 10, 23, 55, 0, 300) << true << down
            << parts(0, 0, 0, 14, 59, 70);
        // The spring day has 23 hours: a whole calendar day but under 24 hours left.
        QTest::newRow("spring day, counting down")
            << at(2026, 3, 29, 12, 0) << at(2026, 3, 28, 12, 0) << true << down
            << parts(0, 0, 23, 0, 0, 0);
        QTest::newRow("autumn day, counting down")
            << at(2026, 10, 25, 12, 0) << at(2026, 10, 24, 12, 0) << true << down
            << parts(0, 1, 1, 0, 0, 0);
        QTest::newRow("no moment")
            << QDateTime() << base << true << finish << parts(0, 0, 0, 0, 0, 0);
    }
    void tick()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QDateTime, now);
        QFETCH(bool, countingDown);
        const Tick t = timermath::tick(moment, now, countingDown);
        QTEST(int(t.action), "action");
        QTEST(t.counts, "counts");
    }

    void format_data()
    {
        QTest::addColumn<TimeParts>("counts");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("units"); // Custom flags: w d h m s c (hundredths)
        QTest::addColumn<TimeParts>("shown");

        const TimeParts long_ = parts(2, 3, 4, 5, 6, 7);
        const qint64 n = -1;
        QTest::newRow("short, hours")
            << parts(0, 0, 23, 59, 1, 50) << 0 << "" << parts(n, n, 23, 59, 1, n);
        QTest::newRow("short, minutes")
            << parts(0, 0, 0, 59, 1, 50) << 0 << "" << parts(n, n, n, 59, 1, 50);
        QTest::newRow("full, zeros shown, no hundredths")
            << parts(0, 0, 0, 59, 1, 50) << 1 << "" << parts(0, 0, 0, 59, 1, n);
        // 2 w 3 d 4 h 5 min = 24725 minutes; 6 s 7 hs = 607 hundredths.
        QTest::newRow("custom, minutes and hundredths")
            << long_ << 2 << "mc" << parts(n, n, n, 24725, n, 607, true);
        // 99 weeks in hundredths overflows 32 bits.
        QTest::newRow("custom, hundredths of 99 weeks")
            << parts(99, 0, 0, 0, 0, 0) << 2 << "c"
            << parts(n, n, n, n, n, qint64(99) * 7 * 24 * 3600 * 100, true);
    }
    void format()
    {
        QFETCH(TimeParts, counts);
        QFETCH(int, format);
        QFETCH(QString, units);
        QFETCH(TimeParts, shown);
        TimerRecord r;
        r.format = format;
        r.weekFormat = units.contains('w');
        r.dayFormat = units.contains('d');
        r.hourFormat = units.contains('h');
        r.minFormat = units.contains('m');
        r.secFormat = units.contains('s');
        r.msecFormat = units.contains('c');
        QCOMPARE(applyFormat(counts, r, shown.captions), shown);
    }

    void wholeCalendarDays_data()
    {
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<QDateTime>("to");
        QTest::addColumn<qint64>("days");
        // Days are stepped one at a time: a step into the spring gap lands an hour
        // later, and the later steps keep that hour.
        QTest::newRow("a millisecond short")
            << at(2026, 6, 1, 10, 0) << at(2026, 6, 2, 9, 59, 59, 999) << qint64(0);
        QTest::newRow("start in the spring gap hour")
            << at(2026, 3, 28, 2, 30) << at(2026, 3, 30, 3, 0) << qint64(1);
        QTest::newRow("autumn, 24 real hours are not a calendar day")
            << at(2026, 10, 24, 12, 0) << at(2026, 10, 25, 11, 0) << qint64(0);
        QTest::newRow("two years of changes")
            << at(2026, 2, 1, 2, 15) << at(2028, 4, 1, 2, 20) << qint64(789);
    }
    void wholeCalendarDays()
    {
        QFETCH(QDateTime, from);
        QFETCH(QDateTime, to);
        QTEST(timermath::wholeCalendarDays(from, to), "days");
    }
};

TIDRA_TEST_MAIN(TestTimerMath)
#include "tst_timermath.moc"
