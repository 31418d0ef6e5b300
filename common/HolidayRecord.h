// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

namespace td {

enum HolidayType { TypeHoliday = 0, TypeVacation = 1 };

/// One holiday (a day that comes back every year) or vacation (a range of days).
struct HolidayRecord
{
    QString name;
    int type = TypeHoliday;
    QDate startDate;
    QDate endDate;

    bool operator==(const HolidayRecord& o) const
    {
        return name == o.name && type == o.type && startDate == o.startDate && endDate == o.endDate;
    }
    bool operator!=(const HolidayRecord& o) const { return !(*this == o); }
};

} // namespace td
