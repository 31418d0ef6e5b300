// SPDX-License-Identifier: GPL-3.0-or-later
// Pause, laps and restart of a count, and how the Timers file keeps them.
#include "common/Clock.h"
#include "storage/EventFiles.h"
#include "tests/common/RulesSupport.h"
#include "timers/TimerMath.h"
#include "timers/TimerModel.h"

#include <QBuffer>

using namespace td;
using State = TimerState;

namespace {

const QDateTime T = test::at("2026-12-07 10:00:00");

using Id = TimerModel::Id;
using Step = void (*)(TimerModel&, Id);
const Step pause = [](TimerModel& m, Id id) { m.pause(id); };
const Step resume = [](TimerModel& m, Id id) { m.resume(id); };
const Step lap = [](TimerModel& m, Id id) { m.lap(id); };
const Step restart = [](TimerModel& m, Id id) { m.restart(id); };
const Step reset = [](TimerModel& m, Id id) { m.reset(id); };
const Step stop = [](TimerModel& m, Id id) { m.stop(id); };
const Step finish = [](TimerModel& m, Id) { m.finishDue(); };

/// A step `afterMs` after the one before.
struct Move
{
    int afterMs;
    Step step;
};

TimerEntry timer(int type, int endSecs, qint64 spanSecs = 0)
{
    TimerEntry e;
    e.record = TimerRecord("T", type, T.addSecs(endSecs));
    e.record.spanSecs = spanSecs;
    return e;
}

} // namespace

Q_DECLARE_METATYPE(TimerEntry)
Q_DECLARE_METATYPE(QList<Move>)

class TestTimerCount : public QObject
{
    Q_OBJECT

private slots:
    void init() { clock::setFixed(T); }
    void cleanupTestCase() { clock::reset(); }

    // Time paused is not counted; a clock set back while paused counts nothing
    // backwards; a paused countdown does not end; a new count forgets old laps.
    void steps_data()
    {
        QTest::addColumn<TimerEntry>("start");
        QTest::addColumn<QList<Move>>("moves");
        QTest::addColumn<State>("state");
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<QList<qint64>>("laps");
        const TimerEntry watch = timer(TypeStopwatch, 0);
        const TimerEntry tea = timer(TypeTimer, 60, 60);
        QTest::newRow("countdown paused 10 s ends 10 s later")
            << tea << QList<Move>{{5000, pause}, {10000, resume}} << State::CountingDown
            << T.addSecs(70) << false << QList<qint64>{};
        QTest::newRow("paused past its end: still counting down")
            << tea << QList<Move>{{1000, pause}, {120000, finish}} << State::CountingDown
            << T.addSecs(60) << true << QList<qint64>{};
        QTest::newRow("clock set back while paused")
            << tea << QList<Move>{{5000, pause}, {-60000, resume}} << State::CountingDown
            << T.addSecs(60) << false << QList<qint64>{};
        QTest::newRow("laps count only the running time")
            << watch << QList<Move>{{1500, lap}, {0, pause}, {60000, lap}, {0, resume}, {250, lap}}
            << State::CountingUp << T.addSecs(60) << false << QList<qint64>{1500, 1500, 1750};
        QTest::newRow("no laps while counting down")
            << tea << QList<Move>{{1000, lap}} << State::CountingDown << T.addSecs(60) << false
            << QList<qint64>{};
        QTest::newRow("reset forgets laps and pause")
            << watch << QList<Move>{{1000, lap}, {0, pause}, {2000, reset}} << State::CountingUp
            << T.addSecs(3) << false << QList<qint64>{};
        QTest::newRow("stop while paused keeps the running time")
            << watch << QList<Move>{{1000, pause}, {9000, stop}} << State::Finished << T.addSecs(9)
            << false << QList<qint64>{};
        QTest::newRow("finished pauses no more")
            << tea << QList<Move>{{61000, finish}, {0, pause}} << State::Finished << T.addSecs(60)
            << false << QList<qint64>{};
        QTest::newRow("restart runs the span again from now")
            << tea << QList<Move>{{61000, finish}, {4000, restart}} << State::CountingDown
            << T.addSecs(125) << false << QList<qint64>{};
        QTest::newRow("restart while paused")
            << tea << QList<Move>{{1000, pause}, {1000, restart}} << State::CountingDown
            << T.addSecs(62) << false << QList<qint64>{};
        QTest::newRow("no restart without a span")
            << timer(TypeTimer, 60) << QList<Move>{{61000, finish}, {0, restart}} << State::Finished
            << T.addSecs(60) << false << QList<qint64>{};
    }
    void steps()
    {
        QFETCH(TimerEntry, start);
        QFETCH(QList<Move>, moves);
        TimerModel model;
        const Id id = model.add(start);
        for (const Move& m : moves) {
            clock::advance(m.afterMs);
            m.step(model, id);
        }
        const TimerEntry e = model.entry(id);
        QTEST(e.state, "state");
        QTEST(e.record.dateTime, "moment");
        QTEST(e.paused(), "paused");
        QTEST(e.laps, "laps");
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

    // Paused before its end and read back after it: still paused, not finished.
    void pausedBeforeItsEndStaysWhenLoaded()
    {
        TimerEntry e = timer(TypeTimer, -60, 600);
        e.pausedAt = T.addSecs(-120);
        TimerModel model;
        QCOMPARE(model.entry(model.add(e)).state, State::CountingDown);
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

    // Pause, span and laps come back from the file; a damaged list keeps the laps
    // before the damage, and a finished timer is never read as paused.
    void stored_data()
    {
        QTest::addColumn<QByteArray>("pauseLine");
        QTest::addColumn<QByteArray>("lapsLine");
        QTest::addColumn<int>("state");
        QTest::addColumn<QDateTime>("pausedAt");
        QTest::addColumn<QList<qint64>>("laps");
        const QDateTime paused = test::at("2026-12-07 10:00:05.500");
        QTest::newRow("paused with laps")
            << QByteArray("2026-12-07T09:00:05.500Z") << QByteArray("1500,3000")
            << int(State::CountingUp) << paused << QList<qint64>{1500, 3000};
        QTest::newRow("damaged laps")
            << QByteArray("-") << QByteArray("1500,x,3000") << int(State::CountingUp) << QDateTime()
            << QList<qint64>{1500};
        QTest::newRow("finished is not paused")
            << QByteArray("2026-12-07T09:00:05.500Z") << QByteArray("-") << int(State::Finished)
            << QDateTime() << QList<qint64>{};
    }
    void stored()
    {
        QFETCH(QByteArray, pauseLine);
        QFETCH(QByteArray, lapsLine);
        QFETCH(int, state);
        const QByteArray file = "Timer\nRun\n1\n2026\n07\n12\n10\n00\n0\n0\n1\n1\n1\n1\n0\n0\n1\n"
                                "640\n300\n0\n0\n" +
                                QByteArray::number(state) + '\n' + pauseLine + "\n90\n" + lapsLine +
                                "\n-\nTimer end\n";
        QBuffer in;
        in.setData(file);
        in.open(QIODevice::ReadOnly);
        const QList<TimerEntry> read = events::readTimers(in);
        QCOMPARE(read.size(), 1);
        QTEST(read.first().pausedAt, "pausedAt");
        QTEST(read.first().laps, "laps");
        QCOMPARE(read.first().record.spanSecs, 0); // a stopwatch has no span
        QCOMPARE(events::formatTimers(read).count('\n'), file.count('\n'));
    }

    void lapText_data()
    {
        QTest::addColumn<qint64>("msecs");
        QTest::addColumn<QString>("text");
        QTest::newRow("hundredths cut") << qint64(90509) << "0:01:30.50";
        QTest::newRow("past a day") << qint64(25 * 3600000LL + 1000) << "25:00:01.00";
        QTest::newRow("negative") << qint64(-5) << "0:00:00.00";
    }
    void lapText()
    {
        QFETCH(qint64, msecs);
        QTEST(timermath::lapText(msecs), "text");
    }
};

TIDRA_RULES_TEST_MAIN(TestTimerCount)
#include "tst_timercount.moc"
