// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace td {

class AlarmModel;
class EventStore;

/// The alarms to and from iCalendar files, for the Alarms page and the
/// command line alike.
namespace transfer {

struct Outcome
{
    bool ok = false;
    QString report;  ///< what was done, or why nothing was
    QByteArray text; ///< the calendar, when exported to "-"
};

/// Writes every alarm to `path`; "-" leaves the calendar in `text`. An alarm
/// gets its uid at its first export (a change the store saves), so files
/// that were never exported stay as they were.
Outcome exportAlarms(AlarmModel& alarms, const QString& path);

/// Adds the events of the calendar at `path` that Tidra can hold exactly and
/// are not there yet, and says "done" only once the Alarms file holds them: a
/// failed save takes them out again. A broken file changes nothing.
Outcome importAlarms(AlarmModel& alarms, EventStore& store, const QString& path);

} // namespace transfer
} // namespace td
