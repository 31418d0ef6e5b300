// SPDX-License-Identifier: GPL-3.0-or-later
#include "timers/TimerModel.h"

#include "common/Clock.h"
#include "timers/TimerMath.h"

namespace td {

TimerState settledState(const TimerEntry& e, const QDateTime& now)
{
    if (e.state == TimerState::Finished)
        return TimerState::Finished;
    if (e.record.type == TypeStopwatch)
        return TimerState::CountingUp;
    // Equal moments are not past: the countdown ends on the first tick after.
    if (!(e.record.dateTime < e.countedAt(now)))
        return TimerState::CountingDown;
    return e.record.continueExpired ? TimerState::CountingUp : TimerState::Finished;
}

TimerModel::TimerModel(QObject* parent) : QObject(parent) {}

QList<TimerEntry> TimerModel::entries() const
{
    QList<TimerEntry> out;
    out.reserve(m_order.size());
    for (const Id id : m_order)
        out << m_entries.value(id);
    return out;
}

TimerModel::Id TimerModel::add(TimerEntry entry)
{
    entry.state = settledState(entry, td::now());
    const Id id = m_nextId++;
    m_order << id;
    m_entries.insert(id, entry);
    emit timerAdded(id);
    emit changed();
    return id;
}

void TimerModel::update(Id id, const TimerEntry& entry)
{
    auto it = m_entries.find(id);
    if (it == m_entries.end() || *it == entry)
        return;
    *it = entry;
    emit timerChanged(id);
    emit changed();
}

void TimerModel::replace(Id id, const TimerRecord& edited)
{
    if (!contains(id))
        return;
    TimerEntry e = m_entries.value(id);
    // A count going on is not restarted by a change of its name or looks.
    const bool keepStart = e.state == TimerState::CountingUp && edited.type == TypeStopwatch;
    const QDateTime start = e.record.dateTime;
    e.record = edited;
    if (keepStart) {
        e.record.dateTime = start;
    } else {
        // A new count: its own laps and pause only.
        e.pausedAt = {};
        e.laps = {};
    }
    TimerEntry fresh = e;
    fresh.state = TimerState::CountingDown;
    e.state = settledState(fresh, td::now());
    update(id, e);
}

void TimerModel::remove(Id id)
{
    erase(id, false);
}

void TimerModel::removeUndoably(Id id)
{
    erase(id, true);
}

void TimerModel::erase(Id id, bool keep)
{
    const qsizetype row = indexOf(id);
    if (row < 0)
        return;
    if (keep) {
        m_deleted.take(m_order, row);
        m_deletedEntry = m_entries.take(id);
    } else {
        m_order.removeAt(row);
        m_entries.remove(id);
    }
    emit timerRemoved(id, row);
    emit changed();
    if (keep)
        emit undoChanged();
}

TimerModel::Id TimerModel::undoRemove()
{
    if (!canUndoRemove())
        return 0;
    const Id id = m_deleted.item();
    m_entries.insert(id, m_deletedEntry);
    m_deleted.restore(m_order);
    emit timerAdded(id);
    emit changed();
    emit undoChanged();
    return id;
}

void TimerModel::dropUndo()
{
    if (!canUndoRemove())
        return;
    m_deleted.clear();
    emit undoChanged();
}

void TimerModel::reset(Id id)
{
    TimerEntry e = m_entries.value(id);
    if (e.state == TimerState::CountingDown)
        return;
    e.record.type = TypeStopwatch;
    e.record.dateTime = td::now();
    e.state = TimerState::CountingUp;
    e.pausedAt = {};
    e.laps = {};
    update(id, e);
}

void TimerModel::stop(Id id)
{
    TimerEntry e = m_entries.value(id);
    if (e.state == TimerState::Finished)
        return;
    resumed(e);
    if (e.state == TimerState::CountingDown)
        e.record.dateTime = td::now();
    e.state = TimerState::Finished;
    update(id, e);
}

void TimerModel::resumed(TimerEntry& e)
{
    if (!e.paused())
        return;
    // A clock set back during the pause counts no time backwards.
    const qint64 held = qMax<qint64>(0, e.pausedAt.msecsTo(td::now()));
    e.record.dateTime = e.record.dateTime.addMSecs(held);
    e.pausedAt = {};
}

void TimerModel::pause(Id id)
{
    TimerEntry e = m_entries.value(id);
    if (!contains(id) || e.state == TimerState::Finished || e.paused())
        return;
    e.pausedAt = td::now();
    update(id, e);
}

void TimerModel::resume(Id id)
{
    TimerEntry e = m_entries.value(id);
    resumed(e);
    update(id, e);
}

bool TimerModel::restart(Id id)
{
    TimerEntry e = m_entries.value(id);
    if (!contains(id) || e.record.type != TypeTimer || e.record.spanSecs <= 0)
        return false;
    e.record.dateTime = timermath::spanEnd(td::now(), e.record.spanSecs);
    e.state = TimerState::CountingDown;
    e.pausedAt = {};
    e.laps = {};
    update(id, e);
    return true;
}

bool TimerModel::lap(Id id)
{
    TimerEntry e = m_entries.value(id);
    if (e.state != TimerState::CountingUp || e.laps.size() >= maxLaps)
        return false;
    e.laps << e.record.dateTime.msecsTo(e.countedAt(td::now()));
    update(id, e);
    return true;
}

void TimerModel::setVisible(Id id, bool visible)
{
    TimerEntry e = m_entries.value(id);
    e.visible = visible;
    update(id, e);
}

void TimerModel::move(Id id, const QPoint& centre)
{
    TimerEntry e = m_entries.value(id);
    e.centre = centre;
    update(id, e);
}

QList<TimerModel::Id> TimerModel::finishDue()
{
    const QDateTime now = td::now();
    QList<Id> done;
    for (const Id id : std::as_const(m_order)) {
        TimerEntry& e = m_entries[id];
        if (e.state != TimerState::CountingDown || e.paused() || !(e.record.dateTime < now))
            continue;
        e.state = e.record.continueExpired ? TimerState::CountingUp : TimerState::Finished;
        done << id;
    }
    for (const Id id : std::as_const(done)) {
        emit timerChanged(id);
        emit timerFinished(id);
    }
    if (!done.isEmpty())
        emit changed();
    return done;
}

} // namespace td
