#include "app/Clock.h"
#include "app/ClockWatch.h"
#include "app/WakePlan.h"
#include "app/WallTimer.h"
#include "tests/common/TestSupport.h"

#include <memory>

Q_DECLARE_METATYPE(td::wake::TimerState)

using namespace td;
using namespace td::wake;

namespace {

// A moment with odd milliseconds, so phases and grids show.
constexpr qint64 T = 1'781'000'000'437;

TimerState timer(bool visible, bool down, qint64 moment, Unit unit, bool running = true)
{
    TimerState t;
    t.running = running;
    t.visible = visible;
    t.countingDown = down;
    t.momentValid = true;
    t.moment = moment;
    t.unit = unit;
    return t;
}

} // namespace

class TestWakePlan : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { clock::reset(); }

    void nextStep_data()
    {
        QTest::addColumn<qint64>("now");
        QTest::addColumn<qint64>("phase");
        QTest::addColumn<qint64>("period");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("inside a step") << qint64(2500) << qint64(0) << qint64(1000) << qint64(3000);
        QTest::newRow("on a step: the next")
            << qint64(3000) << qint64(0) << qint64(1000) << qint64(4000);
        QTest::newRow("phase ahead of now")
            << qint64(2500) << qint64(9438) << qint64(1000) << qint64(3438);
        QTest::newRow("negative distance")
            << qint64(-2500) << qint64(1) << qint64(1000) << qint64(-1999);
        QTest::newRow("a step one ms ahead") << T << T + 1 << qint64(60000) << T + 1;
    }
    void nextStep()
    {
        QFETCH(qint64, now);
        QFETCH(qint64, phase);
        QFETCH(qint64, period);
        QFETCH(qint64, expected);
        QCOMPARE(wake::nextStep(now, phase, period), expected);
    }

    void timerWake_data()
    {
        QTest::addColumn<TimerState>("state");
        QTest::addColumn<qint64>("expected");
        const qint64 end = T + 5'000'250;
        QTest::newRow("paused") << timer(true, true, end, Unit::Seconds, false) << Never;
        QTest::newRow("hidden stopwatch") << timer(false, false, T - 9000, Unit::Seconds) << Never;
        QTest::newRow("hidden countdown: its end")
            << timer(false, true, end, Unit::Hundredths) << end + 1;
        QTest::newRow("countdown past its end: at once")
            << timer(true, true, T - 5, Unit::Seconds) << T;
        // 437 ms now, moment at 687 ms: the count turns at 688 ms.
        QTest::newRow("seconds, counting down") << timer(true, true, end, Unit::Seconds) << T + 251;
        QTest::newRow("seconds, counting up")
            << timer(true, false, T - 3000 - 100, Unit::Seconds) << T + 1000 - 100;
        QTest::newRow("minutes") << timer(true, false, T - 10, Unit::Minutes) << T + 60000 - 10;
        // Frames of 110 ms from the epoch: T is 97 ms into one.
        QTest::newRow("hundredths: next frame")
            << timer(true, true, end, Unit::Hundredths) << T + 13;
        QTest::newRow("end before the next frame")
            << timer(true, true, T + 1, Unit::Hundredths) << T + 2;
        TimerState noMoment = timer(true, true, 0, Unit::Seconds);
        noMoment.momentValid = false;
        QTest::newRow("no moment: whole seconds, no end") << noMoment << T - 437 + 1000;
    }
    void timerWake()
    {
        QFETCH(TimerState, state);
        QFETCH(qint64, expected);
        QCOMPARE(wake::timerWake(state, T), expected);
    }

    void armDelay_data()
    {
        QTest::addColumn<qint64>("at");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("nothing pending: no timer") << Never << qint64(-1);
        QTest::newRow("past: at once") << T - 40 << qint64(0);
        QTest::newRow("soon") << T + 1234 << qint64(1234);
        QTest::newRow("far: the safety wake") << T + 3'600'000 << SafetyMsecs;
    }
    void armDelay()
    {
        QFETCH(qint64, at);
        QFETCH(qint64, expected);
        QCOMPARE(wake::armDelay(at, T), expected);
    }

    // Due timers fire in one pass in the order of their moments; the rest wait,
    // and the one framework timer is armed only while any is pending.
    void wallTimersShareOneTimer()
    {
        clock::setFixed(QDateTime::fromMSecsSinceEpoch(T));
        QCOMPARE(wallclock::armedDelay(), qint64(-1));
        QStringList fired;
        std::unique_ptr<WallTimer> late(new WallTimer), early(new WallTimer), same(new WallTimer),
            far(new WallTimer), gone(new WallTimer);
        const auto record = [&](WallTimer* t, const QString& name) {
            connect(t, &WallTimer::timeout, this, [&fired, name] { fired << name; });
        };
        record(late.get(), "late");
        record(early.get(), "early");
        record(same.get(), "same");
        record(far.get(), "far");
        // The first to fire deletes one that was due with it, and re-arms
        // itself for now, which waits for the next pass.
        connect(early.get(), &WallTimer::timeout, this, [&] {
            gone.reset();
            early->startAt(T + 500);
        });
        far->startAt(T + 3'600'000);
        QCOMPARE(wallclock::armedDelay(), SafetyMsecs);
        late->startAt(T + 700);
        early->startAt(T + 100);
        same->startAt(T + 700);
        gone->startAt(T + 300);
        QCOMPARE(wallclock::armedDelay(), qint64(100));

        clock::setFixed(QDateTime::fromMSecsSinceEpoch(T + 700));
        wallclock::runDue();
        QCOMPARE(fired, QStringList({"early", "late", "same"}));
        QVERIFY(early->isActive() && !late->isActive() && far->isActive());
        QCOMPARE(wallclock::armedDelay(), qint64(0));

        // A change of the clock wakes everyone, due or not.
        fired.clear();
        early->stop();
        wallclock::clockChanged();
        QCOMPARE(fired, QStringList({"far"}));
        QCOMPARE(wallclock::armedDelay(), qint64(-1));
    }

    void clockWatch()
    {
        ClockWatch watch;
#ifdef Q_OS_LINUX
        QVERIFY(watch.watchesClockSetting());
#endif
        QSignalSpy spy(&watch, &ClockWatch::changed);
        QMetaObject::invokeMethod(&watch, "prepareForSleep", Q_ARG(bool, true));
        QCOMPARE(spy.count(), 0);
        QMetaObject::invokeMethod(&watch, "prepareForSleep", Q_ARG(bool, false));
        QCOMPARE(spy.count(), 1);
    }
};

TIDRA_TEST_MAIN(TestWakePlan)
#include "tst_wakeplan.moc"
