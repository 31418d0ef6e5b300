// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmModel.h"
#include "alarms/AlarmRecord.h"
#include "common/HolidayRecord.h"
#include "timers/TimerModel.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
#include <array>

class QIODevice;

/// The four event files: plain text, one value per line, LF line ends (CRLF
/// accepted), UTF-8 without BOM (lines that are not valid UTF-8 are read as
/// Windows-1252). Readers are tolerant: non-numbers read as 0, impossible dates
/// as null, junk between blocks is skipped, a block cut off by the end of the
/// file still counts.
namespace td::events {

// Limits that keep a damaged or hostile file from costing unbounded memory or
// time. Anything past them is left out, and the reader says so: such a file
// must not be replaced by what was read of it.
inline constexpr qint64 maxFileBytes = 16 * 1024 * 1024; ///< read at most this much of a file
inline constexpr int maxLineChars = 64 * 1024;           ///< a longer line is cut, never split
inline constexpr int maxMessageChars = 1024 * 1024;      ///< an alarm message is cut here
inline constexpr int maxAlarms = AlarmModel::maxAlarms;
inline constexpr int maxTimers = 1000;
inline constexpr int maxHolidays = 10000;

/// One stored alarm: its record and a pending reminder. The reminder, the
/// alarm's own sound, command and uid follow the block's end line, where
/// readers that do not know them skip them.
struct AlarmEntry
{
    AlarmEntry(AlarmRecord record = {}, Reminder reminder = {})
        : record(std::move(record)), reminder(reminder)
    {
    }
    AlarmRecord record;
    Reminder reminder;

    bool operator==(const AlarmEntry& o) const
    {
        return record == o.record && reminder == o.reminder;
    }
    bool operator!=(const AlarmEntry& o) const { return !(*this == o); }
};

/// One stored timer: its record, its state and the state of its window.
using TimerEntry = td::TimerEntry;

/// Centres of the lunch, day-end, holiday and vacation windows, in this order.
using WorkCentres = std::array<QPoint, 4>;

/// Strict UTF-8 (a leading BOM is skipped); when that fails, line by line:
/// a line that is valid UTF-8 as UTF-8, any other as Windows-1252.
QString decodeText(const QByteArray& bytes);
/// Reads what a reader may look at: at most maxFileBytes, and when the device
/// holds more, only up to the last complete line within them (`cut` set).
QByteArray readCapped(QIODevice& in, bool* cut = nullptr);

/// Readers; `cut` tells whether anything was left out to keep within the limits.
QList<AlarmEntry> readAlarms(QIODevice& in, bool* cut = nullptr);
QList<TimerEntry> readTimers(QIODevice& in, bool* cut = nullptr);
WorkCentres readWorkTimers(QIODevice& in);
QList<HolidayRecord> readWorkSchedule(QIODevice& in, bool* cut = nullptr);

QByteArray formatAlarms(const QList<AlarmEntry>& alarms);
/// A timer block holds, after the fields older versions know and before "Timer
/// end" (lines those versions skip), the seconds and milliseconds of its
/// moment, its state (0 counting down, 1 finished, 2 counting up) and more
/// (see EventFiles.cpp), its own sound last. A block
/// without them has whole minutes and the state its type gives.
QByteArray formatTimers(const QList<TimerEntry>& timers);
QByteArray formatWorkTimers(const WorkCentres& centres);
QByteArray formatWorkSchedule(const QList<HolidayRecord>& holidays);

} // namespace td::events
