// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Names.h"

#include <QCoreApplication>

namespace td {

QString unitName(int unit, bool plural)
{
    static const char* const singular[] = {
        QT_TRANSLATE_NOOP("Units", "Minute"), QT_TRANSLATE_NOOP("Units", "Hour"),
        QT_TRANSLATE_NOOP("Units", "Day"),    QT_TRANSLATE_NOOP("Units", "Week"),
        QT_TRANSLATE_NOOP("Units", "Month"),  QT_TRANSLATE_NOOP("Units", "Year")};
    static const char* const plurals[] = {
        QT_TRANSLATE_NOOP("Units", "Minutes"), QT_TRANSLATE_NOOP("Units", "Hours"),
        QT_TRANSLATE_NOOP("Units", "Days"),    QT_TRANSLATE_NOOP("Units", "Weeks"),
        QT_TRANSLATE_NOOP("Units", "Months"),  QT_TRANSLATE_NOOP("Units", "Years")};
    if (unit < 0 || unit > 5)
        return QString();
    return QCoreApplication::translate("Units", plural ? plurals[unit] : singular[unit]);
}

QString weekdayName(int day)
{
    static const char* const names[] = {
        QT_TRANSLATE_NOOP("Weekdays", "Sunday"),   QT_TRANSLATE_NOOP("Weekdays", "Monday"),
        QT_TRANSLATE_NOOP("Weekdays", "Tuesday"),  QT_TRANSLATE_NOOP("Weekdays", "Wednesday"),
        QT_TRANSLATE_NOOP("Weekdays", "Thursday"), QT_TRANSLATE_NOOP("Weekdays", "Friday"),
        QT_TRANSLATE_NOOP("Weekdays", "Saturday")};
    if (day < 0 || day > 6)
        return QString();
    return QCoreApplication::translate("Weekdays", names[day]);
}

} // namespace td
