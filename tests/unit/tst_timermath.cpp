#include "tests/common/TestSupport.h"
#include "timers/TimerMath.h"

#include <time.h>

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

// A display format: "short", "full", or the Custom units shown (w d h m s,
// c for hundredths).
TimerRecord record(const QString& units)
{
    TimerRecord r;
    r.format = units == "short" ? 0 : units == "full" ? 1 : 2;
    r.weekFormat = units.contains('w');
    r.dayFormat = units.contains('d');
    r.hourFormat = units.contains('h');
    r.minFormat = units.contains('m');
    r.secFormat = units.contains('s');
    r.msecFormat = units.contains('c');
    return r;
}

// Local time follows `zone` until the scope ends.
struct ZoneScope
{
    const QByteArray old = qgetenv("TZ");
    explicit ZoneScope(const QByteArray& zone) { setZone(zone); }
    ~ZoneScope() { setZone(old); }
    static void setZone(const QByteArray& zone)
    {
        qputenv("TZ", zone);
        tzset();
    }
};

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

    // What a timer shows across the clock changes of a year (Europe/Berlin:
    // 31 March and 27 October 2024), counting down and up, in every format.
    void clockChanges_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("format"); // short, full or the Custom units w d h m s c
        QTest::addColumn<TimeParts>("shown");

        const qint64 n = -1;
        // 24.5 hours left, but the next calendar day's noon is later than the end.
        QTest::newRow("autumn, down, full")
            << at(2024, 10, 27, 11, 30) << at(2024, 10, 26, 12, 0, 7) << "full"
            << parts(0, 0, 24, 29, 53, n);
        // 25 real hours are one calendar day; a second less, 24:59:59 hours.
        QTest::newRow("autumn, down, short, a second under a day")
            << at(2024, 10, 27, 10, 30) << at(2024, 10, 26, 10, 30, 1) << "short"
            << parts(n, n, 24, 59, 59, n);
        QTest::newRow("autumn, up, full") << at(2024, 10, 26, 11, 0) << at(2024, 10, 27, 10, 30, 5)
                                          << "full" << parts(0, 0, 24, 30, 5, n);
        // Without days, the hours are the hours that really pass: 49 over two days.
        QTest::newRow("autumn, up, custom hours")
            << at(2024, 10, 26, 11, 0) << at(2024, 10, 28, 11, 0) << "hms"
            << parts(n, n, 49, 0, 0, n, true);
        QTest::newRow("autumn, down over weeks, full")
            << at(2024, 12, 24, 11, 30) << at(2024, 10, 1, 12, 0) << "full"
            << parts(11, 6, 23, 30, 0, n);
        // The spring day has 23 hours; it is still one calendar day.
        QTest::newRow("spring, down, short, a day")
            << at(2024, 3, 31, 12, 0) << at(2024, 3, 30, 12, 0) << "short"
            << parts(0, 1, n, n, n, n);
        QTest::newRow("spring, down, full") << at(2024, 3, 31, 12, 30) << at(2024, 3, 29, 12, 0)
                                            << "full" << parts(0, 2, 0, 30, 0, n);
        QTest::newRow("spring, up, full") << at(2024, 3, 30, 1, 30) << at(2024, 3, 31, 3, 15)
                                          << "full" << parts(0, 1, 0, 45, 0, n);
        QTest::newRow("spring, up, custom minutes and hundredths")
            << at(2024, 3, 30, 12, 0) << at(2024, 3, 31, 12, 0, 0, 500) << "mc"
            << parts(n, n, n, 23 * 60, n, 50, true);
        QTest::newRow("spring, down, custom days and hours")
            << at(2024, 4, 7, 12, 0) << at(2024, 3, 30, 13, 0) << "dh"
            << parts(n, 7, 23, n, n, n, true);
    }
    void clockChanges()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QDateTime, now);
        QFETCH(QString, format);
        QFETCH(TimeParts, shown);
        const bool countingDown = now <= moment;
        const TimerRecord f = record(format);
        const Tick t = timermath::tick(moment, now, countingDown, dayUnits(f));
        QCOMPARE(int(t.action), int(countingDown ? TickAction::CountDown : TickAction::CountUp));
        QCOMPARE(applyFormat(t.counts, f, shown.captions), shown);
    }

    // Stepping through two days around each clock change: the shown parts,
    // taken as calendar days and then elapsed time, always lead to the end
    // (counting down) or to now (counting up), so nothing ever jumps.
    void partsNameTheMoment_data()
    {
        QTest::addColumn<QDate>("change");
        QTest::addColumn<QString>("format");
        for (const QDate& change : {QDate(2024, 3, 31), QDate(2024, 10, 27)}) {
            for (const char* format : {"full", "whms", "hms"}) {
                const QString name = change.toString("MMM") + ", " + QLatin1String(format);
                QTest::newRow(qPrintable(name)) << change << QString(format);
            }
        }
    }
    void partsNameTheMoment()
    {
        QFETCH(QDate, change);
        QFETCH(QString, format);
        const TimerRecord f = record(format);
        // Fixed moments before, in and after the changed hour, and far away.
        const QDateTime base(change, QTime(0, 30));
        for (const QDateTime& other :
             {base.addSecs(3600), base.addSecs(7200), base.addSecs(9000), at(2024, 1, 5, 0, 0)}) {
            for (qint64 step = -48 * 3600; step <= 48 * 3600; step += 7 * 60 + 13) {
                const QDateTime now = QDateTime(change, QTime(1, 0)).addSecs(step);
                const bool down = now <= other;
                const Tick t = timermath::tick(other, now, down, dayUnits(f));
                const TimeParts p = applyFormat(t.counts, f, true);
                const QDateTime& from = down ? now : other;
                const QDateTime& to = down ? other : now;
                auto count = [](qint64 v) { return v < 0 ? 0 : v; };
                const QDateTime reached =
                    from.addDays(7 * count(p.weeks) + count(p.days))
                        .addSecs((count(p.hours) * 60 + count(p.minutes)) * 60 + count(p.seconds));
                QVERIFY2(reached == to,
                         qPrintable(QString("now %1, other %2: %3")
                                        .arg(now.toString(Qt::ISODate), other.toString(Qt::ISODate),
                                             QTest::toString(p))));
            }
        }
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
        TimerRecord r = record(units);
        r.format = format;
        QCOMPARE(applyFormat(counts, r, shown.captions), shown);
    }

    void wholeCalendarDays_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<QDateTime>("to");
        QTest::addColumn<qint64>("days");
        const QByteArray berlin = "Europe/Berlin";
        // Samoa skipped 30 December 2011: a step onto it lands on the 31st.
        const QByteArray apia = "Pacific/Apia";
        QTest::newRow("a millisecond short")
            << berlin << at(2026, 6, 1, 10, 0) << at(2026, 6, 2, 9, 59, 59, 999) << qint64(0);
        QTest::newRow("start in the spring gap's hour")
            << berlin << at(2026, 3, 28, 2, 30) << at(2026, 3, 30, 2, 30) << qint64(2);
        QTest::newRow("autumn, 24 real hours are not a calendar day")
            << berlin << at(2026, 10, 24, 12, 0) << at(2026, 10, 25, 11, 0) << qint64(0);
        QTest::newRow("two years of changes")
            << berlin << at(2026, 2, 1, 2, 15) << at(2028, 4, 1, 2, 20) << qint64(790);
        QTest::newRow("over a skipped day")
            << apia << at(2011, 12, 28, 9, 29, 17, 345) << at(2012, 1, 3, 0, 0) << qint64(5);
        QTest::newRow("from the day before the skipped one")
            << apia << at(2011, 12, 29, 23, 0) << at(2011, 12, 31, 23, 0) << qint64(2);
        QTest::newRow("far ahead")
            << berlin << at(2024, 1, 1, 0, 0) << QDateTime(QDate(9999, 12, 31), QTime(0, 0))
            << qint64(2913173);
    }
    void wholeCalendarDays()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, from);
        QFETCH(QDateTime, to);
        const ZoneScope scope(zone);
        // Built again in the zone under test.
        const QDateTime f(from.date(), from.time()), t(to.date(), to.time());
        QTEST(timermath::wholeCalendarDays(f, t), "days");
        const Tick tick = timermath::tick(t, f, true);
        QCOMPARE(tick.counts.weeks * 7 + tick.counts.days, timermath::wholeCalendarDays(f, t));
    }
};

TIDRA_TEST_MAIN(TestTimerMath)
#include "tst_timermath.moc"
