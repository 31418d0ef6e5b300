// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/LastDeletion.h"
#include "timers/TimerRecord.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPoint>
#include <algorithm>

namespace td {

/// Where a timer stands.
enum class TimerState {
    CountingDown, ///< a countdown before its end
    Finished,     ///< stopped: shows 0:00:00 and counts no more
    CountingUp,   ///< a stopwatch, or a countdown that goes on after its end
};

/// One user timer as it is kept and stored: its record, its state and what is
/// kept of its window.
struct TimerEntry
{
    TimerRecord record;
    TimerState state = TimerState::CountingDown;
    bool visible = false;
    QPoint centre;
    /// When the count was paused; null while it runs. The time paused is not
    /// counted: resuming moves the record's moment on by it.
    QDateTime pausedAt;
    /// A count up's lap times: milliseconds counted at each lap, oldest first.
    QList<qint64> laps;

    bool paused() const { return pausedAt.isValid(); }
    /// Element by element: QList's own comparison hands memcmp a null pointer
    /// when one empty list holds storage and the other none.
    static bool sameLaps(const QList<qint64>& a, const QList<qint64>& b)
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
    }
    /// The moment the count stands at: `now`, or the pause.
    QDateTime countedAt(const QDateTime& now) const { return paused() ? pausedAt : now; }

    bool operator==(const TimerEntry& o) const
    {
        return record == o.record && state == o.state && visible == o.visible &&
               centre == o.centre && pausedAt == o.pausedAt && sameLaps(laps, o.laps);
    }
    bool operator!=(const TimerEntry& o) const { return !(*this == o); }
};

/// The state a timer stands in at `now` when nothing else is known of it: a
/// countdown whose end has passed goes on counting only when its record asks
/// for it. A finished timer stays finished.
TimerState settledState(const TimerEntry& entry, const QDateTime& now);

/// The one owner of the user's timers (not the work windows): windows show
/// an entry and send the user's actions here. Every change worth saving emits
/// changed() once; views follow the per-timer signals. Ids are stable for the
/// life of the model and never reused.
class TimerModel : public QObject
{
    Q_OBJECT

public:
    using Id = int;

    explicit TimerModel(QObject* parent = nullptr);

    /// The timers in list order.
    const QList<Id>& ids() const { return m_order; }
    qsizetype count() const { return m_order.size(); }
    bool contains(Id id) const { return m_entries.contains(id); }
    /// The list row of a timer, or -1.
    qsizetype indexOf(Id id) const { return m_order.indexOf(id); }
    /// A copy of the entry; an empty one for an unknown id.
    TimerEntry entry(Id id) const { return m_entries.value(id); }
    /// Every entry in list order, as the Timers file stores them.
    QList<TimerEntry> entries() const;

    /// Appends a timer, made by the user or loaded; its state is settled at
    /// td::now() (a passed end never finishes with a pop-up here).
    Id add(TimerEntry entry);
    /// The record the editor returned: a running count up edited into a
    /// stopwatch keeps its start; the state follows the new record.
    void replace(Id id, const TimerRecord& edited);
    void remove(Id id);
    /// The user's deletion: the timer is kept, count and window place, so
    /// that undoRemove() can bring it back under its id. Only the last one is kept.
    void removeUndoably(Id id);
    bool canUndoRemove() const { return m_deleted.pending(); }
    /// Puts the last deleted timer back at its row as it was; the id, or 0 for none.
    Id undoRemove();
    /// Forgets the kept deletion: it can no longer be undone.
    void dropUndo();
    /// A timer that counts up or finished counts up from now, as a stopwatch.
    void reset(Id id);
    /// Stops a counting timer: a countdown ends now, a stopwatch keeps its start.
    void stop(Id id);
    /// Holds a running count where it stands; the time paused is not counted.
    void pause(Id id);
    void resume(Id id);
    /// A "count for" timer runs its span again from now, whatever its state.
    /// Returns false for a timer without a span.
    bool restart(Id id);
    /// Keeps the time a count up stands at as a lap. Returns false when the
    /// timer does not count up or has maxLaps laps.
    bool lap(Id id);

    static constexpr int maxLaps = 999;
    void setVisible(Id id, bool visible);
    void move(Id id, const QPoint& centre);
    /// Every countdown whose end is past at td::now() (an end equal to now is
    /// not past) finishes: it counts on when its record asks, else stops.
    /// Returns those that finished, in list order.
    QList<Id> finishDue();

signals:
    /// Something worth saving changed.
    void changed();
    void timerAdded(td::TimerModel::Id id);
    void timerRemoved(td::TimerModel::Id id, qsizetype row);
    void timerChanged(td::TimerModel::Id id);
    /// A countdown reached its end (after timerChanged told its new state).
    void timerFinished(td::TimerModel::Id id);
    /// canUndoRemove() changed.
    void undoChanged();

private:
    /// Takes a timer off the list; `keep`: for undoRemove().
    void erase(Id id, bool keep);
    /// Stores `entry` for `id` and tells of it, when it differs.
    void update(Id id, const TimerEntry& entry);
    /// Ends a pause in `e`, moving its moment on by the time held.
    static void resumed(TimerEntry& e);

    QList<Id> m_order;
    QHash<Id, TimerEntry> m_entries;
    Id m_nextId = 1;
    LastDeletion<Id> m_deleted;
    TimerEntry m_deletedEntry;
};

} // namespace td
