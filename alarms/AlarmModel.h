// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmRecord.h"
#include "common/LastDeletion.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <limits>

namespace td {

/// How something that rings is shown: as a pop-up, or in the desktop's
/// notification area (or the tray's balloon when there is none).
enum class RingShow { Popup = 0, Notification = 1 };

/// A pending "remind later": when it comes and how it shows. A reminder asked
/// for from a notification comes back as one; from a pop-up, as a pop-up.
struct Reminder
{
    qint64 atMsecs = std::numeric_limits<qint64>::max(); ///< Never: none pending
    RingShow show = RingShow::Popup;
    qint64 delaySecs = 0; ///< keeps the next occurrence from ringing before the reminder

    bool pending() const { return atMsecs != std::numeric_limits<qint64>::max(); }
    bool operator==(const Reminder& o) const
    {
        return atMsecs == o.atMsecs && show == o.show && delaySecs == o.delaySecs;
    }
};

/// One alarm with everything the program knows of it. `listed` is false for
/// the pop-up of a finished timer: it can ring and be put off, but is neither
/// listed nor saved.
struct Alarm
{
    quint64 id = 0;
    AlarmRecord record;
    Reminder reminder;
    bool listed = true;
    bool ringing = false;
    /// The exact next occurrence (the stored date and time cannot tell the
    /// two 02:30s of an autumn night apart); Never when it cannot fire.
    qint64 baseMsecs = std::numeric_limits<qint64>::max();
    /// The moment the last ringing stood for, for the note that it came late.
    QDateTime lastDue;

    /// When the alarm itself is due next, postponement included.
    qint64 fireMsecs() const;
    /// The next moment it shows: the alarm or its pending reminder; Never for none.
    qint64 nextShowMsecs() const;
};

/// What one round of firing rings, in list order; the output decides how much
/// fits on the screen.
struct Ring
{
    quint64 id = 0;
    RingShow show = RingShow::Popup;
    bool reminder = false; ///< a postponed reminder, not the alarm itself
    QDateTime due;         ///< the moment it stands for
    bool sound = true;
};

/// Where rings go: pop-ups, notifications, balloons and sound, implemented by
/// the window layer and replaced by tests. It tells the model what shows
/// through setRinging().
class AlarmOutput
{
public:
    virtual ~AlarmOutput() = default;
    /// Everything that rang in one round; empty rounds are not handed on.
    virtual void ring(const QList<Ring>& rings) = 0;
};

/// The alarms and their state. Every change the user or the clock makes goes
/// through here; windows only show what it holds.
class AlarmModel : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 Never = std::numeric_limits<qint64>::max();
    /// More would not be read back at the next start.
    static constexpr int maxAlarms = 10000;

    enum class Postponed { Yes, NextComesFirst, NoSuchAlarm };

    explicit AlarmModel(QObject* parent = nullptr);

    /// Listed alarms, in list order.
    const QList<Alarm>& alarms() const { return m_listed; }
    int count() const { return int(m_listed.size()); }
    bool full() const { return m_listed.size() >= maxAlarms; }
    /// The message for an alarm refused because the list is full.
    static QString fullMessage();
    /// Null when there is no such alarm (any more).
    const Alarm* find(quint64 id) const;
    int rowOf(quint64 id) const;
    quint64 idAt(int row) const;

    /// Appends a listed alarm; 0 when the list is full. `exact` is the moment
    /// it stands for where the date and time are ambiguous.
    quint64 add(const AlarmRecord& record, const QDateTime& exact = {},
                const Reminder& reminder = {});
    /// A finished timer's alarm: rings at once through the next round.
    quint64 addUnlisted(const AlarmRecord& record);
    /// The user's edit. Switching an alarm off silences a pending reminder. A
    /// record without a uid keeps the alarm's.
    bool replace(quint64 id, const AlarmRecord& record);
    /// Gives the alarm its calendar uid; nothing else changes.
    bool setUid(quint64 id, const QString& uid);
    bool remove(quint64 id);
    void clear();

    /// The user's deletion of a listed alarm: it is kept, reminder and all,
    /// so that undoRemove() can bring it back. Only the last one is kept.
    bool removeUndoably(quint64 id);
    bool canUndoRemove() const { return m_deleted.pending(); }
    /// Puts the last deleted alarm back at its row with its state; its id, or
    /// 0 when there is none or the list is full.
    quint64 undoRemove();
    /// Forgets the kept deletion: it can no longer be undone.
    void dropUndo();

    /// Puts the alarm off by `seconds` from now, to the start of that minute.
    /// Refused when the alarm's next occurrence comes first; a spent alarm has
    /// no next occurrence and so no limit.
    Postponed postpone(quint64 id, qint64 seconds, RingShow show);

    /// The pop-up or notification appeared or went. A spent alarm that is
    /// done (`deleteSpent`, nothing pending) leaves when it stops ringing, and
    /// so does a finished timer's alarm.
    void setRinging(quint64 id, bool ringing, bool deleteSpent);

    /// Fires what is due strictly before `now`: alarms move on to their next
    /// occurrence (missed ones are not rung one by one), reminders are taken.
    /// `notify`: alarms themselves show as notifications.
    void fire(const QDateTime& now, bool notify, AlarmOutput& output);
    /// The earliest moment anything fires, or Never.
    qint64 nextDeadline() const;

signals:
    void added(int row);
    void removed(int row, quint64 id);
    /// The alarm's record, reminder or ringing changed.
    void alarmChanged(quint64 id);
    /// Something worth saving changed.
    void changed();
    /// canUndoRemove() changed.
    void undoChanged();

private:
    Alarm* findMutable(quint64 id);
    void setBase(Alarm& alarm, const QDateTime& base);
    void touch(const Alarm& alarm, bool saved);
    bool fireOne(Alarm& alarm, qint64 nowMsecs, const QDateTime& now, bool notify,
                 QList<Ring>& rings);

    QList<Alarm> m_listed;
    QList<Alarm> m_unlisted;
    LastDeletion<Alarm> m_deleted;
    quint64 m_nextId = 1;
};

} // namespace td
