// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/WakePlan.h"
#include "tests/common/RulesSupport.h"

using namespace td::wake;

Q_DECLARE_METATYPE(td::wake::Reason)

namespace {

// 420 ms into a second; moments in the rows are ms from it.
constexpr qint64 T = 1'000'000'000'420;

qint64 fromNow(qint64 offset)
{
    return offset == Never ? Never : T + offset;
}

// The last wait armed on the way to `at`, each wait ending on time; -1 without one.
qint64 finalWait(qint64 at)
{
    qint64 now = T, wait = -1;
    for (int waits = 0; waits < 1'000'000; ++waits) {
        wait = armDelay(at, now);
        if (wait < 0 || now + wait >= at)
            return wait;
        now += wait;
    }
    return -2;
}

} // namespace

class TestWakePlan : public QObject
{
    Q_OBJECT

private slots:
    // The main tick's next wake: the earliest deadline, ties to the kind asked first, and the
    // last wait before it, short enough that the kernel's slack on it stays near 1 ms.
    void mainWake_data()
    {
        QTest::addColumn<qint64>("alarm");
        QTest::addColumn<qint64>("reminder");
        QTest::addColumn<bool>("secondsShown");
        QTest::addColumn<qint64>("workWindow");
        QTest::addColumn<qint64>("midnight");
        QTest::addColumn<qint64>("wake");
        QTest::addColumn<Reason>("reason");
        QTest::addColumn<qint64>("finalWait");
        const qint64 N = Never;
        const auto row = [](const char* tag, qint64 alarm, qint64 reminder, bool seconds,
                            qint64 work, qint64 midnight, qint64 wake, Reason reason,
                            qint64 finalWait) {
            QTest::newRow(tag) << alarm << reminder << seconds << work << midnight << wake << reason
                               << finalWait;
        };
        row("nothing pending", N, N, false, N, N, N, Reason::Nothing, -1);
        row("alarm: one ms past its moment", 90000, N, false, N, N, 90001, Reason::Alarm, 1000);
        row("alarm past: at once", -5000, N, false, N, 7000, 0, Reason::Alarm, 0);
        row("alarm a year ahead", 31536000000, N, false, N, N, 31536000001, Reason::Alarm, 1000);
        row("alarm within the last second", 700, N, false, N, N, 701, Reason::Alarm, 701);
        row("alarm just over a second", 1000, N, false, N, N, 1001, Reason::Alarm, 1000);
        row("alarm two seconds ahead", 1999, N, false, N, N, 2000, Reason::Alarm, 1000);
        row("reminder before the alarm", 600000, 300000, false, N, N, 300001, Reason::Reminder,
            1000);
        row("alarm and reminder together", 300000, 300000, false, N, N, 300001, Reason::Alarm,
            1000);
        row("shown seconds: the next whole one", 90000, N, true, N, N, 580, Reason::Second, 580);
        row("work window on its moment", N, N, false, 1000, 5000, 1000, Reason::WorkWindow, 1000);
        row("work window and midnight together", N, N, false, 5000, 5000, 5000, Reason::WorkWindow,
            1000);
        row("midnight", 9000000, N, false, N, 7200000, 7200000, Reason::Midnight, 1000);
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
        const qint64 last = finalWait(w.at);
        QTEST(last, "finalWait");
        QVERIFY(last <= FinalWaitMsecs);
    }
};

TIDRA_RULES_TEST_MAIN(TestWakePlan)
#include "tst_wakeplan.moc"
