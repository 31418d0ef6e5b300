// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TrayClicks.h"
#include "tests/common/RulesSupport.h"

using td::TrayClicks;

namespace {

// What the tray reports at a millisecond; Due: the single-click delay runs out.
enum Report { Trigger, Double, Due };
struct Click
{
    Report report;
    int msecs;
};
using Clicks = QList<Click>;

} // namespace

Q_DECLARE_METATYPE(Click)

class TestTrayClicks : public QObject
{
    Q_OBJECT

private slots:
    // Mostly one or two double clicks in a platform's order of reports, then (from 2000 ms)
    // one ordinary click that must act. The delay is 400 ms.
    void clicks_data()
    {
        QTest::addColumn<Clicks>("clicks");
        QTest::addColumn<int>("singles");
        QTest::addColumn<int>("doubles");
        const auto row = [](const char* tag, Clicks clicks, int singles, int doubles) {
            QTest::newRow(tag) << clicks << singles << doubles;
        };
        const Report T = Trigger, D = Double, F = Due;
        row("single click acts after the delay", {{T, 0}, {F, 400}}, 1, 0);
        row("trigger, double, trigger", {{T, 0}, {D, 250}, {T, 260}, {F, 400}}, 0, 1);
        row("trigger, trigger, double; then a click",
            {{T, 0}, {T, 250}, {D, 250}, {F, 650}, {T, 2000}, {F, 2400}}, 1, 1);
        row("double alone; then a click", {{D, 0}, {T, 2000}, {F, 2400}}, 1, 1);
        row("double reported twice", {{T, 0}, {D, 250}, {D, 260}, {T, 270}, {F, 700}}, 0, 1);
        row("two double clicks, release reports",
            {{T, 0}, {D, 200}, {T, 210}, {T, 1000}, {D, 1200}, {T, 1210}, {F, 1700}}, 0, 2);
        row("slow second click: two singles", {{T, 0}, {F, 400}, {D, 500}, {T, 550}, {F, 950}}, 2,
            0);
        row("second trigger restarts the delay", {{T, 0}, {T, 300}, {F, 700}}, 1, 0);
    }
    void clicks()
    {
        QFETCH(Clicks, clicks);
        TrayClicks tray;
        tray.setInterval(400);
        int singles = 0, doubles = 0;
        for (const Click& click : clicks) {
            if (click.report == Due)
                singles += tray.singleDue(click.msecs);
            else if ((click.report == Trigger
                          ? tray.trigger(click.msecs)
                          : tray.doubleClick(click.msecs)) == TrayClicks::Act::Double)
                ++doubles;
        }
        QTEST(singles, "singles");
        QTEST(doubles, "doubles");
        QVERIFY(!tray.singleDue(1000000)); // nothing left to act on later
    }
};

TIDRA_RULES_TEST_MAIN(TestTrayClicks)
#include "tst_trayclicks.moc"
