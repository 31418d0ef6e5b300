// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

namespace td {

/// The one source of "now" for the whole program. Alarms and countdowns are
/// nothing but time, so tests pin this clock instead of sleeping.
QDateTime now();
/// now() in milliseconds since the epoch, without a time-zone lookup: for
/// ticks that only compare moments.
qint64 nowMsecs();

/// The local moment of a date and a time of day. A time that the clocks skip
/// (spring forward) is taken as the moment just after the gap, e.g. 02:30 -> 03:30.
QDateTime localMoment(const QDate& date, const QTime& time);

namespace clock {
/// Freeze the clock at a moment; now() returns it until advanced or reset.
void setFixed(const QDateTime& moment);
/// Move a frozen clock forward (or back, with a negative count).
void advance(qint64 msecs);
/// Back to the system clock.
void reset();
bool isFixed();
} // namespace clock

} // namespace td
