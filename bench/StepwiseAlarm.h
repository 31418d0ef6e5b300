// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmRecord.h"
#include "common/Clock.h"

#include <QDateTime>

namespace td::test {

// The rule taken literally, single steps from the base until past now: the baseline the
// benchmark measures against.
inline QDateTime stepwiseNextAlarmTime(const td::AlarmRecord& r, const QDateTime& now)
{
    if (!r.enabled || !td::isSound(r))
        return QDateTime();
    QDateTime t = td::alarmMoment(r);
    if (r.repeatMode == td::RepeatOnce)
        return t;
    if (r.repeatMode == td::RepeatEvery) {
        QDate d = r.date;
        while (!(t > now)) {
            for (int i = 0; i < r.repeatRange; ++i) {
                switch (r.repeatMeasure) {
                case td::Minutes:
                    t = t.addSecs(60);
                    break;
                case td::Hours:
                    t = t.addSecs(3600);
                    break;
                case td::Days:
                    d = d.addDays(1);
                    break;
                case td::Weeks:
                    d = d.addDays(7);
                    break;
                case td::Months:
                    d = d.addMonths(1);
                    break;
                default:
                    d = d.addYears(1);
                    break;
                }
            }
            if (r.repeatMeasure >= td::Days)
                t = td::localMoment(d, r.time);
        }
        return t;
    }
    bool any = false;
    for (bool b : r.days)
        any = any || b;
    if (!any)
        return QDateTime();
    for (QDate d = r.date;; d = d.addDays(1)) {
        t = td::localMoment(d, r.time);
        if (t > now && r.days[t.date().dayOfWeek() % 7])
            return t;
    }
}

} // namespace td::test
