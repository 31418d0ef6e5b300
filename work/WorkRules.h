// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/AppSettings.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QTime>
#include <array>

namespace td::work {

using Timetable = std::array<WorkDay, 7>;

/// A date at a wall-clock time in local time. A time the clocks skip (spring
/// forward) gives the moment the same distance past the jump, as the clocks
/// read it; a null time counts as midnight.
QDateTime localMoment(const QDate& date, const QTime& time);

/// The timetable entry of a date (index 0 = Sunday).
const WorkDay& workDayOf(const Timetable& days, const QDate& date);

/// The working moments of one day's shift: B, L1, L2 and E. Each later moment
/// that is not later than the one before it falls on the next day, so a night
/// shift ends tomorrow. Without lunch, L1 and L2 are null.
struct WorkMoments
{
    QDate date;
    QDateTime begin;
    QDateTime lunchBegin;
    QDateTime lunchEnd;
    QDateTime end;
};

WorkMoments workMoments(const WorkDay& day, const QDate& date, bool noLunch);

/// A holiday (on its day of any year when it is yearly, a range included) or a
/// day of a vacation. Records without a valid start take no part.
bool isDayOff(const QList<HolidayRecord>& holidays, const QDate& date);

/// A day whose shift is worked: the timetable has it and it is no day off.
bool isWorkDay(const Timetable& days, const QList<HolidayRecord>& holidays, const QDate& date);

/// The shift that governs `now`: today's, unless yesterday's shift (a night
/// shift) is still running. False when neither applies: today is not a work
/// day and no shift of yesterday reaches into it.
bool currentShift(const Timetable& days, const QList<HolidayRecord>& holidays, bool noLunch,
                  const QDateTime& now, WorkMoments* shift);

/// The next day off: the earliest of every yearly holiday's date (passed ones
/// too), the first day from today on of other holidays and of vacations, and
/// the days off among today and the six days after it. Null when there is
/// none. Records without a valid date take no part.
QDate nextDayOff(const Timetable& days, const QList<HolidayRecord>& holidays, const QDate& today);

/// The first day of the earliest vacation that begins after today; null when none.
QDate nextVacation(const QList<HolidayRecord>& holidays, const QDate& today);

/// Which of the lunch and end-of-day windows are shown.
struct DayWindows
{
    bool lunch = false;
    bool dayEnd = false;
};

/// The choice made when targets are recomputed: "hide till lunch" hides the
/// end-of-day window only while the lunch window is shown.
DayWindows dayWindowsOnUpdate(const WorkMoments& shift, const QDateTime& now,
                              const AppSettings& settings);
/// The choice of the main tick: "hide till lunch" applies before lunch even
/// when the lunch window itself is off.
DayWindows dayWindowsOnTick(const WorkMoments& shift, const QDateTime& now,
                            const AppSettings& settings);

/// The four windows as the main tick shows them.
struct WorkWindows
{
    bool lunch = false;
    bool dayEnd = false;
    bool holiday = false;
    bool vacation = false;
};

WorkWindows shownOnTick(const AppSettings& settings, const QDateTime& now);

/// The first moment (ms since the epoch) after `now` at which shownOnTick's
/// choice of the lunch and end-of-work windows can change, among the shifts
/// of today and yesterday (the change of date brings in the next); the
/// largest qint64 when neither window is wanted or no such moment is left.
qint64 nextShiftChange(const AppSettings& settings, const QDateTime& now);

/// Something of the work schedule follows the date: a work window is wanted,
/// or holidays move on to next year once they pass.
bool followsDate(const AppSettings& settings);

/// Moves a holiday dated today or earlier to its next date after today, a
/// year at a time (29 February becomes 28 February and stays there). Vacations
/// and records without a valid date are left alone. True when it moved.
bool moveHolidayForward(HolidayRecord& record, const QDate& today);

} // namespace td::work
