// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmModel.h"

#include "common/Clock.h"

#include <QCoreApplication>

namespace td {

namespace {

qint64 saturatingAdd(qint64 a, qint64 b)
{
    if (a == AlarmModel::Never)
        return a;
    return (b > 0 && a > AlarmModel::Never - b) ? AlarmModel::Never : a + b;
}

/// The moment a firing alarm stands for: its latest occurrence, or the
/// postponed moment when that came later.
QDateTime dueMoment(const AlarmRecord& record, qint64 fireMsecs, const QDateTime& now)
{
    const QDateTime fire = QDateTime::fromMSecsSinceEpoch(fireMsecs);
    const QDateTime last = lastAlarmTime(record, now);
    return last.isValid() && last > fire ? last : fire;
}

} // namespace

qint64 Alarm::fireMsecs() const
{
    return reminder.pending() ? saturatingAdd(baseMsecs, reminder.delaySecs * 1000) : baseMsecs;
}

qint64 Alarm::nextShowMsecs() const
{
    return std::min(record.enabled ? fireMsecs() : AlarmModel::Never, reminder.atMsecs);
}

AlarmModel::AlarmModel(QObject* parent) : QObject(parent) {}

QString AlarmModel::fullMessage()
{
    return tr("Tidra keeps at most %L1 alarms. Delete some alarms you no longer need, then add "
              "this one again.")
        .arg(maxAlarms);
}

const Alarm* AlarmModel::find(quint64 id) const
{
    return const_cast<AlarmModel*>(this)->findMutable(id);
}

Alarm* AlarmModel::findMutable(quint64 id)
{
    for (QList<Alarm>* list : {&m_listed, &m_unlisted}) {
        for (Alarm& alarm : *list) {
            if (alarm.id == id)
                return &alarm;
        }
    }
    return nullptr;
}

int AlarmModel::rowOf(quint64 id) const
{
    for (int row = 0; row < m_listed.size(); ++row) {
        if (m_listed.at(row).id == id)
            return row;
    }
    return -1;
}

quint64 AlarmModel::idAt(int row) const
{
    return row >= 0 && row < m_listed.size() ? m_listed.at(row).id : 0;
}

void AlarmModel::setBase(Alarm& alarm, const QDateTime& base)
{
    alarm.baseMsecs = base.isValid() && isSound(alarm.record) ? base.toMSecsSinceEpoch() : Never;
}

void AlarmModel::touch(const Alarm& alarm, bool saved)
{
    emit alarmChanged(alarm.id);
    if (saved && alarm.listed)
        emit changed();
}

quint64 AlarmModel::add(const AlarmRecord& record, const QDateTime& exact, const Reminder& reminder)
{
    if (full())
        return 0;
    Alarm alarm;
    alarm.id = m_nextId++;
    alarm.record = record;
    alarm.reminder = reminder;
    setBase(alarm, exact.isValid() ? exact : alarmMoment(record));
    m_listed.append(alarm);
    emit added(int(m_listed.size()) - 1);
    touch(alarm, true);
    return alarm.id;
}

quint64 AlarmModel::addUnlisted(const AlarmRecord& record)
{
    Alarm alarm;
    alarm.id = m_nextId++;
    alarm.record = record;
    alarm.listed = false;
    m_unlisted.append(alarm);
    return alarm.id;
}

bool AlarmModel::replace(quint64 id, const AlarmRecord& record)
{
    Alarm* alarm = findMutable(id);
    if (!alarm)
        return false;
    const QString uid = alarm->record.uid;
    alarm->record = record;
    if (alarm->record.uid.isEmpty())
        alarm->record.uid = uid;
    if (!record.enabled)
        alarm->reminder = Reminder();
    setBase(*alarm, alarmMoment(record));
    touch(*alarm, true);
    return true;
}

bool AlarmModel::setUid(quint64 id, const QString& uid)
{
    Alarm* alarm = findMutable(id);
    if (!alarm)
        return false;
    alarm->record.uid = uid;
    touch(*alarm, true);
    return true;
}

bool AlarmModel::remove(quint64 id)
{
    const int row = rowOf(id);
    if (row >= 0) {
        m_listed.removeAt(row);
        emit removed(row, id);
        emit changed();
        return true;
    }
    for (qsizetype i = 0; i < m_unlisted.size(); ++i) {
        if (m_unlisted.at(i).id == id) {
            m_unlisted.removeAt(i);
            emit removed(-1, id);
            return true;
        }
    }
    return false;
}

bool AlarmModel::removeUndoably(quint64 id)
{
    const int row = rowOf(id);
    if (!m_deleted.take(m_listed, row))
        return false;
    emit removed(row, id);
    emit changed();
    emit undoChanged();
    return true;
}

quint64 AlarmModel::undoRemove()
{
    if (!canUndoRemove() || full())
        return 0;
    const int row = int(m_deleted.restore(m_listed));
    // Its pop-up went with it.
    m_listed[row].ringing = false;
    emit added(row);
    touch(m_listed.at(row), true);
    emit undoChanged();
    return m_listed.at(row).id;
}

void AlarmModel::dropUndo()
{
    if (!canUndoRemove())
        return;
    m_deleted.clear();
    emit undoChanged();
}

void AlarmModel::clear()
{
    dropUndo();
    while (!m_unlisted.isEmpty())
        remove(m_unlisted.constLast().id);
    while (!m_listed.isEmpty())
        remove(m_listed.constLast().id);
}

AlarmModel::Postponed AlarmModel::postpone(quint64 id, qint64 seconds, RingShow show)
{
    Alarm* alarm = findMutable(id);
    if (!alarm)
        return Postponed::NoSuchAlarm;
    const QDateTime current = now();
    const QDateTime next = nextAlarmTime(alarm->record, current);
    const QDateTime reminder = current.addSecs(seconds);
    if (next.isValid() && !(reminder < next))
        return Postponed::NextComesFirst;
    // The start of the minute, taken off the moment itself: a local date and
    // time would pick the later of the two in the repeated autumn hour.
    const QTime t = reminder.time();
    alarm->reminder.atMsecs = reminder.toMSecsSinceEpoch() - (t.second() * 1000 + t.msec());
    alarm->reminder.show = show;
    alarm->reminder.delaySecs = seconds;
    touch(*alarm, true);
    return Postponed::Yes;
}

void AlarmModel::setRinging(quint64 id, bool ringing, bool deleteSpent)
{
    Alarm* alarm = findMutable(id);
    if (!alarm)
        return;
    if (alarm->ringing != ringing) {
        alarm->ringing = ringing;
        touch(*alarm, false);
    }
    if (ringing || alarm->reminder.pending())
        return;
    if (!alarm->listed || (deleteSpent && !alarm->record.enabled))
        remove(id);
}

bool AlarmModel::fireOne(Alarm& alarm, qint64 nowMsecs, const QDateTime& now, bool notify,
                         QList<Ring>& rings)
{
    // Strictly after: an alarm due at this very millisecond fires on the next round.
    if (alarm.listed && alarm.record.enabled && nowMsecs > alarm.fireMsecs()) {
        const QDateTime due = dueMoment(alarm.record, alarm.fireMsecs(), now);
        // Missed occurrences are not rung one by one: the base moves past now.
        const QDateTime next = nextAlarmTime(alarm.record, now);
        moveToOccurrence(alarm.record, next, now);
        setBase(alarm, alarm.record.enabled ? next : QDateTime());
        alarm.lastDue = due;
        rings.append({alarm.id, notify ? RingShow::Notification : RingShow::Popup, false, due});
        return true;
    }
    // Reminders of spent alarms come too: a one-time alarm can be postponed.
    if (nowMsecs > alarm.reminder.atMsecs) {
        const Reminder reminder = alarm.reminder;
        alarm.reminder = Reminder();
        // One still showing takes its reminder without showing or ringing again.
        if (!alarm.ringing) {
            alarm.lastDue = QDateTime::fromMSecsSinceEpoch(reminder.atMsecs);
            rings.append({alarm.id, reminder.show, true, alarm.lastDue});
        }
        return true;
    }
    return false;
}

void AlarmModel::fire(const QDateTime& now, bool notify, AlarmOutput& output)
{
    const qint64 nowMsecs = now.toMSecsSinceEpoch();
    QList<Ring> rings;
    QList<quint64> touched;
    for (QList<Alarm>* list : {&m_listed, &m_unlisted}) {
        for (Alarm& alarm : *list) {
            if (fireOne(alarm, nowMsecs, now, notify, rings))
                touched.append(alarm.id);
        }
    }
    if (touched.isEmpty())
        return;
    for (quint64 id : std::as_const(touched)) {
        if (const Alarm* alarm = find(id))
            touch(*alarm, true);
    }
    if (!rings.isEmpty())
        output.ring(rings);
}

qint64 AlarmModel::nextDeadline() const
{
    qint64 next = Never;
    for (const Alarm& alarm : m_listed)
        next = std::min(next, alarm.nextShowMsecs());
    for (const Alarm& alarm : m_unlisted)
        next = std::min(next, alarm.reminder.atMsecs);
    return next;
}

} // namespace td
