// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/PopupRules.h"
#include "app/ClockWatch.h"
#include "common/Clock.h"
#include "common/WakePlan.h"
#include "common/WallTimer.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerMath.h"
#include "timers/TimerPlacement.h"

#include <memory>

using namespace td;
using namespace td::timermath;
using namespace td::wake;

Q_DECLARE_METATYPE(td::TimerRecord)
Q_DECLARE_METATYPE(td::TimeParts)
Q_DECLARE_METATYPE(td::timermath::TickAction)
Q_DECLARE_METATYPE(td::wake::Reason)

namespace {

using td::test::at;

enum Shown { Weeks = 1, Days = 2, Hours = 4, Mins = 8, Secs = 16, Hundredths = 32 };

/// A display format named "custom": the Custom units `shown`, or another `format`.
TimerRecord custom(int shown, int format = FormatCustom)
{
    TimerRecord r;
    r.name = "custom";
    r.format = format;
    r.weekFormat = shown & Weeks;
    r.dayFormat = shown & Days;
    r.hourFormat = shown & Hours;
    r.minFormat = shown & Mins;
    r.secFormat = shown & Secs;
    r.msecFormat = shown & Hundredths;
    return r;
}

// A moment with odd milliseconds, so phases and grids show.
constexpr qint64 T = 1'781'000'000'437;

/// When a running timer window, shown or not, next ticks at T.
qint64 timerAt(bool shown, bool countingDown, qint64 moment, Unit unit = Unit::Seconds)
{
    return timerWake({true, shown, countingDown, moment != 0, moment, unit}, T);
}

qint64 fromNow(qint64 offset)
{
    return offset == Never ? Never : T + offset;
}

/// The first `n` places of 300 x 200 pop-ups stacked on a 1000 x 600 desktop: columns from
/// the right, each from the bottom.
QList<QRect> stacked(int n)
{
    QList<QRect> all;
    for (int i = 0; i < n; ++i)
        all << QRect(700 - 300 * (i / 3), 400 - 200 * (i % 3), 300, 200);
    return all;
}

} // namespace

class TestTimers : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { clock::reset(); }

    // Berlin changes its clocks on 31 March and 27 October 2024. In autumn 25 real hours are
    // one calendar day (24.5 hours left, the next day's noon is later than the end); without
    // days the hours are those that really pass. The spring day has 23 hours and is still a
    // day. 99 weeks in hundredths overflow 32 bits.
    void tick_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("countingDown");
        QTest::addColumn<TimerRecord>("format"); // null: the counts before formatting
        QTest::addColumn<TickAction>("action");
        QTest::addColumn<TimeParts>("parts");
        const auto row = [](const char* name, const char* moment, const char* now, bool down,
                            const TimerRecord& format, TickAction action, const TimeParts& parts) {
            QTest::newRow(name) << at(moment) << at(now) << down << format << action << parts;
        };
        const TimerRecord raw, shortFormat = custom(0, FormatShort), full = custom(0, FormatFull);
        const auto Down = TickAction::CountDown, Up = TickAction::CountUp;
        const TimeParts none;
        row("end equals now is not past", "2026-06-10 10:00", "2026-06-10 10:00", true, raw, Down,
            TimeParts{0, 0, 0, 0, 0, 0});
        row("a ms past ends", "2026-06-10 10:00", "2026-06-10 10:00:00.001", true, raw,
            TickAction::Finish, none);
        row("past, stopwatch", "2026-06-10 10:00", "2026-06-10 10:01:01.234", false, raw, Up,
            TimeParts{0, 0, 0, 1, 1, 23});
        row("hundredths of 99 weeks", "2027-11-25 00:00", "2026-01-01 00:00", true,
            custom(Hundredths), Down, TimeParts{-1, -1, -1, -1, -1, 5987520000, true});
        row("autumn, down", "2024-10-27 11:30", "2024-10-26 12:00:07", true, full, Down,
            TimeParts{0, 0, 24, 29, 53, -1});
        row("autumn, up, hours", "2024-10-26 11:00", "2024-10-28 11:00", false,
            custom(Hours | Mins | Secs), Up, TimeParts{-1, -1, 49, 0, 0, -1, true});
        row("spring, a day", "2024-03-31 12:00", "2024-03-30 12:00", true, shortFormat, Down,
            TimeParts{0, 1, -1, -1, -1, -1});
        row("spring, up, min, hundredths", "2024-03-30 12:00", "2024-03-31 12:00:00.500", false,
            custom(Mins | Hundredths), Up, TimeParts{-1, -1, -1, 1380, -1, 50, true});
        row("spring, days and hours", "2024-04-07 12:00", "2024-03-30 13:00", true,
            custom(Days | Hours), Down, TimeParts{-1, 7, 23, -1, -1, -1, true});
    }
    void tick()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QDateTime, now);
        QFETCH(bool, countingDown);
        QFETCH(TimerRecord, format);
        const Tick t = timermath::tick(moment, now, countingDown, dayUnits(format));
        QTEST(t.action, "action");
        if (t.action != TickAction::Finish)
            QTEST(format.name.isNull() ? t.counts : applyFormat(t.counts, format, false), "parts");
    }

    // Timer windows leave taken places free: beside the preferred place first, below on a tie;
    // a cascade when there is no room. Pop-ups stack in columns from the corner, each from the
    // bottom, and cascade when the columns run out.
    void placement_data()
    {
        QTest::addColumn<bool>("popup");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRect>("start"); // the preferred place and the size
        QTest::addColumn<QList<QRect>>("taken");
        QTest::addColumn<QPoint>("place");
        const QRect there(300, 250, 200, 100), large(50, 50, 300, 200);
        QTest::newRow("window: nearest beside it, below on a tie")
            << false << QRect(0, 0, 800, 600) << there << QList{there} << QPoint(300, 354);
        QTest::newRow("window: no room, cascade past the steps taken")
            << false << QRect(0, 0, 400, 300) << large << QList{large, large.translated(24, 24)}
            << QPoint(98, 98);
        const QRect desktop(0, 0, 1000, 600), corner(700, 400, 300, 200);
        QTest::newRow("pop-up: columns run out, cascade")
            << true << desktop << corner << stacked(9) << QPoint(668, 368);
        QTest::newRow("pop-up: panel at the top")
            << true << QRect(0, 30, 1000, 600) << corner.translated(0, 30)
            << QList{corner.translated(0, 30), corner.translated(0, -170),
                     corner.translated(0, -370)}
            << QPoint(400, 430);
    }
    void placement()
    {
        QFETCH(bool, popup);
        QFETCH(QRect, area);
        QFETCH(QRect, start);
        QFETCH(QList<QRect>, taken);
        QTEST(popup ? td::stackPopup(area, start.size(), start.topLeft(), taken)
                    : td::freePlace(area, start.size(), taken, start.topLeft()),
              "place");
    }

    void plan_data()
    {
        QTest::addColumn<qint64>("planned");
        QTest::addColumn<qint64>("expected");
        const auto row = [](const char* name, qint64 planned, qint64 expected) {
            QTest::newRow(name) << planned << expected;
        };
        // Whole days of a count keep the time of day although the day of the change has 23 hours.
        const auto countFor = [](const char* now, int w, int d, int h, int m) {
            return spanEnd(at(now), countForSecs(w, d, h, m)).toMSecsSinceEpoch();
        };
        const auto ms = [](const char* moment) { return at(moment).toMSecsSinceEpoch(); };
        row("count a week, spring", countFor("2026-03-28 12:00", 1, 0, 0, 0),
            ms("2026-04-04 12:00"));
        row("count into the gap", countFor("2026-03-29 01:00", 0, 0, 0, 90),
            ms("2026-03-29 03:30"));
        const qint64 end = T + 5'000'250;
        row("hidden countdown: its end", timerAt(false, true, end, Unit::Hundredths), end + 1);
        row("countdown past its end: at once", timerAt(true, true, T - 5), T);
        // 437 ms now, moment at 687 ms: the count turns at 688 ms.
        row("seconds, counting down", timerAt(true, true, end), T + 251);
        row("started this very ms: the first second", timerAt(true, false, T), T + 1);
        // The last wait is short enough that the kernel's slack on it stays near 1 ms.
        row("past: armed at once", armDelay(T - 40, T), 0);
        row("within the last wait", armDelay(T + 700, T), 700);
        row("a few seconds: up to the last wait", armDelay(T + 5000, T), 4000);
        row("far: the safety wake", armDelay(T + 3'600'000, T), SafetyMsecs);
    }
    void plan()
    {
        QFETCH(qint64, planned);
        QFETCH(qint64, expected);
        QCOMPARE(planned, expected);
    }

    // The main tick's next wake: the earliest deadline, ties to the kind asked first.
    void mainWake_data()
    {
        QTest::addColumn<qint64>("alarm");
        QTest::addColumn<qint64>("reminder");
        QTest::addColumn<bool>("secondsShown");
        QTest::addColumn<qint64>("workWindow");
        QTest::addColumn<qint64>("midnight");
        QTest::addColumn<qint64>("wake");
        QTest::addColumn<Reason>("reason");
        const qint64 N = Never;
        const auto row = [](const char* tag, qint64 alarm, qint64 reminder, bool seconds,
                            qint64 work, qint64 midnight, qint64 wake, Reason reason) {
            QTest::newRow(tag) << alarm << reminder << seconds << work << midnight << wake
                               << reason;
        };
        row("alarm: one ms past its moment", 90000, N, false, N, N, 90001, Reason::Alarm);
        row("reminder before the alarm", 600000, 300000, false, N, N, 300001, Reason::Reminder);
        row("alarm and reminder together", 300000, 300000, false, N, N, 300001, Reason::Alarm);
        // T is 437 ms into its second.
        row("shown seconds: the next whole one", 90000, N, true, N, N, 563, Reason::Second);
        row("work window and midnight together", N, N, false, 5000, 5000, 5000, Reason::WorkWindow);
        row("midnight", 9000000, N, false, N, 7200000, 7200000, Reason::Midnight);
    }
    void mainWake()
    {
        QFETCH(qint64, alarm);
        QFETCH(qint64, reminder);
        QFETCH(bool, secondsShown);
        QFETCH(qint64, workWindow);
        QFETCH(qint64, midnight);
        const Wake w = td::wake::mainWake({fromNow(alarm), fromNow(reminder), secondsShown,
                                           fromNow(workWindow), fromNow(midnight)},
                                          T);
        QTEST(w.at == Never ? Never : w.at - T, "wake");
        QTEST(w.reason, "reason");
    }

    // Due timers fire in one pass in the order of their moments, one due this very ms too; the
    // rest wait. A change of the clock wakes everyone, due or not; the resume from sleep is one,
    // the suspend is not.
    void wallTimersAndClockChanges()
    {
        clock::setFixed(QDateTime::fromMSecsSinceEpoch(T));
        QStringList fired;
        const QList<std::pair<QString, qint64>> plan{
            {"late", 700}, {"far", 3'600'000}, {"early", 100}};
        std::vector<std::unique_ptr<WallTimer>> timers;
        for (const auto& [name, in] : plan) {
            timers.push_back(std::make_unique<WallTimer>());
            connect(timers.back().get(), &WallTimer::timeout, this,
                    [&fired, n = name] { fired << n; });
            timers.back()->startAt(T + in);
        }
        QCOMPARE(wallclock::armedDelay(), qint64(100));
        clock::setFixed(QDateTime::fromMSecsSinceEpoch(T + 700));
        wallclock::runDue();
        QCOMPARE(fired, QStringList({"early", "late"}));
        QCOMPARE(wallclock::armedDelay(), SafetyMsecs);
        fired.clear();
        ClockWatch watch;
        QSignalSpy spy(&watch, &ClockWatch::changed);
        QMetaObject::invokeMethod(&watch, "prepareForSleep", Q_ARG(bool, true));
        QVERIFY(spy.isEmpty());
        QMetaObject::invokeMethod(&watch, "prepareForSleep", Q_ARG(bool, false));
        QCOMPARE(spy.count(), 1);
        wallclock::clockChanged();
        QCOMPARE(fired, QStringList({"far"}));
        QCOMPARE(wallclock::armedDelay(), qint64(-1));
    }
};

TIDRA_TEST_MAIN(TestTimers)
#include "tst_timers.moc"
