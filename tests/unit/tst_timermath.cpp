#include "tests/common/TestSupport.h"
#include "timers/TimerMath.h"
#include "timers/TimerPlacement.h"

#include <time.h>

using namespace td;
using namespace td::timermath;

namespace {

// One row per line of `table`: "name | field | field ...".
void addRows(const char* table)
{
    QTest::addColumn<QStringList>("f");
    for (const QString& line : QString(table).split('\n', Qt::SkipEmptyParts)) {
        QStringList f = line.split('|');
        for (QString& s : f)
            s = s.trimmed();
        QTest::newRow(qPrintable(f.takeFirst())) << f;
    }
}

// "2026-06-10 10:15:42.250" in local time; seconds and milliseconds optional.
QDateTime at(const QString& s)
{
    return QDateTime::fromString(QString(s).replace(' ', 'T'), Qt::ISODateWithMs);
}

// "w d h m s hs" with "-" for a hidden unit and " c" when captions are on.
QString str(const TimeParts& p)
{
    QStringList out;
    for (qint64 v : {p.weeks, p.days, p.hours, p.minutes, p.seconds, p.hundredths})
        out << (v < 0 ? QString("-") : QString::number(v));
    return out.join(' ') + (p.captions ? " c" : "");
}

// A display format: "short", "full", or the Custom units shown (w d h m s, c for hundredths).
TimerRecord format(const QString& units)
{
    TimerRecord r;
    r.format = units == "short" ? FormatShort : units == "full" ? FormatFull : FormatCustom;
    r.weekFormat = units.contains('w');
    r.dayFormat = units.contains('d');
    r.hourFormat = units.contains('h');
    r.minFormat = units.contains('m');
    r.secFormat = units.contains('s');
    r.msecFormat = units.contains('c');
    return r;
}

QList<int> ints(const QString& s)
{
    QList<int> out;
    for (const QString& n : s.split(' ', Qt::SkipEmptyParts))
        out << n.toInt();
    return out;
}

} // namespace

class TestTimerMath : public QObject
{
    Q_OBJECT

private slots:
    // now | weeks days hours minutes | end. Whole days keep the time of day
    // although the day of the change has 23 hours.
    void countFor_data()
    {
        addRows(R"(
90 minutes       | 2026-06-10 10:15:42.250 | 0 0 0 90 | 2026-06-10 11:45:42.250
2 days, spring   | 2026-03-28 12:00        | 0 2 0 0  | 2026-03-30 12:00
48 hours, spring | 2026-03-28 12:00        | 0 0 48 0 | 2026-03-30 12:00
into the gap     | 2026-03-29 01:00        | 0 0 0 90 | 2026-03-29 03:30)");
    }
    void countFor()
    {
        QFETCH(QStringList, f);
        const QList<int> s = ints(f[1]);
        QCOMPARE(countForEnd(at(f[0]), s[0], s[1], s[2], s[3]), at(f[2]));
    }

    // moment | now | units | what one tick shows: D counts down, U counts up
    // (a stopwatch), F finishes (a countdown past its end); "raw" is the counts
    // before formatting. Berlin changes its clocks on 31 March and 27 October
    // 2024. In autumn 25 real hours are one calendar day (24.5 hours left, the
    // next day's noon is later than the end); without days the hours are those
    // that really pass. The spring day has 23 hours and is still a day. 99
    // weeks in hundredths overflow 32 bits; the hundredths must not turn round
    // at midnight.
    void tick_data()
    {
        addRows(R"(
end equals now is not past   | 2026-06-10 10:00 | 2026-06-10 10:00              | raw | D 0 0 0 0 0 0
a ms past ends               | 2026-06-10 10:00 | 2026-06-10 10:00:00.001       | raw | F
past, stopwatch              | 2026-06-10 10:00 | 2026-06-10 10:01:01.234       | raw | U 0 0 0 1 1 23
across midnight              | 2026-06-11 00:10 | 2026-06-10 23:55:00.300       | raw | D 0 0 0 14 59 70
no moment                    |                  | 2026-06-10 10:00              | raw | F
short, hours                 | 2026-06-10 23:59:01.500 | 2026-06-10 00:00       | short | D - - 23 59 1 -
short, minutes               | 2026-06-10 00:59:01.500 | 2026-06-10 00:00       | short | D - - - 59 1 50
full, no hundredths          | 2026-06-10 00:59:01.500 | 2026-06-10 00:00       | full  | D 0 0 0 59 1 -
hundredths of 99 weeks       | 2027-11-25 00:00 | 2026-01-01 00:00              | c     | D - - - - - 5987520000 c
autumn, down                 | 2024-10-27 11:30 | 2024-10-26 12:00:07           | full  | D 0 0 24 29 53 -
autumn, a second under a day | 2024-10-27 10:30 | 2024-10-26 10:30:01           | short | D - - 24 59 59 -
autumn, up                   | 2024-10-26 11:00 | 2024-10-27 10:30:05           | full  | U 0 0 24 30 5 -
autumn, up, hours            | 2024-10-26 11:00 | 2024-10-28 11:00              | hms   | U - - 49 0 0 - c
autumn, over weeks           | 2024-12-24 11:30 | 2024-10-01 12:00              | full  | D 11 6 23 30 0 -
spring, a day                | 2024-03-31 12:00 | 2024-03-30 12:00              | short | D 0 1 - - - -
spring, down                 | 2024-03-31 12:30 | 2024-03-29 12:00              | full  | D 0 2 0 30 0 -
spring, up                   | 2024-03-30 01:30 | 2024-03-31 03:15              | full  | U 0 1 0 45 0 -
spring, up, min, hundredths  | 2024-03-30 12:00 | 2024-03-31 12:00:00.500       | mc    | U - - - 1380 - 50 c
spring, days and hours       | 2024-04-07 12:00 | 2024-03-30 13:00              | dh    | D - 7 23 - - - c)");
    }
    void tick()
    {
        QFETCH(QStringList, f);
        const TimerRecord r = format(f[2]);
        const Tick t = timermath::tick(at(f[0]), at(f[1]), !f[3].startsWith('U'), dayUnits(r));
        const QString parts = f[2] == "raw" ? str(t.counts) : str(applyFormat(t.counts, r, false));
        const char* action[] = {"F", "U", "D"};
        QCOMPARE(action[int(t.action)] + (t.action == TickAction::Finish ? QString() : " " + parts),
                 f[3]);
    }

    // Stepping through two days around each clock change: the shown parts,
    // taken as calendar days and then elapsed time, always lead to the end
    // (counting down) or to now (counting up), so nothing ever jumps.
    void partsNameTheMoment_data()
    {
        addRows("spring, full|2024-03-31|full\nspring, whms|2024-03-31|whms\n"
                "spring, hms|2024-03-31|hms\nautumn, full|2024-10-27|full\n"
                "autumn, whms|2024-10-27|whms\nautumn, hms|2024-10-27|hms");
    }
    void partsNameTheMoment()
    {
        QFETCH(QStringList, f);
        const TimerRecord r = format(f[1]);
        // Fixed moments before, in and after the changed hour, and far away.
        const QDateTime base = at(f[0] + " 00:30");
        for (const QDateTime& other :
             {base.addSecs(3600), base.addSecs(7200), base.addSecs(9000), at("2024-01-05 00:00")}) {
            for (qint64 step = -48 * 3600; step <= 48 * 3600; step += 7 * 60 + 13) {
                const QDateTime now = base.addSecs(1800 + step);
                const bool down = now <= other;
                const TimeParts p =
                    applyFormat(timermath::tick(other, now, down, dayUnits(r)).counts, r, true);
                auto n = [](qint64 v) { return qMax<qint64>(v, 0); };
                const QDateTime reached =
                    (down ? now : other)
                        .addDays(7 * n(p.weeks) + n(p.days))
                        .addSecs((n(p.hours) * 60 + n(p.minutes)) * 60 + n(p.seconds));
                QVERIFY2(reached == (down ? other : now),
                         qPrintable(now.toString(Qt::ISODate) + " " + str(p)));
            }
        }
    }

    // zone | from | to | whole calendar days. Samoa skipped 30 December 2011:
    // a step onto it lands on the 31st.
    void wholeCalendarDays_data()
    {
        addRows(R"(
a ms short             | Europe/Berlin | 2026-06-01 10:00        | 2026-06-02 09:59:59.999 | 0
in the spring gap hour | Europe/Berlin | 2026-03-28 02:30        | 2026-03-30 02:30        | 2
autumn, 24 real hours  | Europe/Berlin | 2026-10-24 12:00        | 2026-10-25 11:00        | 0
two years              | Europe/Berlin | 2026-02-01 02:15        | 2028-04-01 02:20        | 790
over a skipped day     | Pacific/Apia  | 2011-12-28 09:29:17.345 | 2012-01-03 00:00        | 5
from the day before it | Pacific/Apia  | 2011-12-29 23:00        | 2011-12-31 23:00        | 2
far ahead              | Europe/Berlin | 2024-01-01 00:00        | 9999-12-31 00:00        | 2913173)");
    }
    void wholeCalendarDays()
    {
        QFETCH(QStringList, f);
        const QByteArray old = qgetenv("TZ");
        qputenv("TZ", f[0].toLatin1());
        tzset();
        const QDateTime from = at(f[1]), to = at(f[2]);
        const qint64 days = timermath::wholeCalendarDays(from, to);
        const TimeParts counts = timermath::tick(to, from, true).counts;
        qputenv("TZ", old);
        tzset();
        QCOMPARE(QString::number(days), f[3]);
        QCOMPARE(counts.weeks * 7 + counts.days, days);
    }

    // area | window size | windows taken | preferred | place, as x y [w h] numbers.
    void freePlace_data()
    {
        addRows(R"(
taken: nearest beside it, below on a tie | 0 0 800 600 | 200 100 | 300 250 200 100 | 300 250 | 300 354
below and above taken too: right on tie  | 0 0 800 600 | 200 100 | 300 250 200 100 300 354 200 100 300 146 200 100 | 300 250 | 504 250
the one gap between two columns          | 0 0 800 600 | 200 100 | 0 0 296 600 504 0 296 600 | 0 0 | 300 0
inside an area with a panel              | 0 30 800 570 | 200 100 |                 | -50 0 | 0 30
no room: cascade past the steps taken    | 0 0 400 300 | 300 200 | 50 50 300 200 74 74 300 200 | 50 50 | 98 98
no room: cascade wraps round             | 0 0 400 300 | 300 200 | 100 100 300 200 | 100 100 | 23 23
bigger than the area                     | 0 0 400 300 | 500 400 |                 | 80 80 | 0 0)");
    }
    void freePlace()
    {
        QFETCH(QStringList, f);
        const QList<int> a = ints(f[0]), s = ints(f[1]), t = ints(f[2]), p = ints(f[3]);
        QList<QRect> taken;
        for (int i = 0; i + 3 < t.size(); i += 4)
            taken << QRect(t[i], t[i + 1], t[i + 2], t[i + 3]);
        const QPoint place = td::freePlace(QRect(a[0], a[1], a[2], a[3]), QSize(s[0], s[1]), taken,
                                           QPoint(p[0], p[1]));
        QCOMPARE(QString("%1 %2").arg(place.x()).arg(place.y()), f[4]);
    }
};

TIDRA_TEST_MAIN(TestTimerMath)
#include "tst_timermath.moc"
