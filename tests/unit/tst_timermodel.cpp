// SPDX-License-Identifier: GPL-3.0-or-later
// The states of a timer and what the user does to it.
#include "common/Clock.h"
#include "tests/common/RulesSupport.h"
#include "timers/TimerModel.h"

#include <QSignalSpy>

using namespace td;
using State = TimerState;

namespace {

const QDateTime T = test::at("2026-12-07 10:25:21.250");

using Id = TimerModel::Id;
using Step = void (*)(TimerModel&, Id);
const Step pause = [](TimerModel& m, Id id) { m.pause(id); };
const Step resume = [](TimerModel& m, Id id) { m.resume(id); };
const Step lap = [](TimerModel& m, Id id) { m.lap(id); };
const Step restart = [](TimerModel& m, Id id) { m.restart(id); };
const Step reset = [](TimerModel& m, Id id) { m.reset(id); };
const Step stop = [](TimerModel& m, Id id) { m.stop(id); };
const Step finish = [](TimerModel& m, Id) { m.finishDue(); };
const Step editNothing = [](TimerModel& m, Id id) { m.replace(id, m.entry(id).record); };
const Step toStopwatch = [](TimerModel& m, Id id) {
    m.replace(id, TimerRecord("Renamed", TypeStopwatch, td::now()));
};
const Step toCountdown = [](TimerModel& m, Id id) {
    m.replace(id, TimerRecord("Renamed", TypeTimer, td::now().addSecs(300)));
};

/// A step `afterMs` after the one before.
struct Move
{
    int afterMs;
    Step step;
};
using Moves = QList<Move>;

/// A timer whose moment is `endSecs` from T.
TimerEntry timer(int type, int endSecs, qint64 spanSecs = 0, bool goesOn = false,
                 State state = State::CountingDown)
{
    TimerEntry e{TimerRecord("T", type, T.addSecs(endSecs), goesOn), state, true, {5, 5}, {}, {}};
    e.record.spanSecs = spanSecs;
    return e;
}

} // namespace

Q_DECLARE_METATYPE(TimerEntry)
Q_DECLARE_METATYPE(Moves)

class TestTimerModel : public QObject
{
    Q_OBJECT

private slots:
    void init() { clock::setFixed(T); }
    void cleanupTestCase() { clock::reset(); }

    // Added or loaded, a timer stands where its record puts it now; only a finish already
    // told sticks, and a pause before its end keeps it counting down.
    void settlesWhenAdded_data()
    {
        QTest::addColumn<TimerEntry>("start");
        QTest::addColumn<State>("expected");
        TimerEntry paused = timer(TypeTimer, -60, 600);
        paused.pausedAt = T.addSecs(-120);
        QTest::newRow("end ahead") << timer(TypeTimer, 60) << State::CountingDown;
        QTest::newRow("end now is not past")
            << timer(TypeTimer, 0, 0, false, State::CountingUp) << State::CountingDown;
        QTest::newRow("end passed: stopped") << timer(TypeTimer, -1) << State::Finished;
        QTest::newRow("end passed: goes on") << timer(TypeTimer, -1, 0, true) << State::CountingUp;
        QTest::newRow("stopwatch") << timer(TypeStopwatch, -60) << State::CountingUp;
        QTest::newRow("finished stays")
            << timer(TypeTimer, 60, 0, true, State::Finished) << State::Finished;
        QTest::newRow("paused before its end") << paused << State::CountingDown;
    }
    void settlesWhenAdded()
    {
        QFETCH(TimerEntry, start);
        TimerModel model;
        QSignalSpy finished(&model, &TimerModel::timerFinished);
        QTEST(model.entry(model.add(start)).state, "expected");
        QCOMPARE(finished.size(), 0); // a pop-up is for an end seen while running
    }

    // A countdown ends on the first moment after its end. Time paused is not counted, also
    // when the clock is set back meanwhile; a new count
    // forgets laps and pause; an edit keeps a running count. The last step tells a change
    // exactly when it made one.
    void steps_data()
    {
        QTest::addColumn<TimerEntry>("start");
        QTest::addColumn<Moves>("moves");
        QTest::addColumn<State>("state");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("momentSecs"); // from T
        QTest::addColumn<bool>("paused");
        QTest::addColumn<QList<qint64>>("laps");
        QTest::addColumn<int>("told");
        // `type` -1: the start's.
        const auto row = [](const char* name, const TimerEntry& start, const Moves& moves, State s,
                            int moment, bool paused, const QList<qint64>& laps, int told,
                            int type = -1) {
            QTest::newRow(name) << start << moves << s << (type < 0 ? start.record.type : type)
                                << moment << paused << laps << told;
        };
        const TimerEntry watch = timer(TypeStopwatch, 0), tea = timer(TypeTimer, 60, 60);
        const TimerEntry done = timer(TypeTimer, -60), gone = timer(TypeStopwatch, -600);
        const auto Down = State::CountingDown, Up = State::CountingUp, End = State::Finished;
        row("at its end: not yet", tea, {{60000, finish}}, Down, 60, false, {}, 0);
        row("a ms past its end: stops", tea, {{60001, finish}}, End, 60, false, {}, 1);
        row("a ms past its end: counts on", timer(TypeTimer, 60, 60, true), {{60001, finish}}, Up,
            60, false, {}, 1);
        row("paused 10 s: ends 10 s later", tea, {{5000, pause}, {10000, resume}}, Down, 70, false,
            {}, 1);
        row("paused past its end", tea, {{1000, pause}, {120000, finish}}, Down, 60, true, {}, 0);
        row("clock set back while paused", tea, {{5000, pause}, {-60000, resume}}, Down, 60, false,
            {}, 1);
        row("laps count only the running time", watch,
            {{1500, lap}, {0, pause}, {60000, lap}, {0, resume}, {250, lap}}, Up, 60, false,
            {1500, 1500, 1750}, 1);
        row("reset forgets laps and pause", watch, {{1000, lap}, {0, pause}, {2000, reset}}, Up, 3,
            false, {}, 1);
        row("stop while paused", watch, {{1000, pause}, {9000, stop}}, End, 9, false, {}, 1);
        row("finished pauses no more", tea, {{61000, finish}, {0, pause}}, End, 60, false, {}, 0);
        row("restart runs the span from now", tea, {{61000, finish}, {4000, restart}}, Down, 125,
            false, {}, 1);
        row("restart while paused", tea, {{1000, pause}, {1000, restart}}, Down, 62, false, {}, 1);
        row("no restart without a span", timer(TypeTimer, 60), {{61000, finish}, {0, restart}}, End,
            60, false, {}, 0);
        row("stop a countdown: ends now", tea, {{1000, stop}}, End, 1, false, {}, 1);
        row("stop a finished one", done, {{1000, stop}}, End, -60, false, {}, 0);
        row("edit a stopwatch: its start stays", gone, {{1000, toStopwatch}}, Up, -600, false, {},
            1);
        row("edit changing nothing", gone, {{1000, editNothing}}, Up, -600, false, {}, 0);
        row("edit finished to a new end", done, {{1000, toCountdown}}, Down, 301, false, {}, 1);
        // A finished countdown turned into a stopwatch counts from now.
        row("reset a finished countdown", done, {{1000, reset}}, Up, 1, false, {}, 1,
            TypeStopwatch);
        row("edit finished into a stopwatch", done, {{1000, toStopwatch}}, Up, 1, false, {}, 1,
            TypeStopwatch);
    }
    void steps()
    {
        QFETCH(TimerEntry, start);
        QFETCH(Moves, moves);
        QFETCH(int, momentSecs);
        TimerModel model;
        model.add(timer(TypeTimer, 3600));
        const Id id = model.add(start);
        QSignalSpy changed(&model, &TimerModel::changed);
        QSignalSpy changedId(&model, &TimerModel::timerChanged);
        for (const Move& m : moves) {
            clock::advance(m.afterMs);
            changed.clear();
            changedId.clear();
            m.step(model, id);
        }
        const TimerEntry e = model.entry(id);
        QTEST(e.state, "state");
        QTEST(e.record.type, "type");
        QCOMPARE(e.record.dateTime, T.addSecs(momentSecs));
        QTEST(e.paused(), "paused");
        QTEST(e.laps, "laps");
        QTEST(int(changed.size()), "told");
        QTEST(int(changedId.size()), "told");
        QVERIFY(changedId.isEmpty() || changedId[0][0].value<Id>() == id);
    }

    // A day's span restarted before a clock change ends at the same time of day.
    void restartKeepsTheTimeOfDayOverDst()
    {
        clock::setFixed(test::at("2026-10-24 09:30:00"));
        TimerModel model;
        const Id id = model.add(timer(TypeTimer, -5, 86400 + 1800));
        QVERIFY(model.restart(id));
        QCOMPARE(model.entry(id).record.dateTime, test::at("2026-10-25 10:00:00"));
    }

    void lapsStopAtTheLimit()
    {
        TimerModel model;
        const Id id = model.add(timer(TypeStopwatch, 0));
        for (int i = 0; i < TimerModel::maxLaps; ++i)
            QVERIFY(model.lap(id));
        QVERIFY(!model.lap(id));
        QCOMPARE(model.entry(id).laps.size(), TimerModel::maxLaps);
    }

    // Ids are never handed out again; an unknown id changes nothing.
    void addAndRemove()
    {
        TimerModel model;
        QSignalSpy changed(&model, &TimerModel::changed);
        const Id a = model.add(timer(TypeTimer, 60));
        const Id b = model.add(timer(TypeStopwatch, 0));
        model.remove(b);
        model.remove(b);
        model.move(b, {1, 1});
        const Id c = model.add(timer(TypeTimer, 90));
        QCOMPARE(model.ids(), (QList{a, c}));
        QCOMPARE(changed.size(), 4);
    }
};

TIDRA_RULES_TEST_MAIN(TestTimerModel)
#include "tst_timermodel.moc"
