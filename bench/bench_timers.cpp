// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of a timer window's tick: the arithmetic alone, and a round over 50
// visible windows when nothing visible changes (as when a change of the clock
// wakes them all) and when every window changes its picture.
#include "app/MainSettingsDlg.h"
#include "bench/BenchApp.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "timers/DigitRenderer.h"
#include "timers/TimerMath.h"
#include "timers/TimerMsgDlg.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace td;

namespace {

/// The skins the build makes, one folder above the benchmark.
QList<QObject*> benchPlugins;

const QDateTime start(QDate(2026, 6, 10), QTime(12, 0, 0, 50));

void tickArithmetic99Weeks(benchmark::State& state)
{
    TimerRecord format;
    format.format = FormatFull;
    const QDateTime end = start.addDays(99 * 7);
    QDateTime now = start;
    for (auto _ : state) {
        now = now.addMSecs(100);
        TimeParts p = timermath::applyFormat(timermath::tick(end, now, true).counts, format, true);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(tickArithmetic99Weeks);

struct Windows
{
    std::vector<std::unique_ptr<TimerMsgDlg>> timers;

    Windows(int count, int format, qint64 spanSecs)
    {
        clock::setFixed(start);
        for (int i = 0; i < count; ++i) {
            auto t = std::make_unique<TimerMsgDlg>(mainWindow);
            TimerRecord r;
            r.name = QString("Timer %1").arg(i);
            r.format = format;
            r.dateTime = start.addSecs(spanSecs + i);
            t->setTimerRecord(r);
            t->pause(); // the benchmark drives the ticks
            t->move(20 + (i % 10) * 70, 20 + (i / 10) * 60);
            t->show();
            timers.push_back(std::move(t));
        }
        QCoreApplication::processEvents();
    }
    void round()
    {
        for (auto& t : timers)
            t->updateTimer();
        QCoreApplication::processEvents(); // layout and painting
    }
    int renders() const
    {
        int n = 0;
        for (auto& t : timers)
            n += t->renderCount();
        return n;
    }
};

// Full format shows whole seconds: ticks within one second draw nothing new.
void roundNothingChanges(benchmark::State& state)
{
    Windows w(50, FormatFull, 3 * 3600);
    const int before = w.renders();
    for (auto _ : state)
        w.round();
    state.counters["renders"] = w.renders() - before;
    clock::reset();
}
BENCHMARK(roundNothingChanges)->Unit(benchmark::kMicrosecond);

// Under an hour left the Short format shows hundredths: every tick redraws every window.
void roundAllChange(benchmark::State& state)
{
    Windows w(50, FormatShort, 40 * 60);
    const int before = w.renders();
    for (auto _ : state) {
        clock::advance(100);
        w.round();
    }
    state.counters["renders/round"] =
        benchmark::Counter(w.renders() - before, benchmark::Counter::kAvgIterations);
    clock::reset();
}
BENCHMARK(roundAllChange)->Unit(benchmark::kMicrosecond);

// The picture alone, to tell the renderer's share of a round from the window's.
void renderOnePicture(benchmark::State& state)
{
    TimeParts p;
    p.minutes = 39;
    p.seconds = 59;
    p.hundredths = 0;
    p.captions = true;
    for (auto _ : state) {
        p.hundredths = (p.hundredths + 1) % 100;
        QImage image = renderForDisplay(benchPlugins, appSettings->timerDefaultSkin, p,
                                        appSettings->timerFontSize);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(renderOnePicture)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    td::bench::BenchApp app(argc, argv);
    MainSettingsDlg main;
    // The benchmark lives one folder below the skins the build makes.
    benchPlugins = loadFontPlugins(QCoreApplication::applicationDirPath() + "/..");
    TimerMsgDlg::setFontPlugins(&benchPlugins);
    if (appSettings) {
        appSettings->timerShowCaptions = true;
        appSettings->timerFontSize = 1;
    }

    return td::bench::runBenchmarks(argc, argv);
}
