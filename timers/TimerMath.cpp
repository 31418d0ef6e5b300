#include "timers/TimerMath.h"

#include <QTimeZone>
#include <QVector>

#include <cstdlib>

namespace td::timermath {

QDateTime countForEnd(const QDateTime& now, int weeks, int days, int hours, int minutes)
{
    const qint64 h = qint64(hours) + minutes / 60;
    const qint64 secs = ((h % 24) * 60 + minutes % 60) * 60;
    const qint64 wholeDays = qint64(days) + h / 24 + 7 * qint64(weeks);
    return now.addSecs(secs).addDays(wholeDays);
}

namespace {

// A daylight-saving gap as seen on the wall clock: the local times in
// [begin, end) do not exist. The wall clock is kept in UTC-spec values so
// comparing them costs no time-zone lookup.
struct WallGap
{
    QDateTime begin;
    QDateTime end;
};

QDateTime wall(const QDate& d, const QTime& t)
{
    return QDateTime(d, t, Qt::UTC);
}

// Transitions of the local zone over a range of dates, fetched once and reused
// by every tick until the range or the zone changes.
struct ChangeCache
{
    QByteArray zone;
    QDate first;
    QDate last;
    QVector<WallGap> gaps;
    QVector<QDate> changeDays; ///< days on which the offset changes
};

const ChangeCache& changesBetween(const QDate& first, const QDate& last)
{
    static ChangeCache cache;
    const QByteArray zone = qgetenv("TZ");
    if (zone == cache.zone && cache.first.isValid() && cache.first <= first && last <= cache.last)
        return cache;
    cache.zone = zone;
    cache.first = first.addDays(-1);
    cache.last = last.addDays(400);
    cache.gaps.clear();
    cache.changeDays.clear();
    const QTimeZone tz = QTimeZone::systemTimeZone();
    const QDateTime from(cache.first, QTime(0, 0), Qt::UTC);
    const QDateTime to(cache.last, QTime(0, 0), Qt::UTC);
    int before = tz.offsetFromUtc(from);
    const auto list = tz.transitions(from, to);
    for (const QTimeZone::OffsetData& t : list) {
        const int after = t.offsetFromUtc;
        if (after != before) {
            const QDateTime a = t.atUtc.toUTC().addSecs(before);
            const QDateTime b = t.atUtc.toUTC().addSecs(after);
            if (after > before)
                cache.gaps.append({wall(a.date(), a.time()), wall(b.date(), b.time())});
            cache.changeDays << a.date() << b.date();
        }
        before = after;
    }
    return cache;
}

// The day on which a time of day falls inside a gap, if any.
QDate dayInWindow(const WallGap& c, const QTime& tod)
{
    QDate d = c.begin.date();
    if (tod < c.begin.time())
        d = d.addDays(1);
    return wall(d, tod) < c.end ? d : QDate();
}

} // namespace

// The rule counts by stepping a moment one calendar day at a time. Stepping
// into a daylight-saving gap pushes the moment past the gap for good, so the
// count follows the same path: whole days up to the first gap the time of day
// falls into, then on from the pushed moment.
qint64 wholeCalendarDays(const QDateTime& from, const QDateTime& to)
{
    if (!from.isValid() || !to.isValid() || !(from < to))
        return 0;
    const QDate d0 = from.date();
    const QTime tod = from.time();
    const ChangeCache& changes = changesBetween(d0, to.date());

    qint64 firstGap = -1;
    for (const WallGap& c : changes.gaps) {
        const QDate d = dayInWindow(c, tod);
        if (d.isValid() && d > d0 && d <= to.date().addDays(1)) {
            firstGap = d0.daysTo(d);
            break;
        }
    }

    qint64 limit = d0.daysTo(to.date());
    if (firstGap >= 0 && firstGap <= limit + 1) {
        const QDateTime shifted = from.addDays(firstGap);
        if (!(to < shifted))
            return firstGap + wholeCalendarDays(shifted, to);
        limit = firstGap - 1;
    } else {
        // Away from clock changes, the wall clock orders moments like time itself:
        // the last day fits when its time of day is not later than the end's.
        const QDate last = to.date();
        if (!changes.changeDays.contains(last) && !changes.changeDays.contains(last.addDays(-1)))
            return qMax<qint64>(0, limit - (to.time() < tod ? 1 : 0));
    }
    qint64 k = limit;
    while (k > 0 && to < from.addDays(k))
        --k;
    while (k < limit && !(to < from.addDays(k + 1)))
        ++k;
    return k;
}

TickAction tickAction(const QDateTime& moment, const QDateTime& now, bool countingDown)
{
    if (moment < now)
        return countingDown ? TickAction::Finish : TickAction::CountUp;
    return TickAction::CountDown;
}

namespace {

TimeParts zeros()
{
    TimeParts p;
    p.weeks = p.days = p.hours = p.minutes = p.seconds = p.hundredths = 0;
    return p;
}

// `ms` is the span from `from` to `to`, already known to the caller.
TimeParts countsBetween(const QDateTime& from, const QDateTime& to, qint64 ms)
{
    TimeParts p;
    // Both seconds and hundredths come from the one span, so the hundredths
    // run the same way as the seconds, across midnight too.
    const qint64 s = ms / 1000;
    p.seconds = s % 60;
    p.minutes = (s / 60) % 60;
    p.hours = (s / 3600) % 24;
    p.hundredths = (ms % 1000) / 10;
    const qint64 d = s / 3600 <= 23 ? 0 : wholeCalendarDays(from, to);
    p.weeks = d / 7;
    p.days = d % 7;
    return p;
}

} // namespace

TimeParts tickCounts(const QDateTime& moment, const QDateTime& now, TickAction action)
{
    if (action == TickAction::Finish || !moment.isValid() || !now.isValid())
        return zeros();
    const bool up = action == TickAction::CountUp;
    const QDateTime& from = up ? moment : now;
    const QDateTime& to = up ? now : moment;
    return countsBetween(from, to, std::llabs(from.msecsTo(to)));
}

Tick tick(const QDateTime& moment, const QDateTime& now, bool countingDown)
{
    if (!moment.isValid() || !now.isValid()) {
        const TickAction action = tickAction(moment, now, countingDown);
        return {action, zeros()};
    }
    // Each local moment is turned into absolute time once; that is most of the cost.
    return tick(moment, moment.toMSecsSinceEpoch(), now, now.toMSecsSinceEpoch(), countingDown);
}

Tick tick(const QDateTime& moment, qint64 end, const QDateTime& now, qint64 current,
          bool countingDown)
{
    if (!moment.isValid() || !now.isValid()) {
        const TickAction action = tickAction(moment, now, countingDown);
        return {action, zeros()};
    }
    if (end < current) {
        if (countingDown)
            return {TickAction::Finish, zeros()};
        return {TickAction::CountUp, countsBetween(moment, now, current - end)};
    }
    return {TickAction::CountDown, countsBetween(now, moment, end - current)};
}

TimeParts applyFormat(const TimeParts& c, const TimerRecord& f, bool showCaptions)
{
    TimeParts p;
    p.captions = showCaptions;
    switch (f.format) {
    case FormatFull:
        p.weeks = c.weeks;
        p.days = c.days;
        p.hours = c.hours;
        p.minutes = c.minutes;
        p.seconds = c.seconds;
        break;
    case FormatCustom: {
        p = c;
        p.captions = true;
        // Hidden units are carried down, so the smaller shown unit holds the whole span.
        if (!f.weekFormat)
            p.days += 7 * p.weeks;
        if (!f.dayFormat)
            p.hours += 24 * p.days;
        if (!f.hourFormat)
            p.minutes += 60 * p.hours;
        if (!f.minFormat)
            p.seconds += 60 * p.minutes;
        if (!f.secFormat)
            p.hundredths += 100 * p.seconds;
        if (!f.weekFormat)
            p.weeks = -1;
        if (!f.dayFormat)
            p.days = -1;
        if (!f.hourFormat)
            p.hours = -1;
        if (!f.minFormat)
            p.minutes = -1;
        if (!f.secFormat)
            p.seconds = -1;
        if (!f.msecFormat)
            p.hundredths = -1;
        break;
    }
    default:
        if (c.weeks > 0 || c.days > 0) {
            p.weeks = c.weeks;
            p.days = c.days;
        } else if (c.hours > 0) {
            p.hours = c.hours;
            p.minutes = c.minutes;
            p.seconds = c.seconds;
        } else {
            p.minutes = c.minutes;
            p.seconds = c.seconds;
            p.hundredths = c.hundredths;
        }
        break;
    }
    return p;
}

} // namespace td::timermath
