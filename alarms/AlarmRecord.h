#pragma once

#include <QDateTime>
#include <QString>
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

    bool operator==(const AlarmRecord& o) const
    {
        return enabled == o.enabled && name == o.name && date == o.date && time == o.time &&
               repeatMode == o.repeatMode && days == o.days && repeatRange == o.repeatRange &&
               repeatMeasure == o.repeatMeasure && message == o.message;
    }
    bool operator!=(const AlarmRecord& o) const { return !(*this == o); }
};

/// The next moment the alarm is due, strictly after `now`; null means never.
QDateTime nextAlarmTime(const AlarmRecord& record, const QDateTime& now);
/// Same, against the program clock.
QDateTime nextAlarmTime(const AlarmRecord& record);
/// The one-line repetition text of the alarm list.
QString repeatDescription(const AlarmRecord& record);

} // namespace td
