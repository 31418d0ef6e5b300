// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

namespace td {

enum HolidayType { TypeHoliday = 0, TypeVacation = 1 };

/// One holiday (a day that comes back every year) or vacation (a range of days).
struct HolidayRecord
{
    HolidayRecord() = default;
    HolidayRecord(QString name, int type, QDate start, QDate end, bool yearly = true,
                  QString calendar = {})
        : name(std::move(name)), type(type), startDate(start), endDate(end), yearly(yearly),
          calendar(std::move(calendar))
    {
    }

    QString name;
    int type = TypeHoliday;
    QDate startDate;
    QDate endDate;
    bool yearly = true; ///< a holiday that comes back every year; a calendar's may not
    QString calendar;   ///< the subscribed calendar it comes from; empty: the user's own

    bool operator==(const HolidayRecord& o) const
    {
        return name == o.name && type == o.type && startDate == o.startDate &&
               endDate == o.endDate && yearly == o.yearly && calendar == o.calendar;
    }
    bool operator!=(const HolidayRecord& o) const { return !(*this == o); }
};

} // namespace td
