// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmModel.h"
#include "common/Clock.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/RulesSupport.h"
#include "timers/TimerModel.h"

#include <QSignalSpy>

using namespace td;

namespace {

const QDateTime T(QDate(2026, 12, 7), QTime(10, 25, 21));

// One line per listed item with what an undo must bring back: id, reminder and next
// moment of an alarm; id, laps, pause and window of a timer.
QStringList items(const AlarmModel& m)
{
    QStringList out;
    for (const Alarm& a : m.alarms())
        out << QString("%1 %2 %3").arg(a.id).arg(a.reminder.atMsecs).arg(a.baseMsecs);
    return out;
}
QStringList items(const TimerModel& m)
{
    QStringList out;
    for (const TimerModel::Id id : m.ids()) {
        const TimerEntry e = m.entry(id);
        out << QString("%1 %2 %3 %4").arg(id).arg(e.laps.size()).arg(e.paused()).arg(e.centre.x());
    }
    return out;
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

    // Rows deleted one after another from a list of three, then undos: the first
    // positions of what is left, and whether an undo is still offered.
    static void table()
    {
        QTest::addColumn<QList<int>>("deleted");
        QTest::addColumn<int>("undos");
        QTest::addColumn<QList<int>>("left");
        QTest::addColumn<bool>("offered");
        QTest::newRow("not undone") << QList<int>{1} << 0 << QList<int>{0, 2} << true;
        QTest::newRow("second deletion replaces the first")
            << QList<int>{0, 0} << 1 << QList<int>{1, 2} << false;
        QTest::newRow("undo after undo") << QList<int>{1} << 2 << QList<int>{0, 1, 2} << false;
    }
    template <class Model, class Remove, class Undo>
    void check(Model& model, Remove remove, Undo undo)
    {
        QFETCH(QList<int>, deleted);
        QFETCH(int, undos);
        QFETCH(QList<int>, left);
        const QStringList before = items(model);
        QSignalSpy changed(&model, &Model::changed); // what the store saves on
        for (int row : deleted)
            remove(row);
        int undone = 0;
        for (int i = 0; i < undos; ++i)
            undone += undo() ? 1 : 0;
        QStringList expected;
        for (int i : left)
            expected << before.at(i);
        QCOMPARE(items(model), expected);
        QCOMPARE(changed.size(), deleted.size() + undone);
        QTEST(model.canUndoRemove(), "offered");
    }

private slots:
    void init() { clock::setFixed(T); }
    void cleanupTestCase() { clock::reset(); }

    void alarms_data() { table(); }
    void alarms()
    {
        AlarmModel model;
        for (int i = 1; i <= 3; ++i)
            model.add(td::test::once(T.date(), T.time().addSecs(3600 * i)));
        QCOMPARE(model.postpone(model.idAt(1), 600, RingShow::Popup), AlarmModel::Postponed::Yes);
        model.setRinging(model.idAt(1), true, false);
        check(
            model, [&](int row) { QVERIFY(model.removeUndoably(model.idAt(row))); },
            [&] {
                const quint64 id = model.undoRemove();
                // Its pop-up went with it: still ringing, it would never show its reminder.
                return id && !model.find(id)->ringing;
            });
    }

    void timers_data() { table(); }
    void timers()
    {
        TimerModel model;
        TimerEntry watch{
            TimerRecord("T", TypeStopwatch, T), TimerState::CountingUp, true, {}, {}, {}};
        for (int i = 0; i < 3; ++i) {
            watch.centre = QPoint(10 * i, 20);
            model.add(watch);
        }
        model.lap(model.ids().at(1));
        model.pause(model.ids().at(1));
        check(
            model, [&](int row) { model.removeUndoably(model.ids().at(row)); },
            [&] { return model.undoRemove() != 0; });
    }
};

TIDRA_RULES_TEST_MAIN(TestUndo)
#include "tst_undo.moc"
