// SPDX-License-Identifier: GPL-3.0-or-later
#include "work/WorkRules.h"

#include "common/Clock.h"
#include "common/Names.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace td::work {

namespace {

/// Both times strictly between the two moments. Local moments are compared as
/// epoch milliseconds, so each one is converted once.
bool between(const QDateTime& from, qint64 now, const QDateTime& to)
{
    return from.isValid() && to.isValid() && from.toMSecsSinceEpoch() < now &&
           now < to.toMSecsSinceEpoch();
}

/// `moment` at `time`, on the same date or, when that is not later, the next day.
QDateTime laterThan(const QDateTime& moment, const QDate& date, const QTime& time)
{
    const QDateTime sameDay = localMoment(date, time);
    if (sameDay > moment)
        return sameDay;
    return localMoment(date.addDays(1), time);
}

QDate sameDayIn(const QDate& date, int year)
{
    // 29 February has a place only in leap years; once moved it stays on the 28th.
    if (date.month() == 2 && date.day() == 29 && year != date.year())
        return QDate(year, 2, 28);
    return QDate(year, date.month(), date.day());
}

} // namespace

QDateTime localMoment(const QDate& date, const QTime& time)
{
    return td::localMoment(date, time.isValid() ? time : QTime(0, 0));
}

const WorkDay& workDayOf(const Timetable& days, const QDate& date)
{
    return days[static_cast<size_t>(weekdayIndex(date.dayOfWeek()))];
}

WorkMoments workMoments(const WorkDay& day, const QDate& date, bool noLunch)
{
    WorkMoments m;
    m.date = date;
    m.begin = localMoment(date, day.workBegin);
    if (noLunch) {
        m.end = laterThan(m.begin, date, day.workEnd);
        return m;
    }
    m.lunchBegin = laterThan(m.begin, date, day.lunchBegin);
    m.lunchEnd = laterThan(m.lunchBegin, date, day.lunchEnd);
    m.end = laterThan(m.lunchEnd, date, day.workEnd);
    return m;
}

bool isDayOff(const QList<HolidayRecord>& holidays, const QDate& date)
{
    for (const HolidayRecord& h : holidays) {
        if (!h.startDate.isValid())
            continue;
        const QDate end = h.endDate.isValid() && h.endDate > h.startDate ? h.endDate : h.startDate;
        if (h.type != TypeHoliday || !h.yearly) {
            if (h.startDate <= date && date <= end)
                return true;
            continue;
        }
        // A range that crosses the new year began in the year before.
        const qint64 length = h.startDate.daysTo(end);
        for (int year : {date.year(), date.year() - 1}) {
            const QDate start = sameDayIn(h.startDate, year);
            if (start <= date && date <= start.addDays(length))
                return true;
        }
    }
    return false;
}

bool isWorkDay(const Timetable& days, const QList<HolidayRecord>& holidays, const QDate& date)
{
    return workDayOf(days, date).enabled && !isDayOff(holidays, date);
}

bool currentShift(const Timetable& days, const QList<HolidayRecord>& holidays, bool noLunch,
                  const QDateTime& now, WorkMoments* shift)
{
    const QDate today = now.date();
    const QDate yesterday = today.addDays(-1);
    const WorkDay& before = workDayOf(days, yesterday);
    if (isWorkDay(days, holidays, yesterday)) {
        // Only a shift that crosses midnight can still be running.
        WorkMoments m = workMoments(before, yesterday, noLunch);
        if (now < m.end) {
            *shift = m;
            return true;
        }
    }
    if (!isWorkDay(days, holidays, today))
        return false;
    *shift = workMoments(workDayOf(days, today), today, noLunch);
    return true;
}

QDate nextDayOff(const Timetable& days, const QList<HolidayRecord>& holidays, const QDate& today)
{
    QDate best;
    const auto consider = [&best](const QDate& d) {
        if (!best.isValid() || d < best)
            best = d;
    };
    for (const HolidayRecord& h : holidays) {
        if (!h.startDate.isValid())
            continue;
        if (h.type == TypeHoliday && h.yearly) {
            consider(h.startDate);
            continue;
        }
        const QDate end = h.endDate.isValid() && h.endDate > h.startDate ? h.endDate : h.startDate;
        if (end >= today)
            consider(std::max(h.startDate, today));
    }
    for (int i = 0; i < 7; ++i) {
        const QDate d = today.addDays(i);
        if (!workDayOf(days, d).enabled) {
            if (!best.isValid() || d < best)
                best = d;
            break;
        }
    }
    return best;
}

QDate nextVacation(const QList<HolidayRecord>& holidays, const QDate& today)
{
    QDate best;
    for (const HolidayRecord& h : holidays) {
        if (h.type == TypeVacation && h.startDate.isValid() && h.startDate > today &&
            (!best.isValid() || h.startDate < best))
            best = h.startDate;
    }
    return best;
}

DayWindows dayWindowsOnUpdate(const WorkMoments& shift, const QDateTime& now,
                              const AppSettings& settings)
{
    const qint64 n = now.toMSecsSinceEpoch();
    DayWindows w;
    w.dayEnd = settings.timeToEndDay && between(shift.begin, n, shift.end);
    if (!settings.noLunch && settings.timeToLunch && between(shift.begin, n, shift.lunchBegin)) {
        w.lunch = true;
        if (settings.hideTillLunch)
            w.dayEnd = false;
    }
    return w;
}

namespace {

/// A shift's moments as epoch milliseconds; a null moment is never "between".
struct ShiftMsecs
{
    std::optional<qint64> begin, lunchBegin, end;
};

std::optional<qint64> msecsOf(const QDateTime& moment)
{
    return moment.isValid() ? std::optional(moment.toMSecsSinceEpoch()) : std::nullopt;
}

ShiftMsecs msecsOf(const WorkMoments& m)
{
    return {msecsOf(m.begin), msecsOf(m.lunchBegin), msecsOf(m.end)};
}

DayWindows windowsOnTick(const ShiftMsecs& m, qint64 n, const AppSettings& settings)
{
    const bool afterBegin = m.begin && *m.begin < n;
    const bool beforeLunch = !settings.noLunch && afterBegin && m.lunchBegin && n < *m.lunchBegin;
    DayWindows w;
    w.lunch = beforeLunch && settings.timeToLunch;
    w.dayEnd = settings.timeToEndDay && afterBegin && m.end && n < *m.end &&
               !(beforeLunch && settings.hideTillLunch);
    return w;
}

bool sameDay(const WorkDay& a, const WorkDay& b)
{
    return a.enabled == b.enabled && a.workBegin == b.workBegin && a.lunchBegin == b.lunchBegin &&
           a.lunchEnd == b.lunchEnd && a.workEnd == b.workEnd;
}

/// The main tick asks for the same shift at each wake; its moments only
/// change with the date, the timetable entries involved or the time zone, and
/// turning local times into absolute ones is most of the cost.
struct ShiftCache
{
    bool filled = false;
    QByteArray zone;
    QDate today;
    bool noLunch = false;
    WorkDay yesterdayDay;
    WorkDay todayDay;
    WorkMoments yesterday;
    WorkMoments current;
    ShiftMsecs yesterdayMsecs;
    ShiftMsecs currentMsecs;
};

/// A date's timetable entry, off on a day off.
WorkDay effectiveDay(const AppSettings& settings, const QDate& date)
{
    WorkDay day = workDayOf(settings.workDays, date);
    day.enabled = day.enabled && !isDayOff(settings.holidays, date);
    return day;
}

const ShiftCache& cachedShifts(const AppSettings& settings, const QDate& today)
{
    static ShiftCache cache;
    const bool noLunch = settings.noLunch;
    const QDate yesterday = today.addDays(-1);
    const WorkDay before = effectiveDay(settings, yesterday);
    const WorkDay day = effectiveDay(settings, today);
    const QByteArray zone = qgetenv("TZ");
    if (cache.filled && cache.today == today && cache.noLunch == noLunch &&
        sameDay(cache.yesterdayDay, before) && sameDay(cache.todayDay, day) && cache.zone == zone)
        return cache;
    cache.filled = true;
    cache.zone = zone;
    cache.today = today;
    cache.noLunch = noLunch;
    cache.yesterdayDay = before;
    cache.todayDay = day;
    cache.yesterday = before.enabled ? workMoments(before, yesterday, noLunch) : WorkMoments();
    cache.current = day.enabled ? workMoments(day, today, noLunch) : WorkMoments();
    cache.yesterdayMsecs = msecsOf(cache.yesterday);
    cache.currentMsecs = msecsOf(cache.current);
    return cache;
}

} // namespace

DayWindows dayWindowsOnTick(const WorkMoments& shift, const QDateTime& now,
                            const AppSettings& settings)
{
    return windowsOnTick(msecsOf(shift), now.toMSecsSinceEpoch(), settings);
}

WorkWindows shownOnTick(const AppSettings& settings, const QDateTime& now)
{
    WorkWindows w;
    const QDate today = now.date();
    // The same choice as currentShift followed by dayWindowsOnTick, on cached moments.
    const ShiftCache& shifts = cachedShifts(settings, today);
    const qint64 n = now.toMSecsSinceEpoch();
    const ShiftMsecs* shift = nullptr;
    if (shifts.yesterdayDay.enabled && shifts.yesterdayMsecs.end && n < *shifts.yesterdayMsecs.end)
        shift = &shifts.yesterdayMsecs;
    else if (shifts.todayDay.enabled)
        shift = &shifts.currentMsecs;
    if (shift) {
        const DayWindows day = windowsOnTick(*shift, n, settings);
        w.lunch = day.lunch;
        w.dayEnd = day.dayEnd;
    }
    // Counting to the next day off is pointless on a day off.
    if (settings.timeToHoliday && shifts.todayDay.enabled)
        w.holiday = nextDayOff(settings.workDays, settings.holidays, today).isValid();
    w.vacation = settings.timeToVacation && nextVacation(settings.holidays, today).isValid();
    return w;
}

qint64 nextShiftChange(const AppSettings& settings, const QDateTime& now)
{
    qint64 next = std::numeric_limits<qint64>::max();
    if (!settings.timeToLunch && !settings.timeToEndDay)
        return next;
    const ShiftCache& shifts = cachedShifts(settings, now.date());
    const qint64 n = now.toMSecsSinceEpoch();
    const auto consider = [&](std::optional<qint64> moment) {
        if (moment && *moment > n && *moment < next)
            next = *moment;
    };
    // The first moments at which windowsOnTick's strict comparisons turn.
    if (shifts.yesterdayDay.enabled)
        consider(shifts.yesterdayMsecs.end);
    if (shifts.todayDay.enabled) {
        const ShiftMsecs& m = shifts.currentMsecs;
        consider(m.begin ? std::optional(*m.begin + 1) : std::nullopt);
        consider(m.lunchBegin);
        consider(m.end);
    }
    return next;
}

bool followsDate(const AppSettings& settings)
{
    return settings.timeToLunch || settings.timeToEndDay || settings.timeToHoliday ||
           settings.timeToVacation || !settings.holidays.isEmpty();
}

bool moveHolidayForward(HolidayRecord& record, const QDate& today)
{
    if (record.type != TypeHoliday || !record.startDate.isValid() || !today.isValid() ||
        record.startDate > today)
        return false;
    // Straight to the right year rather than a loop: a damaged date may lie
    // millions of years back.
    QDate next = sameDayIn(record.startDate, today.year());
    if (next <= today)
        next = sameDayIn(record.startDate, today.year() + 1);
    const qint64 years = qint64(next.year()) - record.startDate.year();
    if (record.endDate == record.startDate) {
        record.endDate = next;
    } else if (record.endDate.isValid()) {
        const qint64 endYear = record.endDate.year() + years;
        if (endYear >= std::numeric_limits<int>::min() &&
            endYear <= std::numeric_limits<int>::max())
            record.endDate = sameDayIn(record.endDate, int(endYear));
    }
    record.startDate = next;
    return true;
}

} // namespace td::work
