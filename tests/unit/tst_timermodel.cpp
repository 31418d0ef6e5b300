// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"
#include "tests/common/RulesSupport.h"
#include "timers/TimerModel.h"

#include <QSignalSpy>

using namespace td;
using State = TimerState;

namespace {

const QDateTime T(QDate(2026, 12, 7), QTime(10, 25, 21, 250));

using Id = TimerModel::Id;
using Action = void (*)(TimerModel&, Id);
const Action reset = [](TimerModel& m, Id id) { m.reset(id); };
const Action stop = [](TimerModel& m, Id id) { m.stop(id); };
const Action editNothing = [](TimerModel& m, Id id) { m.replace(id, m.entry(id).record); };
/// Edits into a stopwatch started now.
const Action toStopwatch = [](TimerModel& m, Id id) {
    m.replace(id, TimerRecord("Renamed", TypeStopwatch, td::now()));
};
/// Edits into a countdown ending in five minutes.
const Action toCountdown = [](TimerModel& m, Id id) {
    m.replace(id, TimerRecord("Renamed", TypeTimer, td::now().addSecs(300)));
};

TimerEntry entry(int type, int offsetSecs, bool continueExpired, State state = State::CountingDown)
{
    return {TimerRecord("T", type, T.addSecs(offsetSecs), continueExpired), state, true, {5, 5}};
}

} // namespace

Q_DECLARE_METATYPE(Action)

class TestTimerModel : public QObject
{
    Q_OBJECT

private slots:
    void init() { clock::setFixed(T); }
    void cleanupTestCase() { clock::reset(); }

    // Added or loaded, a timer stands where its record puts it now; only a finish
    // already told sticks.
    void settlesWhenAdded_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("endSecs");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<State>("stored");
        QTest::addColumn<State>("expected");
        const auto row = [](const char* name, int type, int end, bool on, State s, State e) {
            QTest::newRow(name) << type << end << on << s << e;
        };
        row("end ahead", TypeTimer, 60, false, State::CountingDown, State::CountingDown);
        row("end now is not past", TypeTimer, 0, false, State::CountingUp, State::CountingDown);
        row("end passed: stopped", TypeTimer, -1, false, State::CountingDown, State::Finished);
        row("end passed: goes on", TypeTimer, -1, true, State::CountingDown, State::CountingUp);
        row("stopwatch", TypeStopwatch, -60, false, State::CountingDown, State::CountingUp);
        row("finished stays", TypeTimer, 60, true, State::Finished, State::Finished);
    }
    void settlesWhenAdded()
    {
        QFETCH(int, type);
        QFETCH(int, endSecs);
        QFETCH(bool, goesOn);
        QFETCH(State, stored);
        TimerModel model;
        QSignalSpy finished(&model, &TimerModel::timerFinished);
        const Id id = model.add(entry(type, endSecs, goesOn, stored));
        QTEST(model.entry(id).state, "expected");
        QCOMPARE(finished.size(), 0); // a pop-up is for an end seen while running
    }

    // A countdown ends on the first moment after its end: it stops there, or counts on
    // when asked to; nothing else moves, and a second look changes nothing.
    void finishDue_data()
    {
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<int>("afterMs");
        QTest::addColumn<State>("expected");
        QTest::newRow("at its end") << false << 0 << State::CountingDown;
        QTest::newRow("past: stops") << false << 1 << State::Finished;
        QTest::newRow("past: counts on") << true << 1 << State::CountingUp;
    }
    void finishDue()
    {
        QFETCH(bool, goesOn);
        QFETCH(int, afterMs);
        QFETCH(State, expected);
        TimerModel model;
        const Id later = model.add(entry(TypeTimer, 120, false));
        const Id id = model.add(entry(TypeTimer, 60, goesOn));
        model.add(entry(TypeStopwatch, -5, false));
        const QList<TimerEntry> before = model.entries();
        QSignalSpy changed(&model, &TimerModel::changed);
        QSignalSpy finished(&model, &TimerModel::timerFinished);
        clock::advance(60'000 + afterMs);
        const bool ends = expected != State::CountingDown;
        for (int pass = 0; pass < 2; ++pass)
            QCOMPARE(model.finishDue(), ends && pass == 0 ? QList{id} : QList<TimerModel::Id>{});
        QCOMPARE(model.entry(id).state, expected);
        QCOMPARE(model.entry(id).record, before[1].record);
        QCOMPARE(model.entry(later), before[0]);
        QCOMPARE(model.entries()[2], before[2]);
        QCOMPARE(changed.size(), int(ends));
        QCOMPARE(finished.size(), int(ends));
        if (ends)
            QCOMPARE(finished[0][0].value<TimerModel::Id>(), id);
    }

    // What the user does to a timer a second after T, its moment `startSecs` from T; its
    // moment afterwards, from T too. A change is told exactly when one was made.
    void actions_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("startSecs");
        QTest::addColumn<Action>("action");
        QTest::addColumn<State>("state");
        QTest::addColumn<int>("typeAfter");
        QTest::addColumn<int>("momentSecs");
        QTest::addColumn<int>("changes");
        const auto row = [](const char* name, int type, int start, Action a, State s, int typeAfter,
                            int moment, int changes) {
            QTest::newRow(name) << type << start << a << s << typeAfter << moment << changes;
        };
        const int Sw = TypeStopwatch, Tm = TypeTimer;
        row("reset a finished countdown", Tm, -60, reset, State::CountingUp, Sw, 1, 1);
        row("reset while counting down", Tm, 60, reset, State::CountingDown, Tm, 60, 0);
        row("stop a countdown: ends now", Tm, 60, stop, State::Finished, Tm, 1, 1);
        row("stop a finished one", Tm, -60, stop, State::Finished, Tm, -60, 0);
        row("edit a stopwatch: its start stays", Sw, -600, toStopwatch, State::CountingUp, Sw, -600,
            1);
        row("edit finished into a stopwatch", Tm, -60, toStopwatch, State::CountingUp, Sw, 1, 1);
        row("edit finished to a new end", Tm, -60, toCountdown, State::CountingDown, Tm, 301, 1);
        row("edit changing nothing", Sw, -600, editNothing, State::CountingUp, Sw, -600, 0);
    }
    void actions()
    {
        QFETCH(int, type);
        QFETCH(int, startSecs);
        QFETCH(Action, action);
        QFETCH(int, momentSecs);
        QFETCH(int, changes);
        TimerModel model;
        model.add(entry(TypeTimer, 3600, false));
        const Id id = model.add(entry(type, startSecs, false));
        clock::advance(1000);
        QSignalSpy changed(&model, &TimerModel::changed);
        QSignalSpy changedId(&model, &TimerModel::timerChanged);
        action(model, id);
        const TimerEntry after = model.entry(id);
        QTEST(after.state, "state");
        QTEST(after.record.type, "typeAfter");
        QCOMPARE(after.record.dateTime, T.addSecs(momentSecs));
        QCOMPARE(changed.size(), changes);
        QCOMPARE(changedId.size(), changes);
        if (changes)
            QCOMPARE(changedId[0][0].value<TimerModel::Id>(), id);
    }

    // Ids are kept by the rest and never handed out again; the list row of a removed timer
    // is told with it; an unknown id changes nothing.
    void addAndRemove()
    {
        TimerModel model;
        QSignalSpy changed(&model, &TimerModel::changed);
        QSignalSpy added(&model, &TimerModel::timerAdded);
        QSignalSpy removed(&model, &TimerModel::timerRemoved);
        const Id a = model.add(entry(TypeTimer, 60, false));
        const Id b = model.add(entry(TypeStopwatch, 0, false));
        model.remove(b);
        model.remove(b);
        model.stop(b);
        model.move(b, {1, 1});
        const Id c = model.add(entry(TypeTimer, 90, false));
        QCOMPARE(model.ids(), (QList{a, c}));
        QVERIFY(c != b && !model.contains(b) && model.indexOf(c) == 1);
        QCOMPARE(added.size(), 3);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed[0][0].value<TimerModel::Id>(), b);
        QCOMPARE(removed[0][1].value<qsizetype>(), qsizetype(1));
        QCOMPARE(changed.size(), 4);
    }
};

TIDRA_RULES_TEST_MAIN(TestTimerModel)
#include "tst_timermodel.moc"
