// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmRecord.h"

#include <QStringList>

namespace td::test {

/// Monday 6 May 2024, the day the alarm tests start from.
inline const QDate monday(2024, 5, 6);

/// A one-time alarm, switched on.
inline td::AlarmRecord once(const QDate& date, const QTime& time, const QString& name = "Tea")
{
    td::AlarmRecord r;
    r.enabled = true;
    r.name = name;
    r.message = name + " message";
    r.date = date;
    r.time = time;
    return r;
}

/// An alarm repeated every `count` `unit`s from `date` at `time`.
inline td::AlarmRecord every(int count, int unit, const QDate& date, const QTime& time)
{
    td::AlarmRecord r = once(date, time);
    r.repeatMode = td::RepeatEvery;
    r.repeatRange = count;
    r.repeatMeasure = unit;
    return r;
}

/// An alarm on the given days of the week (0 is Sunday).
inline td::AlarmRecord onDays(const QList<int>& days, const QDate& date, const QTime& time)
{
    td::AlarmRecord r = once(date, time);
    r.repeatMode = td::RepeatDayOfWeek;
    for (const int d : days)
        r.days[d] = true;
    return r;
}

/// Until the widget tests build their alarms with once(): "Tea 10:30" is once(monday, 10:30).
inline td::AlarmRecord alarm(const QString& nameAndTime)
{
    const QStringList f = nameAndTime.split(' ');
    return once(monday, QTime::fromString(f.value(1)), f[0]);
}

} // namespace td::test
