// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

namespace td {

enum TimerType { TypeTimer = 0, TypeStopwatch = 1 };
enum TimerFormat { FormatShort = 0, FormatFull = 1, FormatCustom = 2 };

/// How a timer shows its count; the record and its window each hold one.
struct DisplayFormat
{
    qint32 format = FormatShort;
    bool msecFormat = true;
    bool secFormat = true;
    bool minFormat = true;
    bool hourFormat = true;
    bool dayFormat = false;
    bool weekFormat = false;

    bool operator==(const DisplayFormat& o) const
    {
        return format == o.format && msecFormat == o.msecFormat && secFormat == o.secFormat &&
               minFormat == o.minFormat && hourFormat == o.hourFormat && dayFormat == o.dayFormat &&
               weekFormat == o.weekFormat;
    }
};

/// The unit flags, smallest unit first.
inline constexpr bool DisplayFormat::*unitFlags[] = {
    &DisplayFormat::msecFormat, &DisplayFormat::secFormat, &DisplayFormat::minFormat,
    &DisplayFormat::hourFormat, &DisplayFormat::dayFormat, &DisplayFormat::weekFormat};

/// One timer or stopwatch; a plain value copied whole.
struct TimerRecord : DisplayFormat
{
    TimerRecord() = default;
    TimerRecord(QString name, qint32 type, QDateTime dateTime = {}, bool continueExpired = false,
                qint32 format = FormatShort)
        : DisplayFormat{format}, name(std::move(name)), type(type), dateTime(std::move(dateTime)),
          continueExpired(continueExpired)
    {
    }

    QString name;
    qint32 type = TypeTimer;
    QDateTime dateTime; ///< timer: end moment; stopwatch: start moment
    bool continueExpired = false;
    /// A "count for" timer's span in seconds, so it can run again; 0 for an end
    /// given as a moment.
    qint64 spanSecs = 0;
    /// A sound file of its own; empty follows the global setting.
    QString sound;

    bool operator==(const TimerRecord& o) const
    {
        return DisplayFormat::operator==(o) && name == o.name && type == o.type &&
               dateTime == o.dateTime && continueExpired == o.continueExpired &&
               spanSecs == o.spanSecs && sound == o.sound;
    }
    bool operator!=(const TimerRecord& o) const { return !(*this == o); }
};

/// What one tick hands to the digit renderer; -1 means the unit is not shown.
struct TimeParts
{
    qint64 weeks = -1;
    qint64 days = -1;
    qint64 hours = -1;
    qint64 minutes = -1;
    qint64 seconds = -1;
    qint64 hundredths = -1;
    bool captions = false;

    bool operator==(const TimeParts& o) const
    {
        return weeks == o.weeks && days == o.days && hours == o.hours && minutes == o.minutes &&
               seconds == o.seconds && hundredths == o.hundredths && captions == o.captions;
    }
    bool operator!=(const TimeParts& o) const { return !(*this == o); }
};

} // namespace td
