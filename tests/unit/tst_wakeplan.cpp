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

} // namespace

class TestWakePlan : public QObject
{
    Q_OBJECT

private slots:
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
        row("nothing pending", N, N, false, N, N, N, Reason::Nothing);
        row("alarm: one ms past its moment", 90000, N, false, N, N, 90001, Reason::Alarm);
        row("alarm past: at once", -5000, N, false, N, 7000, 0, Reason::Alarm);
        row("reminder before the alarm", 600000, 300000, false, N, N, 300001, Reason::Reminder);
        row("alarm and reminder together", 300000, 300000, false, N, N, 300001, Reason::Alarm);
        row("shown seconds: the next whole one", 90000, N, true, N, N, 580, Reason::Second);
        row("work window on its moment", N, N, false, 1000, 5000, 1000, Reason::WorkWindow);
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
};

TIDRA_RULES_TEST_MAIN(TestWakePlan)
#include "tst_wakeplan.moc"
