#include "app/Names.h"

#include <QCoreApplication>

namespace td {

QString unitName(int unit, bool plural)
{
    static const char* const singular[] = {"Minute", "Hour", "Day", "Week", "Month", "Year"};
    static const char* const plurals[] = {"Minutes", "Hours", "Days", "Weeks", "Months", "Years"};
    if (unit < 0 || unit > 5)
        return QString();
    return QCoreApplication::translate("Units", plural ? plurals[unit] : singular[unit]);
}

QString weekdayName(int day)
{
    static const char* const names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
    if (day < 0 || day > 6)
        return QString();
    return QCoreApplication::translate("Weekdays", names[day]);
}

} // namespace td
