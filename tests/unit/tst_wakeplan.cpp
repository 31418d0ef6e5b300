// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ClockWatch.h"
#include "common/Clock.h"
#include "common/WakePlan.h"
#include "common/WallTimer.h"
#include "tests/common/TestSupport.h"

#include <memory>

using namespace td;
using namespace td::wake;

namespace {

// A moment with odd milliseconds, so phases and grids show.
constexpr qint64 T = 1'781'000'000'437;

// When a timer window next ticks at T. Flags: v shown, d counting down,
// p paused, ? no moment.
qint64 timerAt(const char* flags, qint64 moment, Unit unit = Unit::Seconds)
{
    const QByteArray f(flags);
    return timerWake(
        {!f.contains('p'), f.contains('v'), f.contains('d'), !f.contains('?'), moment, unit}, T);
}

} // namespace

class TestWakePlan : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { clock::reset(); }

    void plan_data()
    {
        QTest::addColumn<qint64>("planned");
        QTest::addColumn<qint64>("expected");
        const auto row = [](const char* name, qint64 planned, qint64 expected) {
            QTest::newRow(name) << planned << expected;
        };
        row("step inside one", nextStep(2500, 0, 1000), 3000);
        row("step on one: the next", nextStep(3000, 0, 1000), 4000);
        row("step, phase ahead of now", nextStep(2500, 9438, 1000), 3438);
        row("step, negative distance", nextStep(-2500, 1, 1000), -1999);
        row("step one ms ahead", nextStep(T, T + 1, 60000), T + 1);
        const qint64 end = T + 5'000'250;
        row("paused", timerAt("vdp", end), Never);
        row("hidden stopwatch", timerAt("", T - 9000), Never);
        row("hidden countdown: its end", timerAt("d", end, Unit::Hundredths), end + 1);
        row("countdown past its end: at once", timerAt("vd", T - 5), T);
        // 437 ms now, moment at 687 ms: the count turns at 688 ms.
        row("seconds, counting down", timerAt("vd", end), T + 251);
        row("seconds, counting up", timerAt("v", T - 3100), T + 900);
        row("minutes", timerAt("v", T - 10, Unit::Minutes), T + 60000 - 10);
        row("started this very ms: the first second", timerAt("v", T), T + 1);
        // Frames of 110 ms from the epoch: T is 97 ms into one.
        row("hundredths: next frame", timerAt("vd", end, Unit::Hundredths), T + 13);
        row("end before the next frame", timerAt("vd", T + 1, Unit::Hundredths), T + 2);
        row("no moment: whole seconds, no end", timerAt("vd?", 0), T - 437 + 1000);
        row("nothing pending: no timer", armDelay(Never, T), -1);
        row("past: armed at once", armDelay(T - 40, T), 0);
        row("armed soon", armDelay(T + 1234, T), 1234);
        row("far: the safety wake", armDelay(T + 3'600'000, T), SafetyMsecs);
    }
    void plan()
    {
        QFETCH(qint64, planned);
        QFETCH(qint64, expected);
        QCOMPARE(planned, expected);
    }

    // Due timers fire in one pass in the order of their moments; the rest wait,
    // and the one framework timer is armed only while any is pending. The
    // first to fire deletes one due with it and re-arms itself for the next pass.
    void wallTimersShareOneTimer()
    {
        clock::setFixed(QDateTime::fromMSecsSinceEpoch(T));
        QCOMPARE(wallclock::armedDelay(), qint64(-1));
        QStringList fired;
        std::unique_ptr<WallTimer> t[5];
        const char* names[] = {"early", "late", "soon", "far", "gone"};
        for (int i : {3, 1, 0, 2, 4}) {
            t[i] = std::make_unique<WallTimer>();
            connect(t[i].get(), &WallTimer::timeout, this,
                    [&fired, &names, i] { fired << names[i]; });
            t[i]->startAt(T + QList<qint64>{100, 700, 699, 3'600'000, 300}[i]);
            if (i == 3)
                QCOMPARE(wallclock::armedDelay(), SafetyMsecs);
        }
        connect(t[0].get(), &WallTimer::timeout, this, [&] {
            t[4].reset();
            t[0]->startAt(T + 500);
        });
        QCOMPARE(wallclock::armedDelay(), qint64(100));
        clock::setFixed(QDateTime::fromMSecsSinceEpoch(T + 700));
        wallclock::runDue();
        QCOMPARE(fired, QStringList({"early", "soon", "late"}));
        QVERIFY(t[0]->isActive() && !t[1]->isActive() && t[3]->isActive());
        QCOMPARE(wallclock::armedDelay(), qint64(0));
        // A change of the clock wakes everyone, due or not.
        fired.clear();
        t[0]->stop();
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
        for (bool sleeping : {true, false}) {
            QMetaObject::invokeMethod(&watch, "prepareForSleep", Q_ARG(bool, sleeping));
            QCOMPARE(spy.count(), sleeping ? 0 : 1); // the resume, not the suspend
        }
    }
};

TIDRA_TEST_MAIN(TestWakePlan)
#include "tst_wakeplan.moc"
