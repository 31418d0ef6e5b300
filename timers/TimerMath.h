// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "timers/TimerRecord.h"

#include <QDateTime>

/// The arithmetic of timers and stopwatches: no widgets, no clock of its own.
namespace td::timermath {

/// The longest span a countdown may count, in seconds.
inline constexpr qint64 maxSpanSecs = 9999LL * 24 * 3600;
/// The end moment of a span of `secs` started at `now`: the seconds below a
/// day are added first, then whole calendar days, so the time of day survives
/// a daylight-saving change on the way.
QDateTime spanEnd(const QDateTime& now, qint64 secs);
/// The seconds of a "Count for" span, as spanEnd() takes them.
qint64 countForSecs(int weeks, int days, int hours, int minutes);

/// A lap time as "h:mm:ss.cc" (hundredths cut, not rounded, as the window shows them).
QString lapText(qint64 msecs);
/// What a screen reader says for the parts a window shows: "2 hours 5 minutes 9
/// seconds", in the user's language; hundredths are left out.
QString spokenParts(const TimeParts& parts);

/// Whole calendar days from `from` that fit at or before `to`: the largest k with
/// from.addDays(k) <= to (0 when `to` is not later). Computed directly, not per day.
qint64 wholeCalendarDays(const QDateTime& from, const QDateTime& to);

/// Which units above the hour a display counts in calendar days.
enum class DayUnits {
    Days,  ///< weeks and days (Short, Full, Custom with days)
    Weeks, ///< whole weeks only; the days beyond them count as hours
    None,  ///< no calendar units: hours hold the whole span
};
/// The calendar units a display format needs: hidden days are shown as the
/// hours that really pass, which across a clock change are not 24 a day.
DayUnits dayUnits(const DisplayFormat& format);

enum class TickAction {
    Finish,    ///< a countdown found past its end: run the finish sequence
    CountUp,   ///< time since the moment
    CountDown, ///< time left to the moment
};

/// What one tick does. Equal moments are not past yet: the countdown ends on
/// the first tick strictly after its end.
TickAction tickAction(const QDateTime& moment, const QDateTime& now, bool countingDown);

/// The six counts of one tick (all 0 for Finish); `captions` is left false.
/// Whole calendar days D come first; hours, minutes, seconds and hundredths
/// are the time from the start moved on by D days to the end, so the parts
/// always add up to the end moment and a count never jumps. Hours may
/// therefore reach 24 (a day with an extra hour).
TimeParts tickCounts(const QDateTime& moment, const QDateTime& now, TickAction action,
                     DayUnits units = DayUnits::Days);

struct Tick
{
    TickAction action;
    TimeParts counts;
};

/// tickAction and tickCounts in one, for the tick of every timer.
Tick tick(const QDateTime& moment, const QDateTime& now, bool countingDown,
          DayUnits units = DayUnits::Days);
/// The same with both moments also given in ms since the epoch, which the
/// caller may know already (turning a local moment into them costs most).
Tick tick(const QDateTime& moment, qint64 momentMsecs, const QDateTime& now, qint64 nowMsecs,
          bool countingDown, DayUnits units = DayUnits::Days);

/// The counts as the display format shows them; hidden units become -1.
/// `showCaptions` is the user's setting; the Custom format always has captions.
TimeParts applyFormat(const TimeParts& counts, const DisplayFormat& format, bool showCaptions);

} // namespace td::timermath
