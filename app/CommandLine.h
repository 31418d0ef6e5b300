// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmRecord.h"
#include "app/InstanceProtocol.h"
#include "timers/TimerMath.h"
#include "timers/TimerModel.h"

#include <QDateTime>
#include <QStringList>

/// The command line: what a start of Tidra is asked to do, read before any
/// window, tray icon or file exists, and the rules that turn the texts of a
/// command ("+25m", "07:30", "1h30m") into alarms and timers.
namespace td::cli {

enum class Mode {
    Run,     ///< no command: start, or bring the running Tidra forward
    Help,    ///< print the usage, exit 0
    Version, ///< print the version, exit 0
    Usage,   ///< a bad command line: `error`, the usage on stderr, exit 2
    Command, ///< `request` for the running Tidra
};

struct Invocation
{
    Mode mode = Mode::Run;
    protocol::Request request;
    QString error;
    /// Run: started by a command, with no terminal of its own.
    bool detached = false;
};

/// The program's arguments as text, argv[0] first.
QStringList arguments(int argc, char** argv);
/// Reads the arguments (argv[0] first). The toolkit's own options (-platform,
/// -display, -style, ...) are accepted and left for the application object.
Invocation parse(const QStringList& arguments);
QString helpText();
/// "Tidra 1.2.31"
QString versionText();
/// The arguments of the instance a command starts: the toolkit's options of
/// `arguments` (argv[0] first), and the private flag of a detached instance.
QStringList detachedArguments(const QStringList& arguments);
/// Whether the command starts Tidra when none runs; --list, --export and --quit do not.
bool startsProgram(const QString& command);

/// How a WHEN or SPAN text failed.
enum class Problem { None, Syntax, Past, TooFar };

struct Moment
{
    QDateTime at;
    Problem problem = Problem::None;
};

/// WHEN of --alarm: "07:30" (the next such time, today or tomorrow),
/// "2026-12-24 18:00", "+25m", "+1h30m" or "+2d". Alarms are kept to the whole
/// minute, so a relative moment drops its seconds; `at` is the exact moment even
/// where the clocks go back and a time of day happens twice.
Moment resolveWhen(const QString& text, const QDateTime& now);

/// What an alarm or timer command comes to: the record to add, or a refusal.
struct AlarmCommand
{
    AlarmRecord record;
    QDateTime moment; ///< exact first moment
    protocol::Reply refusal;
    bool ok() const { return refusal.code == protocol::Done; }
};
AlarmCommand alarmCommand(const QStringList& args, const QDateTime& now);

struct TimerCommand
{
    TimerRecord record;
    protocol::Reply refusal;
    bool ok() const { return refusal.code == protocol::Done; }
};
TimerCommand timerCommand(const QStringList& args, const QDateTime& now);

/// The local moment as replies write it for people.
QString formatMoment(const QDateTime& moment);

// --list is read by scripts: the same words and ISO 8601 moments with their UTC
// offset ("2026-12-07T10:25:00+01:00") whatever the language.

/// How an alarm repeats, in --list: "once", "every 2 hours", "on Mon,Fri".
QString listRepeat(const AlarmRecord& record);
/// One line of --list for an alarm: "alarm", name, the next moment it shows
/// ("disabled" when none), how it repeats, the pending reminder ("none" when
/// none); tab-separated.
QString alarmLine(const AlarmRecord& record, const QDateTime& next, const QDateTime& reminder);
/// One line of --list for a timer: "timer", name, "counting down", "counting
/// up", "paused" or "finished", its moment (the end of a countdown, else the
/// start), "shown" or "hidden", the laps ("none" when none).
QString timerLine(const TimerEntry& timer);

} // namespace td::cli
