// SPDX-License-Identifier: GPL-3.0-or-later
// Recurrence and main-tick costs. Run by hand for numbers:
//   QT_QPA_PLATFORM=offscreen TZ=Europe/Berlin build/bench/bench_alarms
#include "alarms/AlarmMsgDlg.h"
#include "alarms/AlarmRecord.h"
#include "app/MainSettingsDlg.h"
#include "bench/BenchApp.h"
#include "bench/StepwiseAlarm.h"
#include "common/Clock.h"
#include "common/WallTimer.h"

#include <QListWidget>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

const QDateTime benchNow(QDate(2026, 3, 29), QTime(14, 37, 21, 500));

td::AlarmRecord every(int unit, const QDateTime& base)
{
    td::AlarmRecord r;
    r.enabled = true;
    r.name = "Bench";
    r.date = base.date();
    r.time = QTime(base.time().hour(), base.time().minute());
    r.repeatMode = td::RepeatEvery;
    r.repeatRange = 1;
    r.repeatMeasure = unit;
    return r;
}

QDateTime baseBack(int which)
{
    // 1 day, 1 year, 10 years before now, on month ends to exercise clamping.
    static const QDateTime bases[] = {QDateTime(QDate(2026, 3, 28), QTime(9, 30)),
                                      QDateTime(QDate(2025, 3, 31), QTime(9, 30)),
                                      QDateTime(QDate(2016, 1, 31), QTime(9, 30))};
    return bases[which];
}

void BM_NextAlarmTime(benchmark::State& state)
{
    const td::AlarmRecord r = every(int(state.range(0)), baseBack(int(state.range(1))));
    for (auto _ : state)
        benchmark::DoNotOptimize(td::nextAlarmTime(r, benchNow));
}
BENCHMARK(BM_NextAlarmTime)
    ->ArgNames({"unit", "back"})
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond);

void BM_StepwiseReference(benchmark::State& state)
{
    const td::AlarmRecord r = every(int(state.range(0)), baseBack(int(state.range(1))));
    if (td::nextAlarmTime(r, benchNow) != td::test::stepwiseNextAlarmTime(r, benchNow))
        state.SkipWithError("fast and stepwise results differ");
    for (auto _ : state)
        benchmark::DoNotOptimize(td::test::stepwiseNextAlarmTime(r, benchNow));
}
// Minutes a year back already take a large fraction of a second per call.
BENCHMARK(BM_StepwiseReference)
    ->ArgNames({"unit", "back"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Args({4, 1})
    ->Args({2, 2})
    ->Args({4, 2})
    ->Unit(benchmark::kMicrosecond);

void BM_DayOfWeekTenYearsBack(benchmark::State& state)
{
    td::AlarmRecord r = every(0, baseBack(2));
    r.repeatMode = td::RepeatDayOfWeek;
    r.days[0] = true; // Sundays only
    for (auto _ : state)
        benchmark::DoNotOptimize(td::nextAlarmTime(r, benchNow));
}
BENCHMARK(BM_DayOfWeekTenYearsBack)->Unit(benchmark::kMicrosecond);

void fillAlarms(td::MainSettingsDlg* w, int count)
{
    const QDateTime tomorrow = td::now().addDays(1);
    for (int i = 0; i < count; ++i) {
        td::AlarmRecord r = every(i % 6, tomorrow.addSecs(60 * i));
        r.name = QStringLiteral("Alarm %1").arg(i);
        w->alarmModel().add(r);
    }
    w->findChild<QListWidget*>("alarmsList")->setCurrentRow(count / 2);
}

void BM_MainTick1000Alarms(benchmark::State& state)
{
    auto* w = td::mainWindow;
    w->findChild<td::WallTimer*>("mainTimer")->stop();
    fillAlarms(w, 1000);
    w->updateMainTimer();
    for (auto _ : state)
        w->updateMainTimer();
    w->alarmModel().clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
BENCHMARK(BM_MainTick1000Alarms)->Unit(benchmark::kMicrosecond);

void BM_Adopt1000Alarms(benchmark::State& state)
{
    auto* w = td::mainWindow;
    for (auto _ : state) {
        fillAlarms(w, 1000);
        state.PauseTiming();
        w->alarmModel().clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Adopt1000Alarms)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    td::bench::BenchApp app(argc, argv);
    td::MainSettingsDlg window;
    return td::bench::runBenchmarks(argc, argv);
}
