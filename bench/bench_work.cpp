// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the work windows' visibility decision, which the main tick makes ten
// times a second.
#include "work/WorkRules.h"

#include <benchmark/benchmark.h>

namespace {

td::AppSettings settings(int holidays)
{
    td::AppSettings s;
    for (int i = 0; i < 7; ++i) {
        td::WorkDay& d = s.workDays[size_t(i)];
        d.enabled = i >= 1 && i <= 5;
        d.workBegin = QTime(9, 0);
        d.lunchBegin = QTime(12, 0);
        d.lunchEnd = QTime(13, 0);
        d.workEnd = QTime(18, 0);
    }
    s.timeToLunch = s.timeToEndDay = s.timeToHoliday = s.timeToVacation = true;
    s.hideTillLunch = true;
    for (int i = 0; i < holidays; ++i)
        s.holidays.append({QStringLiteral("Day %1").arg(i), i % 2, QDate(2027, 1, 1).addDays(i * 9),
                           QDate(2027, 1, 1).addDays(i * 9 + (i % 2) * 5)});
    return s;
}

void BM_ShownOnTick(benchmark::State& state)
{
    const td::AppSettings s = settings(int(state.range(0)));
    // A Tuesday morning: Monday also works, so yesterday's shift is looked at too.
    const QDateTime now(QDate(2026, 12, 8), QTime(10, 30));
    for (auto _ : state)
        benchmark::DoNotOptimize(td::work::shownOnTick(s, now));
}
BENCHMARK(BM_ShownOnTick)->Arg(0)->Arg(20)->Arg(200);

void BM_CurrentShift(benchmark::State& state)
{
    const td::AppSettings s = settings(0);
    const QDateTime now(QDate(2026, 12, 8), QTime(10, 30));
    td::work::WorkMoments shift;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            td::work::currentShift(s.workDays, s.holidays, false, now, &shift));
}
BENCHMARK(BM_CurrentShift);

} // namespace

BENCHMARK_MAIN();
