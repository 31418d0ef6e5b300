// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmRecord.h"
#include "common/HolidayRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

/// Alarms and holidays to and from iCalendar (RFC 5545), through libical.
///
/// Export: one VEVENT per alarm, DTSTART in the local zone (its VTIMEZONE
/// included), a VALARM at the event, an RRULE for each way Tidra repeats.
/// Disabled alarms are written with STATUS:CANCELLED, so they come back
/// disabled. Monthly alarms on the 29th to 31st and yearly ones on 29 February
/// ring at the end of shorter months, where a calendar skips the month; they
/// carry X-TIDRA-SHORT-MONTHS:LAST, and only such events come back as those
/// alarms. Minute and hour steps are elapsed time in Tidra and wall-clock time
/// in a calendar: the two differ across a change of the clocks.
namespace td::ical {

/// Larger files are refused before they are parsed.
inline constexpr qint64 maxFileBytes = 8 * 1024 * 1024;
/// Components nest at most this deep (calendar, event, alarm, zone rule...).
inline constexpr int maxDepth = 6;

/// Something of a calendar that was not taken, and why, in the user's words.
struct LeftOut
{
    QString summary;
    QString reason;
    bool operator==(const LeftOut& o) const { return summary == o.summary && reason == o.reason; }
};

struct Export
{
    QByteArray text;
    QList<LeftOut> leftOut; ///< alarms that can never ring
};

/// The calendar of `alarms`, stamped at `now`. An alarm without a uid gets one
/// for this file only.
Export exportAlarms(const QList<AlarmRecord>& alarms, const QDateTime& now);

struct AlarmImport
{
    QString error; ///< set when the file as a whole is refused; nothing else is then
    QList<AlarmRecord> alarms;
    QList<LeftOut> leftOut;
    int known = 0; ///< events whose uid is among `knownUids` (or twice in the file)
};

/// The events of `text` that Tidra can hold exactly, as alarms; a recurring
/// one starts at its next occurrence after `now`. Events whose uid is in
/// `knownUids` are counted, not added. `remindersOnly`: events without a
/// reminder of their own are left out (a calendar's events that only remind).
AlarmImport importAlarms(const QByteArray& text, const QDateTime& now,
                         const QSet<QString>& knownUids, bool remindersOnly = false);

struct HolidayImport
{
    QString error;
    QList<HolidayRecord> holidays;
    QList<LeftOut> leftOut;
};

/// The all-day events of `text`: one day, yearly when the rule says so, is a
/// holiday; several days are a vacation (a holiday when yearly). Each record
/// is marked with `calendar`. Events that ended before `today` are left out.
HolidayImport importHolidays(const QByteArray& text, const QString& calendar, const QDate& today);

/// libical's own expansion: the first `count` moments after `now` of the
/// event with `uid`, in local time; empty when there is no such event.
QList<QDateTime> occurrencesAfter(const QByteArray& text, const QString& uid, const QDateTime& now,
                                  int count);

} // namespace td::ical
