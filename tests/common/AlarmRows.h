// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmRecord.h"

#include <QStringList>

namespace td::test {

/// An alarm from one line: "name [2024-05-06] 10:00 [every 2 h | on 0100010] [off]". Units are
/// min h d w mo y or a number, days start on Sunday, "-" is no date, the day defaults to Monday
/// 6 May 2024 and the message is the name and " message".
inline td::AlarmRecord alarm(const QString& spec)
{
    QStringList f = spec.split(' ', Qt::SkipEmptyParts);
    td::AlarmRecord r;
    r.name = f.takeFirst();
    r.message = r.name + " message";
    r.enabled = !f.removeOne("off");
    r.date = f[0].contains(':') ? QDate(2024, 5, 6) : QDate::fromString(f.takeFirst(), Qt::ISODate);
    r.time = QTime::fromString(f.takeFirst());
    if (f.value(0) == "every") {
        r.repeatMode = td::RepeatEvery;
        r.repeatRange = f[1].toInt();
        const int unit = QStringList{"min", "h", "d", "w", "mo", "y"}.indexOf(f[2]);
        r.repeatMeasure = unit < 0 ? f[2].toInt() : unit;
    } else if (f.value(0) == "on") {
        r.repeatMode = td::RepeatDayOfWeek;
        for (int d = 0; d < 7; ++d)
            r.days[d] = f[1][d] == '1';
    }
    return r;
}

} // namespace td::test
