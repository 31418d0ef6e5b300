// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>

namespace td {

enum RepeatMode { RepeatOnce = 0, RepeatEvery = 1, RepeatDayOfWeek = 2 };
enum RepeatMeasure { Minutes = 0, Hours, Days, Weeks, Months, Years };

/// One alarm as the user entered it; a plain value copied whole.
struct AlarmRecord
{
    bool enabled = false;
    QString name;
    QDate date;
    QTime time;
    int repeatMode = RepeatOnce;
    std::array<bool, 7> days{}; ///< index 0 = Sunday
    int repeatRange = 0;
    int repeatMeasure = 0;
    QString message;
    QString sound;       ///< a sound file of its own; empty follows the global setting
    QStringList command; ///< a program and its arguments run when it rings; empty: none
    QString uid;         ///< stable across edits, for calendars; empty until one is needed
    QString calendar;    ///< the subscribed calendar it comes from; empty: the user's own

    bool operator==(const AlarmRecord& o) const
    {
        return enabled == o.enabled && name == o.name && date == o.date && time == o.time &&
               repeatMode == o.repeatMode && days == o.days && repeatRange == o.repeatRange &&
               repeatMeasure == o.repeatMeasure && message == o.message && sound == o.sound &&
               command == o.command && uid == o.uid && calendar == o.calendar;
    }
    bool operator!=(const AlarmRecord& o) const { return !(*this == o); }
};

/// The record's base moment; null for a record without a valid date or time.
QDateTime alarmMoment(const AlarmRecord& record);

/// A record that can be computed with: valid date and time, a known mode and,
/// for RepeatEvery, a count of at least 1 and a known unit. Others never fire.
bool isSound(const AlarmRecord& record);

/// The next moment the alarm is due, strictly after `now`; null means never.
QDateTime nextAlarmTime(const AlarmRecord& record, const QDateTime& now);
/// Same, against the program clock.
QDateTime nextAlarmTime(const AlarmRecord& record);
/// The latest occurrence at or before `now`, from the base on; null when
/// there is none (disabled, damaged, or the base still ahead).
QDateTime lastAlarmTime(const AlarmRecord& record, const QDateTime& now);
/// The one-line repetition text of the alarm list.
QString repeatDescription(const AlarmRecord& record);

/// Rewrites a fired alarm: its base moves to `next` (when `next` lies after
/// `now`), otherwise the alarm is spent and disabled. The time of day of
/// calendar steps is kept even when `next` was moved by a DST gap, so the
/// alarm does not drift by an hour for good.
void moveToOccurrence(AlarmRecord& record, const QDateTime& next, const QDateTime& now);

} // namespace td
