// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace td {

/// Dates and times as the user reads them in details and lists. English (and
/// the C locale) keeps the program's own English pattern, which names the
/// month so that no reader takes it for the day; any other language gets its
/// locale's short formats, the weekday (where the pattern has one) in front
/// of the date.
QString readableDate(const QDate& date, const QString& englishPattern,
                     const QLocale& locale = QLocale());
QString readableTime(const QTime& time, const QString& englishPattern,
                     const QLocale& locale = QLocale());
/// Time and date, in the order of the English pattern.
QString readableDateTime(const QDateTime& moment, const QString& englishPattern,
                         const QLocale& locale = QLocale());
/// The display format time edits use: the locale's short time format (so
/// 12-hour where the locale counts so, with seconds where `fallback` has
/// them), `fallback` for the C locale.
QString timeEditFormat(const QString& fallback, const QLocale& locale = QLocale());

} // namespace td
