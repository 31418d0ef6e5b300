// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/LocaleFormat.h"

namespace td {

namespace {

bool keepsEnglish(const QLocale& locale)
{
    return locale.language() == QLocale::English || locale.language() == QLocale::C;
}

} // namespace

QString readableDate(const QDate& date, const QString& englishPattern, const QLocale& locale)
{
    if (keepsEnglish(locale))
        return QLocale::c().toString(date, englishPattern);
    const QString day = locale.toString(date, QLocale::ShortFormat);
    return englishPattern.contains(QLatin1String("ddd"))
               ? locale.toString(date, QStringLiteral("ddd")) + QLatin1Char(' ') + day
               : day;
}

QString readableTime(const QTime& time, const QString& englishPattern, const QLocale& locale)
{
    return keepsEnglish(locale) ? QLocale::c().toString(time, englishPattern)
                                : locale.toString(time, QLocale::ShortFormat);
}

QString readableDateTime(const QDateTime& moment, const QString& englishPattern,
                         const QLocale& locale)
{
    if (keepsEnglish(locale))
        return QLocale::c().toString(moment, englishPattern);
    const QString time = readableTime(moment.time(), englishPattern, locale);
    const QString date = readableDate(moment.date(), englishPattern, locale);
    return englishPattern.startsWith(QLatin1Char('h')) ||
                   englishPattern.startsWith(QLatin1Char('H'))
               ? time + QLatin1Char(' ') + date
               : date + QLatin1Char(' ') + time;
}

QString timeEditFormat(const QString& fallback, const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return fallback;
    QString format = locale.timeFormat(QLocale::ShortFormat);
    // Seconds where the edit shows them, which short formats leave out.
    if (fallback.contains(QLatin1String("ss")) && !format.contains(QLatin1String("ss")))
        format.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
    return format;
}

} // namespace td
