#pragma once

#include "alarms/AlarmRecord.h"
#include "timers/TimerRecord.h"
#include "work/HolidayRecord.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
#include <array>

class QIODevice;

/// The four event files: plain text, one value per line, LF line ends (CRLF
/// accepted), UTF-8 without BOM (files that are not valid UTF-8 are read as
/// Windows-1252). Readers are tolerant: non-numbers read as 0, impossible dates
/// as null, junk between blocks is skipped, a block cut off by the end of the
/// file still counts.
namespace td::events {

// Limits that keep a damaged or hostile file from costing unbounded memory or
// time. Anything past them is ignored as if it were not in the file.
inline constexpr qint64 maxFileBytes = 16 * 1024 * 1024; ///< read at most this much of a file
inline constexpr int maxLineChars = 64 * 1024;           ///< a longer line is cut, never split
inline constexpr int maxMessageChars = 1024 * 1024;      ///< an alarm message is cut here
inline constexpr int maxAlarms = 10000;
inline constexpr int maxTimers = 1000;
inline constexpr int maxHolidays = 10000;

/// One stored timer: its record and the state of its window.
struct TimerEntry
{
    TimerRecord record;
    bool visible = false;
    QPoint centre;

    bool operator==(const TimerEntry& o) const
    {
        return record == o.record && visible == o.visible && centre == o.centre;
    }
    bool operator!=(const TimerEntry& o) const { return !(*this == o); }
};

/// Centres of the lunch, day-end, holiday and vacation windows, in this order.
using WorkCentres = std::array<QPoint, 4>;

/// Strict UTF-8 (a leading BOM is skipped); Windows-1252 when that fails.
QString decodeText(const QByteArray& bytes);
/// Reads what a reader may look at: at most maxFileBytes, and when the device
/// holds more, only up to the last complete line within them.
QByteArray readCapped(QIODevice& in);

QList<AlarmRecord> readAlarms(QIODevice& in);
QList<TimerEntry> readTimers(QIODevice& in);
WorkCentres readWorkTimers(QIODevice& in);
QList<HolidayRecord> readWorkSchedule(QIODevice& in);

QByteArray formatAlarms(const QList<AlarmRecord>& alarms);
QByteArray formatTimers(const QList<TimerEntry>& timers);
QByteArray formatWorkTimers(const WorkCentres& centres);
QByteArray formatWorkSchedule(const QList<HolidayRecord>& holidays);

/// Writers: true only when every byte was written.
bool writeAlarms(QIODevice& out, const QList<AlarmRecord>& alarms);
bool writeTimers(QIODevice& out, const QList<TimerEntry>& timers);
bool writeWorkTimers(QIODevice& out, const WorkCentres& centres);
bool writeWorkSchedule(QIODevice& out, const QList<HolidayRecord>& holidays);

/// Replaces the file at `path` with `bytes` through a temporary file and a
/// rename, so a crash or a full disk leaves the previous file whole. False
/// when anything failed; the old file is then untouched.
bool saveFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace td::events
