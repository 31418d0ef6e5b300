// SPDX-License-Identifier: GPL-3.0-or-later
#include "timers/TimerMath.h"

#include <QCoreApplication>
#include <QStringList>
#include <climits>
#include <cstdlib>

namespace td::timermath {

QString lapText(qint64 msecs)
{
    const qint64 cs = qMax<qint64>(0, msecs) / 10;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(cs / 360000)
        .arg(cs / 6000 % 60, 2, 10, QLatin1Char('0'))
        .arg(cs / 100 % 60, 2, 10, QLatin1Char('0'))
        .arg(cs % 100, 2, 10, QLatin1Char('0'));
}

QDateTime spanEnd(const QDateTime& now, qint64 secs)
{
    return now.addSecs(secs % 86400).addDays(secs / 86400);
}

qint64 countForSecs(int weeks, int days, int hours, int minutes)
{
    return ((7 * qint64(weeks) + days) * 24 + hours) * 3600 + qint64(minutes) * 60;
}

// Stepping a calendar day never moves back (where the zone skips a date, two
// steps may land on the same moment), and a step never lands before the date
// it aims at. So the date difference is an upper bound, and counting down from
// it finds the largest k with from.addDays(k) <= to in a step or two.
qint64 wholeCalendarDays(const QDateTime& from, const QDateTime& to)
{
    if (!from.isValid() || !to.isValid() || !(from < to))
        return 0;
    qint64 k = qMax<qint64>(0, from.date().daysTo(to.date()));
    while (k > 0 && to < from.addDays(k))
        --k;
    return k;
}

DayUnits dayUnits(const DisplayFormat& format)
{
    if (format.format != FormatCustom || format.dayFormat)
        return DayUnits::Days;
    return format.weekFormat ? DayUnits::Weeks : DayUnits::None;
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

// No calendar day is shorter than this, so a shorter span holds none.
constexpr qint64 shortestDayMs = 12 * 3600 * 1000;

// `ms` is the span from `from` to `to` (`fromMs` is `from` in epoch ms).
// Whole calendar days first, then hours, minutes and seconds from the moment
// those days lead to: the two always name the same moment, and across a
// daylight-saving change the hours simply run to 23 or 24.
TimeParts countsBetween(const QDateTime& from, qint64 fromMs, const QDateTime& to, qint64 ms,
                        DayUnits units)
{
    qint64 days = 0;
    qint64 rest = ms;
    if (units != DayUnits::None && ms >= shortestDayMs) {
        days = wholeCalendarDays(from, to);
        if (units == DayUnits::Weeks)
            days -= days % 7;
        if (days > 0)
            rest = ms - (from.addDays(days).toMSecsSinceEpoch() - fromMs);
    }
    TimeParts p;
    const qint64 s = rest / 1000;
    p.seconds = s % 60;
    p.minutes = (s / 60) % 60;
    p.hours = s / 3600;
    p.hundredths = (rest % 1000) / 10;
    p.weeks = days / 7;
    p.days = days % 7;
    return p;
}

} // namespace

TimeParts tickCounts(const QDateTime& moment, const QDateTime& now, TickAction action,
                     DayUnits units)
{
    if (action == TickAction::Finish || !moment.isValid() || !now.isValid())
        return zeros();
    const bool up = action == TickAction::CountUp;
    const QDateTime& from = up ? moment : now;
    const QDateTime& to = up ? now : moment;
    return countsBetween(from, from.toMSecsSinceEpoch(), to, std::llabs(from.msecsTo(to)), units);
}

Tick tick(const QDateTime& moment, const QDateTime& now, bool countingDown, DayUnits units)
{
    if (!moment.isValid() || !now.isValid()) {
        const TickAction action = tickAction(moment, now, countingDown);
        return {action, zeros()};
    }
    // Each local moment is turned into absolute time once; that is most of the cost.
    return tick(moment, moment.toMSecsSinceEpoch(), now, now.toMSecsSinceEpoch(), countingDown,
                units);
}

Tick tick(const QDateTime& moment, qint64 end, const QDateTime& now, qint64 current,
          bool countingDown, DayUnits units)
{
    if (!moment.isValid() || !now.isValid()) {
        const TickAction action = tickAction(moment, now, countingDown);
        return {action, zeros()};
    }
    if (end < current) {
        if (countingDown)
            return {TickAction::Finish, zeros()};
        return {TickAction::CountUp, countsBetween(moment, end, now, current - end, units)};
    }
    return {TickAction::CountDown, countsBetween(now, current, moment, end - current, units)};
}

TimeParts applyFormat(const TimeParts& c, const DisplayFormat& f, bool showCaptions)
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
        struct Unit
        {
            bool DisplayFormat::*shown;
            qint64 TimeParts::*count, TimeParts::*smaller;
            qint64 factor;
        };
        static constexpr Unit units[] = {
            {&DisplayFormat::weekFormat, &TimeParts::weeks, &TimeParts::days, 7},
            {&DisplayFormat::dayFormat, &TimeParts::days, &TimeParts::hours, 24},
            {&DisplayFormat::hourFormat, &TimeParts::hours, &TimeParts::minutes, 60},
            {&DisplayFormat::minFormat, &TimeParts::minutes, &TimeParts::seconds, 60},
            {&DisplayFormat::secFormat, &TimeParts::seconds, &TimeParts::hundredths, 100},
            {&DisplayFormat::msecFormat, &TimeParts::hundredths, nullptr, 0}};
        for (const Unit& u : units) {
            if (f.*u.shown)
                continue;
            if (u.smaller)
                p.*u.smaller += u.factor * (p.*u.count);
            p.*u.count = -1;
        }
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

QString spokenParts(const TimeParts& parts)
{
    static const char* const units[] = {QT_TRANSLATE_N_NOOP("td::timermath", "%n week(s)"),
                                        QT_TRANSLATE_N_NOOP("td::timermath", "%n day(s)"),
                                        QT_TRANSLATE_N_NOOP("td::timermath", "%n hour(s)"),
                                        QT_TRANSLATE_N_NOOP("td::timermath", "%n minute(s)"),
                                        QT_TRANSLATE_N_NOOP("td::timermath", "%n second(s)")};
    const qint64 values[] = {parts.weeks, parts.days, parts.hours, parts.minutes, parts.seconds};
    QStringList words;
    for (int i = 0; i < 5; ++i)
        if (values[i] >= 0)
            words << QCoreApplication::translate("td::timermath", units[i], nullptr,
                                                 int(qMin<qint64>(values[i], INT_MAX)));
    return words.join(u' ');
}

} // namespace td::timermath
