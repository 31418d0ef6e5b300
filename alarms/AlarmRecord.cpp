// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmRecord.h"

#include "common/Clock.h"
#include "common/Names.h"

#include <QCoreApplication>
#include <algorithm>
#include <iterator>

namespace td {

namespace {

int daysInMonth(qint64 monthIndex)
{
    return QDate(int(monthIndex / 12), int(monthIndex % 12) + 1, 1).daysInMonth();
}

// The date after `steps` single-month steps. A clamped day is carried on, so
// the day is the smallest month length met on the way (or the original day).
QDate addMonthsCarried(const QDate& base, qint64 steps)
{
    const qint64 start = qint64(base.year()) * 12 + base.month() - 1;
    const qint64 target = start + steps;
    if (target < 12 || target / 12 > 999999)
        return QDate();
    int day = base.day();
    if (steps >= 24) {
        // Any 24 months hold two Februaries, and two years in a row are never both leap.
        day = std::min(day, 28);
    } else {
        for (qint64 m = start + 1; m <= target; ++m)
            day = std::min(day, daysInMonth(m));
    }
    return QDate(int(target / 12), int(target % 12) + 1, day);
}

QDate addYearsCarried(const QDate& base, qint64 steps)
{
    const qint64 year = base.year() + steps;
    if (year < 1 || year > 999999)
        return QDate();
    // Only 29 February clamps; the year after a leap year never is one, so it stays on the 28th.
    const int day = (steps > 0 && base.month() == 2 && base.day() == 29) ? 28 : base.day();
    return QDate(int(year), base.month(), day);
}

// Smallest k >= k0 whose occurrence lies strictly after now, or -1.
// Occurrences grow with k, and callers start at most a step or two before the answer.
template <typename Occurrence>
qint64 firstAfter(qint64 k, const QDateTime& now, Occurrence occurrence)
{
    for (int guard = 0; guard < 64; ++guard, ++k) {
        const QDateTime t = occurrence(k);
        if (!t.isValid())
            return -1;
        if (t > now)
            return k;
    }
    return -1;
}

/// The occurrence `offset` steps from the first one after now: 0 gives the
/// next, -1 the last one at or before now.
QDateTime repeatEvery(const AlarmRecord& r, const QDateTime& base, const QDateTime& now, int offset)
{
    const qint64 range = r.repeatRange;
    const auto pick = [&](qint64 k0, auto occurrence) {
        const qint64 k = firstAfter(k0, now, occurrence);
        return k < 0 || k + offset < 0 ? QDateTime() : occurrence(k + offset);
    };
    switch (r.repeatMeasure) {
    case Minutes:
    case Hours: {
        // Elapsed seconds, so a DST change neither skips nor repeats a step.
        const qint64 step = range * (r.repeatMeasure == Minutes ? 60 : 3600);
        const qint64 elapsed = base.msecsTo(now); // >= 0: base is not after now
        const qint64 k = elapsed / (step * 1000) + 1;
        return base.addSecs((k + offset) * step);
    }
    case Days:
    case Weeks: {
        const qint64 step = range * (r.repeatMeasure == Days ? 1 : 7);
        const qint64 k0 = std::max<qint64>(0, r.date.daysTo(now.date()) / step - 1);
        return pick(k0, [&](qint64 k) { return localMoment(r.date.addDays(k * step), r.time); });
    }
    case Months: {
        const qint64 months = (qint64(now.date().year()) - r.date.year()) * 12 +
                              (now.date().month() - r.date.month());
        const qint64 k0 = std::max<qint64>(0, months / range - 1);
        return pick(
            k0, [&](qint64 k) { return localMoment(addMonthsCarried(r.date, k * range), r.time); });
    }
    case Years: {
        const qint64 years = qint64(now.date().year()) - r.date.year();
        const qint64 k0 = std::max<qint64>(0, years / range - 1);
        return pick(
            k0, [&](qint64 k) { return localMoment(addYearsCarried(r.date, k * range), r.time); });
    }
    default:
        return QDateTime();
    }
}

bool anyDay(const AlarmRecord& r)
{
    return std::any_of(r.days.begin(), r.days.end(), [](bool d) { return d; });
}

QDateTime nextDayOfWeek(const AlarmRecord& r, const QDateTime& base, const QDateTime& now)
{
    if (!anyDay(r))
        return QDateTime();
    QDate day = r.date;
    // Days before yesterday cannot hold a moment after now; a DST gap moves a time by hours only.
    if (base <= now)
        day = std::max(day, now.date().addDays(-1));
    for (int i = 0; i < 16; ++i, day = day.addDays(1)) {
        const QDateTime t = localMoment(day, r.time);
        if (t.isValid() && t > now && r.days[weekdayIndex(t.date().dayOfWeek())])
            return t;
    }
    return QDateTime();
}

} // namespace

QDateTime alarmMoment(const AlarmRecord& record)
{
    return localMoment(record.date, record.time);
}

bool isSound(const AlarmRecord& r)
{
    if (!r.date.isValid() || !r.time.isValid())
        return false;
    switch (r.repeatMode) {
    case RepeatOnce:
    case RepeatDayOfWeek:
        return true;
    case RepeatEvery:
        return r.repeatRange >= 1 && r.repeatMeasure >= Minutes && r.repeatMeasure <= Years;
    default:
        return false;
    }
}

QDateTime nextAlarmTime(const AlarmRecord& record, const QDateTime& now)
{
    if (!record.enabled || !isSound(record) || !now.isValid())
        return QDateTime();
    const QDateTime base = alarmMoment(record);
    if (!base.isValid())
        return QDateTime();
    switch (record.repeatMode) {
    case RepeatOnce:
        return base; // also when past: what a spent alarm does is the tick's business
    case RepeatEvery:
        // Equal to now counts as passed.
        return base > now ? base : repeatEvery(record, base, now, 0);
    case RepeatDayOfWeek:
        return nextDayOfWeek(record, base, now);
    default:
        return QDateTime();
    }
}

QDateTime lastAlarmTime(const AlarmRecord& record, const QDateTime& now)
{
    if (!record.enabled || !isSound(record) || !now.isValid())
        return QDateTime();
    const QDateTime base = alarmMoment(record);
    if (!base.isValid() || base > now)
        return QDateTime();
    switch (record.repeatMode) {
    case RepeatOnce:
        return base;
    case RepeatEvery:
        return repeatEvery(record, base, now, -1);
    case RepeatDayOfWeek:
        if (!anyDay(record))
            return QDateTime();
        // Within a week back every selected weekday comes once.
        for (QDate day = now.date(); day >= record.date && day > now.date().addDays(-9);
             day = day.addDays(-1)) {
            const QDateTime t = localMoment(day, record.time);
            if (t.isValid() && t <= now && record.days[weekdayIndex(t.date().dayOfWeek())])
                return t;
        }
        return QDateTime();
    default:
        return QDateTime();
    }
}

QDateTime nextAlarmTime(const AlarmRecord& record)
{
    return nextAlarmTime(record, now());
}

namespace {

// Whole sentences per unit, so each language can decline the unit and choose
// the plural form for the count.
QString everyText(int unit, int n)
{
    static const char* const texts[] = {
        QT_TRANSLATE_N_NOOP("AlarmRecord", "Repeat every %n Minute(s)"),
        QT_TRANSLATE_N_NOOP("AlarmRecord", "Repeat every %n Hour(s)"),
        QT_TRANSLATE_N_NOOP("AlarmRecord", "Repeat every %n Day(s)"),
        QT_TRANSLATE_N_NOOP("AlarmRecord", "Repeat every %n Week(s)"),
        QT_TRANSLATE_N_NOOP("AlarmRecord", "Repeat every %n Month(s)"),
        QT_TRANSLATE_N_NOOP("AlarmRecord", "Repeat every %n Year(s)")};
    if (unit >= 0 && unit < int(std::size(texts)))
        return QCoreApplication::translate("AlarmRecord", texts[unit], nullptr, n);
    return QCoreApplication::translate("AlarmRecord", "Repeat every %1").arg(n);
}

} // namespace

QString repeatDescription(const AlarmRecord& record)
{
    if (!record.enabled)
        return QCoreApplication::translate("AlarmRecord", "Disabled");
    switch (record.repeatMode) {
    case RepeatOnce:
        return QCoreApplication::translate("AlarmRecord", "Play once");
    case RepeatEvery:
        return everyText(record.repeatMeasure, record.repeatRange);
    case RepeatDayOfWeek: {
        QStringList names;
        for (int d = 0; d < 7; ++d) {
            if (record.days[d])
                names << weekdayName(d);
        }
        QString list = names.value(0);
        for (int i = 1; i < names.size(); ++i)
            list =
                (i == names.size() - 1
                     ? QCoreApplication::translate("AlarmRecord", "%1 and %2",
                                                   "the last two weekdays of a list")
                     : QCoreApplication::translate("AlarmRecord", "%1, %2", "weekdays of a list"))
                    .arg(list, names[i]);
        return QCoreApplication::translate("AlarmRecord", "Repeat every %1").arg(list);
    }
    default:
        return QString();
    }
}

void moveToOccurrence(AlarmRecord& record, const QDateTime& next, const QDateTime& now)
{
    if (!next.isValid() || next < now) {
        record.enabled = false;
        return;
    }
    const bool sameMoment = localMoment(next.date(), record.time) == next;
    record.date = next.date();
    if (!sameMoment)
        record.time = next.time();
}

} // namespace td
