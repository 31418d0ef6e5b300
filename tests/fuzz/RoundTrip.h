#pragma once

// Checks shared by the fuzz targets and the unit tests: whatever a reader makes
// of some bytes, writing it and reading it again must give the same values.

#include "storage/EventFiles.h"

#include <QBuffer>
#include <type_traits>

namespace td::fuzz {

template <typename Reader> auto readBytes(const QByteArray& bytes, Reader reader)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    if constexpr (std::is_invocable_v<Reader, QIODevice&>)
        return reader(buffer);
    else
        return reader(buffer, nullptr);
}

inline bool alarmsRoundTrip(const QByteArray& bytes)
{
    QList<AlarmRecord> first = readBytes(bytes, td::events::readAlarms);
    const QList<AlarmRecord> second =
        readBytes(td::events::formatAlarms(first), td::events::readAlarms);
    // A null time has no lines of its own and comes back as midnight.
    for (AlarmRecord& a : first)
        if (!a.time.isValid())
            a.time = QTime(0, 0);
    return first == second;
}

inline bool timersRoundTrip(const QByteArray& bytes)
{
    const auto first = readBytes(bytes, td::events::readTimers);
    return first == readBytes(td::events::formatTimers(first), td::events::readTimers);
}

inline bool workTimersRoundTrip(const QByteArray& bytes)
{
    const auto first = readBytes(bytes, td::events::readWorkTimers);
    return first == readBytes(td::events::formatWorkTimers(first), td::events::readWorkTimers);
}

inline bool workScheduleRoundTrip(const QByteArray& bytes)
{
    const auto first = readBytes(bytes, td::events::readWorkSchedule);
    return first == readBytes(td::events::formatWorkSchedule(first), td::events::readWorkSchedule);
}

} // namespace td::fuzz
