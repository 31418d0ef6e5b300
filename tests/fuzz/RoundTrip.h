// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whatever a reader makes of some bytes, writing it and reading it again must
// give the same values. Shared by the fuzz targets and the unit tests.

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

// A null time has no lines of its own and comes back as midnight.
inline void settle(QList<events::AlarmEntry>& alarms)
{
    for (events::AlarmEntry& a : alarms)
        if (!a.record.time.isValid())
            a.record.time = QTime(0, 0);
}
template <typename T> void settle(T&) {}

template <typename Reader, typename Writer>
bool stable(const QByteArray& bytes, Reader read, Writer write)
{
    auto first = readBytes(bytes, read);
    const auto second = readBytes(write(first), read);
    settle(first);
    return first == second;
}

} // namespace td::fuzz
