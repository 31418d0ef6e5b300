// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Names.h"

#include <QCoreApplication>

namespace td {

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
