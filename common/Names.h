// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace td {

/// Weekday names, index 0 = Sunday ... 6 = Saturday.
QString weekdayName(int day);
/// Index of a date's weekday in every weekday-indexed array (Sunday = 0).
inline int weekdayIndex(int qtDayOfWeek)
{
    return qtDayOfWeek % 7;
}

} // namespace td
