// SPDX-License-Identifier: GPL-3.0-or-later
// What a heavy user (1,000 alarms, 200 visible timers) waits for when acting:
// starting with the event files, saving after a change, switching to the long
// lists, opening the fonts library. Each should stay under 50 ms.
#include "alarms/AlarmMsgDlg.h"
#include "app/MainSettingsDlg.h"
#include "bench/BenchApp.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "storage/EventFiles.h"
#include "timers/DigitRenderer.h"
#include "timers/FontsLibrary.h"
#include "timers/TimerMsgDlg.h"
#include "ui_maindialog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

using namespace td;

const QDateTime benchNow(QDate(2026, 12, 9), QTime(10, 30));

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

void prepareHeavyUser(int alarms, int timers)
{
    const QString folder = QDir::homePath() + "/.Tidra";
    QDir().mkpath(folder);
    QList<events::AlarmEntry> alarmList;
    for (int i = 0; i < alarms; ++i) {
        AlarmRecord r;
        r.enabled = true;
        r.name = QStringLiteral("alarm %1").arg(i);
        r.message = QStringLiteral("measure");
        r.date = QDate(2030, 6, 15);
        r.time = QTime(7, 30);
        alarmList << r;
    }
    QList<events::TimerEntry> timerList;
    for (int i = 0; i < timers; ++i) {
        events::TimerEntry e;
        e.record.name = QStringLiteral("watch %1").arg(i);
        e.record.type = TypeStopwatch;
        e.record.dateTime = benchNow.addSecs(-90000);
        e.record.format = FormatFull;
        e.visible = true;
        e.centre = QPoint(100 + (i % 10) * 170, 80 + (i / 10 % 10) * 90);
        timerList << e;
    }
    writeFile(folder + "/Alarms", events::formatAlarms(alarmList));
    writeFile(folder + "/Timers", events::formatTimers(timerList));
}

MainSettingsDlg* heavyWindow()
{
    static MainSettingsDlg* window = [] {
        auto* w = new MainSettingsDlg;
        w->findChild<td::WallTimer*>("mainTimer")->stop();
        for (const TimerModel::Id id : w->timerModel().ids())
            if (TimerMsgDlg* t = w->timerWindow(id))
                t->pause();
        w->show();
        QCoreApplication::processEvents();
        return w;
    }();
    return window;
}

// Start-up with the files: every alarm and timer made, the timer windows shown.
void BM_StartWithEvents(benchmark::State& state)
{
    for (auto _ : state) {
        auto* w = new MainSettingsDlg;
        QCoreApplication::processEvents();
        state.PauseTiming();
        delete w;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartWithEvents)->Unit(benchmark::kMillisecond)->Iterations(3);

// Start-up with N visible timers, as the interface lives it: how long the
// constructor takes (N = 0 gives the cost of a start without them), the
// longest time the event loop then does not answer (a 1 ms probe) and the
// time until every window shows.
void BM_StartWithVisibleTimers(benchmark::State& state)
{
    const int count = int(state.range(0));
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    prepareHeavyUser(0, count);
    qint64 constructed = 0, longest = 0, allShown = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 last = -1;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 t = clock.elapsed();
            longest = std::max(longest, t - last);
            last = t;
        });
        probe.start(1);
        clock.start();
        auto* w = new MainSettingsDlg;
        constructed = last = clock.elapsed();
        const auto shown = [w] {
            int n = 0;
            for (const TimerModel::Id id : w->timerModel().ids())
                n += w->timerWindow(id) && w->timerWindow(id)->isVisible() ? 1 : 0;
            return n;
        };
        while (shown() < count && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        allShown = clock.elapsed();
        QCoreApplication::processEvents();
        longest = std::max(longest, clock.elapsed() - last);
        state.PauseTiming();
        delete w;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["constructor_ms"] = double(constructed);
    state.counters["then_longest_freeze_ms"] = double(longest);
    state.counters["all_shown_ms"] = double(allShown);
    qputenv("HOME", oldHome);
}
BENCHMARK(BM_StartWithVisibleTimers)
    ->Arg(0)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// An alarm renamed, then the files written (only the changed one is rewritten).
void BM_SaveAfterChange(benchmark::State& state)
{
    MainSettingsDlg* w = heavyWindow();
    int n = 0;
    for (auto _ : state) {
        const Alarm& first = w->alarmModel().alarms().first();
        AlarmRecord r = first.record;
        r.name = QStringLiteral("renamed %1").arg(++n);
        w->alarmModel().replace(first.id, r);
        w->saveEvents();
    }
}
BENCHMARK(BM_SaveAfterChange)->Unit(benchmark::kMillisecond);

// A page of the main window shown and painted; arg 1: alarms, 2: timers.
void BM_SwitchToListPage(benchmark::State& state)
{
    MainSettingsDlg* w = heavyWindow();
    for (auto _ : state) {
        state.PauseTiming();
        w->showDateTime();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        state.range(0) == 1 ? w->showAlarms() : w->showTimers();
        w->repaint();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SwitchToListPage)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_OpenFontsLibrary(benchmark::State& state)
{
    MainSettingsDlg* w = heavyWindow();
    for (auto _ : state) {
        FontsLibrary library(w->plugins(), appSettings->timerDefaultSkin, w);
        library.show();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_OpenFontsLibrary)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    td::bench::BenchApp app(argc, argv);
    td::clock::setFixed(benchNow);
    prepareHeavyUser(1000, 200);
    const int rc = td::bench::runBenchmarks(argc, argv);
    delete heavyWindow();
    return rc;
}
