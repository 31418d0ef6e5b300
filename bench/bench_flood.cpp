// SPDX-License-Identifier: GPL-3.0-or-later
// A flood of alarms: what the user waits for when 1,000 or 10,000 alarms are
// read at start-up, or fall due together (after a holiday or a suspend). The
// interface is frozen for as long as each takes, pop-ups painted included;
// the aim is at most 50 ms per 1,000 alarms (the "per1000" column, in s).
//   QT_QPA_PLATFORM=offscreen TZ=Europe/Berlin build/bench/bench_flood
#include "alarms/AlarmMsgDlg.h"
#include "app/AlarmPopups.h"
#include "app/MainSettingsDlg.h"
#include "bench/BenchApp.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/WallTimer.h"
#include "storage/EventFiles.h"
#include "storage/EventStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace td;

const QDateTime benchNow(QDate(2026, 12, 9), QTime(10, 30));

/// Alarms of every kind, all due a day ago (or tomorrow, when only read).
QList<AlarmRecord> floodRecords(int count, const QDateTime& base)
{
    QList<AlarmRecord> list;
    for (int i = 0; i < count; ++i) {
        AlarmRecord r;
        r.enabled = true;
        r.name = QStringLiteral("alarm %1").arg(i);
        r.message = QStringLiteral("message of alarm %1").arg(i);
        r.date = base.date();
        r.time = QTime(base.time().hour(), base.time().minute());
        r.repeatMode = i % 3;
        r.repeatRange = 1 + i % 5;
        r.repeatMeasure = i % 6;
        r.days[i % 7] = true;
        list << r;
    }
    return list;
}

QList<events::AlarmEntry> entries(const QList<AlarmRecord>& records)
{
    return QList<events::AlarmEntry>(records.begin(), records.end());
}

MainSettingsDlg* window()
{
    static MainSettingsDlg* w = [] {
        auto* main = new MainSettingsDlg;
        main->findChild<td::WallTimer*>("mainTimer")->stop();
        return main;
    }();
    return w;
}

void clear(MainSettingsDlg* w)
{
    w->alarmModel().clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void perThousand(benchmark::State& state, int count)
{
    state.counters["per1000"] =
        benchmark::Counter(count / 1000.0, benchmark::Counter::kIsIterationInvariantRate |
                                               benchmark::Counter::kInvert);
}

// Start-up: the "Alarms" file read and every alarm made and listed.
void BM_LoadAlarms(benchmark::State& state)
{
    const int count = int(state.range(0));
    MainSettingsDlg* w = window(); // made first: it reads the folder as it starts
    const QString folder = QDir::homePath() + "/.Tidra";
    QDir().mkpath(folder);
    QFile file(folder + "/Alarms");
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(events::formatAlarms(entries(floodRecords(count, benchNow.addDays(1))))) < 0)
        state.SkipWithError("cannot write the alarms file");
    file.close();
    for (auto _ : state) {
        w->store().load();
        QCoreApplication::processEvents();
        state.PauseTiming();
        const qsizetype read = w->alarmModel().count();
        clear(w);
        if (read != count) {
            state.SkipWithError("not every alarm was read");
            break;
        }
        state.ResumeTiming();
    }
    QFile::remove(folder + "/Alarms");
    perThousand(state, count);
}
BENCHMARK(BM_LoadAlarms)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// One tick in which every alarm falls due: records move on, a screenful of
// pop-ups (or balloons) and the summary show and paint.
void BM_FireAlarms(benchmark::State& state)
{
    const int count = int(state.range(0));
    const bool balloons = state.range(1) != 0;
    MainSettingsDlg* w = window();
    appSettings->alarmDisplayBaloon = balloons;
    appSettings->alarmSimpleForm = false;
    int shown = 0;
    AlarmPopups::setBalloonHandler(
        [&shown](AlarmMsgDlg*, const QString&, const QString&, int, bool) { ++shown; });
    const QList<AlarmRecord> records = floodRecords(count, benchNow.addDays(-1));
    for (auto _ : state) {
        state.PauseTiming();
        for (const AlarmRecord& r : records)
            w->alarmModel().add(r);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        w->updateMainTimer();
        QCoreApplication::processEvents();
        state.PauseTiming();
        for (const Alarm& a : w->alarmModel().alarms()) {
            const AlarmMsgDlg* popup = w->alarmPopups().existing(a.id);
            shown += popup && popup->isVisible() ? 1 : 0;
        }
        const bool fired = w->alarmModel().alarms().first().record != records.first();
        clear(w);
        if (!fired) {
            state.SkipWithError("the alarms did not fire");
            break;
        }
        state.ResumeTiming();
    }
    AlarmPopups::setBalloonHandler({});
    state.counters["shown"] = benchmark::Counter(shown, benchmark::Counter::kAvgIterations);
    perThousand(state, count);
}
BENCHMARK(BM_FireAlarms)
    ->ArgNames({"alarms", "balloons"})
    ->ArgsProduct({{1000, 10000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    td::bench::BenchApp app(argc, argv);
    td::clock::setFixed(benchNow);
    const int rc = td::bench::runBenchmarks(argc, argv);
    delete window();
    return rc;
}
