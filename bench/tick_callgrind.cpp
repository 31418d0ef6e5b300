// SPDX-License-Identifier: GPL-3.0-or-later
// Instruction counts of single ticks, for callgrind: builds the main window
// offscreen from the data in $HOME (prepared by callgrind_ticks.sh), pins the
// clock, stops every QTimer and then runs the ticks by hand, each one wrapped
// in its own collection window. Repaints the tick causes are part of its cost,
// so the posted events are delivered inside the window too.
//
//   tick_callgrind "2026-12-09 10:30:00"
#include "app/MainSettingsDlg.h"
#include "common/AppInfo.h"
#include "common/Clock.h"
#include "timers/TimerMsgDlg.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <functional>

#include <valgrind/callgrind.h>

namespace {

QDateTime startMoment;

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void stopAllTimers()
{
    for (QTimer* t : qApp->findChildren<QTimer*>())
        t->stop();
    if (td::mainWindow) {
        for (QTimer* t : td::mainWindow->findChildren<QTimer*>())
            t->stop();
    }
}

// One tick at `offsetMs` after the start, collected under `name`.
void measure(const char* name, qint64 offsetMs, const std::function<void()>& tick)
{
    td::clock::setFixed(startMoment.addMSecs(offsetMs));
    CALLGRIND_START_INSTRUMENTATION;
    tick();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    CALLGRIND_STOP_INSTRUMENTATION;
    CALLGRIND_DUMP_STATS_AT(name);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(td::info::organizationName);
    QApplication::setOrganizationDomain(td::info::organizationDomain);
    QApplication::setApplicationName(td::info::applicationName);
    QApplication::setQuitOnLastWindowClosed(false);

    const QString when = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "2026-12-09 10:30:00";
    startMoment = QDateTime::fromString(when, "yyyy-MM-dd HH:mm:ss");
    if (!startMoment.isValid()) {
        std::fprintf(stderr, "bad moment: %s\n", qPrintable(when));
        return 2;
    }
    td::clock::setFixed(startMoment);

    td::MainSettingsDlg window;
    settle();
    stopAllTimers();

    td::TimerMsgDlg* timer = nullptr;
    int shown = 0;
    for (const td::TimerModel::Id id : window.timerModel().ids()) {
        td::TimerMsgDlg* t = window.timerWindow(id);
        if (t && t->isVisible()) {
            ++shown;
            if (!timer)
                timer = t;
        }
    }
    int workShown = 0;
    for (td::TimerMsgDlg* w : window.workWindows()) {
        if (w && w->isVisible()) {
            ++workShown;
            // Without a timer of the user's, a work window's tick is the one measured.
            if (!timer)
                timer = w;
        }
    }
    std::printf("alarms %lld, timers %lld (%d shown), work windows shown %d\n",
                qlonglong(window.alarmModel().count()), qlonglong(window.timerModel().count()),
                shown, workShown);

    // Warm up caches (time-zone data, glyphs, every digit scaled) the way a
    // running program has them after its first seconds.
    qint64 ms = 0;
    for (; ms < 11000; ms += 100) {
        td::clock::setFixed(startMoment.addMSecs(ms));
        window.updateMainTimer();
        if (timer)
            timer->updateTimer();
        settle();
    }

    // The loop ended at 10900 ms: 11000 shows a new second, 11100 does not. A
    // timer last ticked at 10900 too; 12050 turns its second whether it counts
    // up or down (down turns on x.000), 12150 does not.
    measure("main tick, new second", ms, [&] { window.updateMainTimer(); });
    measure("main tick, same second", ms + 100, [&] { window.updateMainTimer(); });
    if (timer) {
        measure("timer tick, new second", ms + 1050, [&] { timer->updateTimer(); });
        measure("timer tick, same second", ms + 1150, [&] { timer->updateTimer(); });
    }
    return 0;
}
