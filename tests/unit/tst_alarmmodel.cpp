// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmModel.h"
#include "common/Clock.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/RulesSupport.h"

#include <QSignalSpy>

using td::AlarmModel;
using td::AlarmRecord;
using td::Ring;
using td::RingShow;
using td::test::every;
using td::test::once;

Q_DECLARE_METATYPE(td::AlarmRecord)
Q_DECLARE_METATYPE(td::RingShow)

namespace {

const QDate day = td::test::monday;

/// Monday 6 May 2024 at `time`, local.
QDateTime monday(const QTime& time)
{
    return QDateTime(day, time);
}

/// What an output was handed, round by round.
struct RecordingOutput : td::AlarmOutput
{
    QList<QList<Ring>> rounds;
    void ring(const QList<Ring>& rings) override { rounds << rings; }
};

AlarmRecord switchedOff(AlarmRecord r)
{
    r.enabled = false;
    return r;
}

const AlarmRecord hourly = every(1, td::Hours, day, QTime(11, 0));

/// Put off for five minutes as a pop-up at `at`; its id, 0 when refused.
quint64 putOff(AlarmModel& model, quint64 id, const QTime& at = QTime(10, 0))
{
    td::clock::setFixed(monday(at));
    return model.postpone(id, 300, RingShow::Popup) == AlarmModel::Postponed::Yes ? id : 0;
}

} // namespace

class TestAlarmModel : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { td::clock::reset(); }

    void firing_data()
    {
        QTest::addColumn<AlarmRecord>("alarm");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("notify");
        QTest::addColumn<QDateTime>("due");  // null: nothing rings
        QTest::addColumn<QDateTime>("next"); // the base afterwards; null: spent
        const QDateTime ten = monday(QTime(10, 0));
        QTest::newRow("at its very millisecond")
            << once(day, QTime(10, 0)) << ten << false << QDateTime() << ten;
        QTest::newRow("once, as a notification, then spent")
            << once(day, QTime(10, 0)) << ten.addMSecs(1) << true << ten << QDateTime();
        QTest::newRow("hourly, long past: once, for the latest")
            << every(1, td::Hours, QDate(2024, 1, 6), QTime(8, 0)) << ten.addSecs(1) << false << ten
            << monday(QTime(11, 0));
        QTest::newRow("switched off") << switchedOff(once(day, QTime(10, 0))) << ten.addSecs(60)
                                      << false << QDateTime() << ten;
    }
    void firing()
    {
        QFETCH(AlarmRecord, alarm);
        QFETCH(QDateTime, now);
        QFETCH(bool, notify);
        QFETCH(QDateTime, due);
        QFETCH(QDateTime, next);
        AlarmModel model;
        const quint64 id = model.add(alarm);
        QSignalSpy saved(&model, &AlarmModel::changed);
        RecordingOutput output;
        model.fire(now, notify, output);
        model.fire(now, notify, output); // a second round rings nothing new
        QCOMPARE(saved.size(), int(due.isValid()));
        QCOMPARE(output.rounds.size(), saved.size());
        const Ring ring = output.rounds.value(0).value(0);
        const RingShow show = notify ? RingShow::Notification : RingShow::Popup;
        QVERIFY(!due.isValid() || (ring.id == id && ring.due == due && ring.show == show));
        const td::Alarm* fired = model.find(id);
        QCOMPARE(fired->record.enabled, alarm.enabled && next.isValid());
        QVERIFY(!fired->record.enabled || fired->fireMsecs() == next.toMSecsSinceEpoch());
    }

    // Put off at `putOffAt`, as `show`: refused when the next occurrence comes first (a spent
    // alarm has none, so no limit); the reminder rings at the start of its minute, as asked. A
    // finished timer's alarm, not in the list, is put off alike but not saved.
    void remindLater_data()
    {
        QTest::addColumn<AlarmRecord>("alarm");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<QDateTime>("putOffAt");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<RingShow>("show");
        QTest::addColumn<QDateTime>("reminder"); // null: refused
        const QDateTime tenAnd40 = monday(QTime(10, 0, 40));
        const AlarmRecord spent = switchedOff(once(day, QTime(10, 0)));
        QTest::newRow("from a notification, as one, seconds dropped")
            << hourly << true << tenAnd40 << 300 << RingShow::Notification << monday(QTime(10, 5));
        QTest::newRow("reaches the next occurrence: refused")
            << hourly << true << monday(QTime(10, 0)) << 3600 << RingShow::Popup << QDateTime();
        QTest::newRow("spent: no limit, as a pop-up")
            << spent << true << tenAnd40 << 86400 << RingShow::Popup
            << QDateTime(day.addDays(1), QTime(10, 0));
        QTest::newRow("a finished timer's")
            << spent << false << tenAnd40 << 300 << RingShow::Popup << monday(QTime(10, 5));
        const QDateTime autumn(QDate(2024, 10, 27), QTime(0, 40, 30), Qt::UTC);
        QTest::newRow("in the repeated autumn hour")
            << every(1, td::Hours, QDate(2024, 10, 27), QTime(4, 0)) << true << autumn.toLocalTime()
            << 300 << RingShow::Popup << QDateTime(QDate(2024, 10, 27), QTime(0, 45), Qt::UTC);
    }
    void remindLater()
    {
        QFETCH(AlarmRecord, alarm);
        QFETCH(bool, listed);
        QFETCH(QDateTime, putOffAt);
        QFETCH(int, seconds);
        QFETCH(RingShow, show);
        QFETCH(QDateTime, reminder);
        AlarmModel model;
        const quint64 id = listed ? model.add(alarm) : model.addUnlisted(alarm);
        td::clock::setFixed(putOffAt);
        QSignalSpy saved(&model, &AlarmModel::changed);
        QCOMPARE(model.postpone(id, seconds, show), reminder.isValid()
                                                        ? AlarmModel::Postponed::Yes
                                                        : AlarmModel::Postponed::NextComesFirst);
        QCOMPARE(saved.size(), int(listed && reminder.isValid()));
        QCOMPARE(model.find(id)->reminder.pending(), reminder.isValid());
        if (!reminder.isValid())
            return;
        QCOMPARE(model.nextDeadline(), reminder.toMSecsSinceEpoch());
        RecordingOutput output;
        model.fire(reminder, false, output); // due strictly after its moment
        model.fire(reminder.addMSecs(1), false, output);
        QCOMPARE(output.rounds.size(), 1);
        const Ring ring = output.rounds[0].value(0);
        QVERIFY(ring.reminder && ring.id == id && ring.show == show && ring.due == reminder);
        QVERIFY(!model.find(id)->reminder.pending());
        QCOMPARE(model.find(id)->record, alarm); // a reminder leaves the alarm as it was
    }

    // A reminder of a showing alarm is taken silently; due together with the next occurrence
    // (after a suspend), the reminder rings first, the alarm a round later.
    void reminderAndTheAlarm()
    {
        AlarmModel model;
        const quint64 showing = putOff(model, model.add(every(1, td::Hours, day, QTime(12, 0))));
        model.setRinging(showing, true, true);
        const quint64 id = putOff(model, model.add(hourly), QTime(10, 50));
        QVERIFY(showing && id);
        RecordingOutput output;
        model.fire(monday(QTime(11, 0, 1)), false, output);
        model.fire(monday(QTime(11, 0, 1)), false, output);
        QCOMPARE(output.rounds.size(), 2);
        QVERIFY(!model.find(showing)->reminder.pending());
        QCOMPARE(output.rounds[0].size(), 1);
        QVERIFY(output.rounds[0][0].id == id && output.rounds[0][0].reminder);
        QVERIFY(output.rounds[1].value(0).id == id && !output.rounds[1].value(0).reminder);
    }

    // Whether a spent alarm stays once it stops ringing.
    void stopsRinging_data()
    {
        QTest::addColumn<bool>("listed");
        QTest::addColumn<bool>("deleteSpent");
        QTest::addColumn<bool>("reminder");
        QTest::addColumn<bool>("stays");
        QTest::newRow("kept") << true << false << false << true;
        QTest::newRow("deleted") << true << true << false << false;
        QTest::newRow("deleted, a reminder pending") << true << true << true << true;
        QTest::newRow("a finished timer's") << false << false << false << false;
        QTest::newRow("a finished timer's, put off") << false << false << true << true;
    }
    void stopsRinging()
    {
        QFETCH(bool, listed);
        QFETCH(bool, deleteSpent);
        QFETCH(bool, reminder);
        QFETCH(bool, stays);
        AlarmModel model;
        const AlarmRecord spent = switchedOff(hourly);
        const quint64 id = listed ? model.add(spent) : model.addUnlisted(spent);
        QVERIFY(!reminder || putOff(model, id));
        QSignalSpy gone(&model, &AlarmModel::removed);
        model.setRinging(id, true, deleteSpent);
        model.setRinging(id, false, deleteSpent);
        QCOMPARE(model.find(id) != nullptr, stays);
        QCOMPARE(gone.size(), stays ? 0 : 1);
        QCOMPARE(model.count(), listed && stays ? 1 : 0);
    }

    // Switching an alarm off silences its reminder; an edit saves, a ringing does not.
    void editsAndWhatIsSaved()
    {
        AlarmModel model;
        QSignalSpy saved(&model, &AlarmModel::changed);
        const quint64 id = putOff(model, model.add(hourly));
        model.setRinging(id, true, false);
        QCOMPARE(saved.size(), 2);
        const AlarmRecord off = switchedOff(hourly);
        QVERIFY(model.replace(id, off));
        QVERIFY(!model.find(id)->reminder.pending());
        QVERIFY(model.remove(id) && !model.remove(id) && !model.replace(id, off));
        QCOMPARE(saved.size(), 4);
    }

    // The list never takes more than the files can give back.
    void refusesPastTheLimit()
    {
        AlarmModel model;
        const AlarmRecord record = once(day, QTime(10, 0));
        for (int i = 0; i < AlarmModel::maxAlarms; ++i)
            QVERIFY(model.add(record));
        QSignalSpy added(&model, &AlarmModel::added);
        QVERIFY(model.full() && !model.add(record));
        QVERIFY(added.isEmpty() && model.count() == AlarmModel::maxAlarms);
        QVERIFY(model.addUnlisted(record)); // a finished timer still rings
        model.remove(model.idAt(0));
        QVERIFY(model.add(record));
    }

    // A reminder of a spent alarm read back from the files comes as it was set.
    void reminderFromTheFiles()
    {
        AlarmModel model;
        const qint64 at = monday(QTime(10, 35)).toMSecsSinceEpoch();
        const quint64 id = model.add(switchedOff(once(day, QTime(10, 30))), QDateTime(),
                                     td::Reminder{at, RingShow::Notification, 300});
        QCOMPARE(model.find(id)->nextShowMsecs(), at);
        RecordingOutput output;
        model.fire(monday(QTime(11, 0)), false, output);
        QCOMPARE(output.rounds.value(0).value(0).show, RingShow::Notification);
    }
};

TIDRA_RULES_TEST_MAIN(TestAlarmModel)
#include "tst_alarmmodel.moc"
