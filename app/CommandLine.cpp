// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include "common/AppInfo.h"
#include "common/Clock.h"
#include "common/Spans.h"
#include "timers/TimerMath.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#include <iterator>
#include <limits>

namespace td::cli {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("td::cli", text); // lupdate's context for tr() here
}

namespace opt {
const QString help = QStringLiteral("help");
const QString version = QStringLiteral("version");
/// Private: the instance a command starts runs with it (see detachedArguments).
const QString detached = QStringLiteral("detached-instance");
} // namespace opt

/// The options every command line of the toolkit's applications understands;
/// QApplication takes them out of argv itself.
const char* const toolkitValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "name",
    "style",       "stylesheet",         "geometry",      "title",   "qmljsdebugger"};
// X11's debugging flag -sync is left out: the name is Tidra's --sync.
const char* const toolkitFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb"};

/// Commands in the order they are offered; the value name for those that take one.
struct CommandOption
{
    QString name;
    const char* valueName;
    const char* description;
};

const CommandOption commandOptions[] = {
    {protocol::command::show, QT_TRANSLATE_NOOP("td::cli", "page"),
     QT_TRANSLATE_NOOP("td::cli", "Show a page of the settings window: datetime, alarms, "
                                  "timers, work, settings or about; or popups: the newest "
                                  "alarm pop-up takes the keyboard.")},
    {protocol::command::newAlarm, nullptr,
     QT_TRANSLATE_NOOP("td::cli", "Open the editor for a new alarm.")},
    {protocol::command::newTimer, nullptr,
     QT_TRANSLATE_NOOP("td::cli", "Open the editor for a new timer.")},
    {protocol::command::alarm, QT_TRANSLATE_NOOP("td::cli", "when"),
     QT_TRANSLATE_NOOP("td::cli",
                       "Set a one-time alarm, with an optional name and message: when is 07:30, "
                       "\"2026-12-24 18:00\", +25m or +1h30m.")},
    {protocol::command::timer, QT_TRANSLATE_NOOP("td::cli", "span"),
     QT_TRANSLATE_NOOP("td::cli",
                       "Start a countdown window, with an optional name: span is 25m, 1h30m or "
                       "90s.")},
    {protocol::command::list, nullptr,
     QT_TRANSLATE_NOOP("td::cli", "Print the alarms and timers of the running Tidra, one per line, "
                                  "tab-separated.")},
    {protocol::command::exportAlarms, QT_TRANSLATE_NOOP("td::cli", "file"),
     QT_TRANSLATE_NOOP("td::cli", "Write the alarms of the running Tidra to an iCalendar file; "
                                  "- writes them to standard output.")},
    {protocol::command::importAlarms, QT_TRANSLATE_NOOP("td::cli", "file"),
     QT_TRANSLATE_NOOP("td::cli", "Add the events of an iCalendar file as alarms, and print what "
                                  "was left out and why.")},
    {protocol::command::sync, nullptr,
     QT_TRANSLATE_NOOP("td::cli", "Sync the alarms of the running Tidra with the calendar "
                                  "server now, and print how it went.")},
    {protocol::command::quit, nullptr,
     QT_TRANSLATE_NOOP("td::cli", "Quit the running Tidra after it has saved everything.")},
};

void setUp(QCommandLineParser& p)
{
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    p.setApplicationDescription(
        tr("Tidra keeps alarms, timers and work-schedule countdowns in the system tray.\n"
           "Without an option it starts, or shows the settings window of the Tidra that runs.\n"
           "A command goes to the Tidra that runs; one that needs it starts Tidra first."));
    p.addOption({{QStringLiteral("h"), opt::help}, tr("Print this help and exit.")});
    p.addOption({{QStringLiteral("v"), opt::version}, tr("Print the version and exit.")});
    for (const CommandOption& c : commandOptions) {
        if (c.valueName)
            p.addOption({c.name, tr(c.description), tr(c.valueName)});
        else
            p.addOption({c.name, tr(c.description)});
    }
    p.addPositionalArgument(tr("name"), tr("The name of the alarm or timer."), tr("[name"));
    p.addPositionalArgument(tr("message"), tr("The message of the alarm."), tr("[message]]"));
    for (const char* name : toolkitValueOptions) {
        QCommandLineOption o(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(o);
    }
    for (const char* name : toolkitFlagOptions) {
        QCommandLineOption o(QString::fromLatin1(name));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(o);
    }
    QCommandLineOption detached(opt::detached);
    detached.setFlags(QCommandLineOption::HiddenFromHelp);
    p.addOption(detached);
}

Invocation usage(const QString& error)
{
    return Invocation{Mode::Usage, {}, error};
}

/// "2026-12-24" followed by "18:00" as two words: the user meant one moment.
void joinSplitMoment(QStringList& args)
{
    static const QRegularExpression date(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    static const QRegularExpression time(QStringLiteral("^\\d{1,2}:\\d{2}$"));
    if (args.size() >= 2 && date.match(args[0]).hasMatch() && time.match(args[1]).hasMatch()) {
        args[0] += QLatin1Char(' ') + args[1];
        args.removeAt(1);
    }
}

QString escapeField(QString s)
{
    s.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    s.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    s.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    s.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return s;
}

QDateTime wholeMinuteBefore(const QDateTime& t)
{
    // In ms since the epoch, so a moment in the hour the clocks repeat keeps its offset.
    const qint64 ms = t.toMSecsSinceEpoch();
    return QDateTime::fromMSecsSinceEpoch(ms - ((ms % 60000) + 60000) % 60000);
}

} // namespace

QStringList arguments(int argc, char** argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

Invocation parse(const QStringList& arguments)
{
    QCommandLineParser p;
    setUp(p);
    if (!p.parse(arguments))
        return usage(p.errorText());
    if (p.isSet(opt::help))
        return Invocation{Mode::Help, {}, {}};
    if (p.isSet(opt::version))
        return Invocation{Mode::Version, {}, {}};

    QStringList given;
    for (const CommandOption& c : commandOptions) {
        if (p.isSet(c.name))
            given << c.name;
        if (c.valueName && p.values(c.name).size() > 1)
            return usage(tr("--%1 is given more than once.").arg(c.name));
    }
    if (given.size() > 1)
        return usage(
            tr("Give one command at a time, not --%1 and --%2.").arg(given.at(0), given.at(1)));
    QStringList positional = p.positionalArguments();
    if (given.isEmpty()) {
        if (!positional.isEmpty())
            return usage(tr("Unexpected argument \"%1\".").arg(positional.constFirst()));
        return Invocation{Mode::Run, {}, {}, p.isSet(opt::detached)};
    }

    protocol::Request request{given.constFirst(), {}};
    if (request.command == protocol::command::alarm) {
        request.args = QStringList{p.value(request.command)} + positional;
        joinSplitMoment(request.args);
        if (request.args.size() > 3)
            return usage(tr("Unexpected argument \"%1\".").arg(request.args.at(3)));
        // Only the form is checked here; the Tidra that runs decides on its own clock.
        const AlarmCommand c = alarmCommand(request.args, now());
        if (c.refusal.code == protocol::UsageError)
            return usage(c.refusal.err);
    } else if (request.command == protocol::command::timer) {
        request.args = QStringList{p.value(request.command)} + positional;
        if (request.args.size() > 2)
            return usage(tr("Unexpected argument \"%1\".").arg(request.args.at(2)));
        const TimerCommand c = timerCommand(request.args, now());
        if (c.refusal.code == protocol::UsageError)
            return usage(c.refusal.err);
    } else {
        if (!positional.isEmpty())
            return usage(tr("Unexpected argument \"%1\".").arg(positional.constFirst()));
        if (request.command == protocol::command::show)
            request.args << p.value(request.command);
        if (request.command == protocol::command::exportAlarms ||
            request.command == protocol::command::importAlarms) {
            const QString file = p.value(request.command);
            const bool toOutput = file == QLatin1String("-");
            if (toOutput && request.command == protocol::command::importAlarms)
                return usage(tr("--import reads a file, not standard input."));
            // The running Tidra may have started in another folder.
            request.args << (toOutput ? file : QFileInfo(file).absoluteFilePath());
        }
    }
    const QString problem = protocol::checkArguments(request);
    if (!problem.isEmpty())
        return usage(problem);
    return Invocation{Mode::Command, request, {}};
}

QString helpText()
{
    QCommandLineParser p;
    setUp(p);
    // The usage line names the command people type, not the path this process came from.
    QString text = p.helpText();
    const QStringList args = QCoreApplication::arguments();
    const QString program = args.isEmpty() ? QString() : args.first();
    const qsizetype at = program.isEmpty() ? -1 : text.indexOf(program);
    if (at >= 0 && at < text.indexOf(u'\n'))
        text.replace(at, program.size(), QStringLiteral("tidra"));
    return text + QLatin1Char('\n') +
           tr("Exit codes: 0 done, 1 refused (the reason is printed; also when Tidra is busy\n"
              "and does not answer, or cannot save on --quit), 2 wrong command line or no\n"
              "display to show Tidra on, 3 Tidra is not running (for --list and --quit).\n");
}

QString versionText()
{
    return QStringLiteral("%1 %2.%3.%4")
        .arg(QString::fromLatin1(info::applicationName))
        .arg(info::versionMajor)
        .arg(info::versionMinor)
        .arg(QString::fromLatin1(info::versionPatch));
}

QStringList detachedArguments(const QStringList& arguments)
{
    QCommandLineParser p;
    setUp(p);
    QStringList kept;
    if (!p.parse(arguments))
        return kept << QLatin1String("--") + opt::detached;
    // Names and messages stay out: a process's arguments are open to every user.
    for (const char* name : toolkitValueOptions)
        for (const QString& value : p.values(QString::fromLatin1(name)))
            kept << QLatin1String("-") + QLatin1String(name) << value;
    for (const char* name : toolkitFlagOptions)
        if (p.isSet(QString::fromLatin1(name)))
            kept << QLatin1String("-") + QLatin1String(name);
    return kept << QLatin1String("--") + opt::detached;
}

bool startsProgram(const QString& command)
{
    return command != protocol::command::list && command != protocol::command::quit &&
           command != protocol::command::ping && command != protocol::command::exportAlarms &&
           command != protocol::command::sync;
}

Moment resolveWhen(const QString& input, const QDateTime& now)
{
    const QString text = input.trimmed().toLower();
    static const QRegularExpression relative(
        QStringLiteral("^\\+(?:(\\d+)d)?(?:(\\d+)h)?(?:(\\d+)m(?:in)?)?$"));
    static const QRegularExpression timeOfDay(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    static const QRegularExpression dateAndTime(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})[ t](\\d{1,2}):(\\d{2})$"));

    const qint64 secs = spans::sumUnits(relative.match(text), {86400, 3600, 60});
    if (secs >= 0) {
        if (secs > timermath::maxSpanSecs)
            return {QDateTime(), Problem::TooFar};
        const QDateTime at = wholeMinuteBefore(now.addSecs(secs)).toLocalTime();
        return {at, at > now ? Problem::None : Problem::Past};
    }
    if (const QRegularExpressionMatch m = timeOfDay.match(text); m.hasMatch()) {
        const QTime time(m.captured(1).toInt(), m.captured(2).toInt());
        if (!time.isValid())
            return {QDateTime(), Problem::Syntax};
        const QDateTime today = localMoment(now.date(), time);
        return {today > now ? today : localMoment(now.date().addDays(1), time), Problem::None};
    }
    if (const QRegularExpressionMatch m = dateAndTime.match(text); m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        const QTime time(m.captured(4).toInt(), m.captured(5).toInt());
        if (!date.isValid() || !time.isValid())
            return {QDateTime(), Problem::Syntax};
        const QDateTime at = localMoment(date, time);
        if (at <= now)
            return {at, Problem::Past};
        return {at, now.secsTo(at) > timermath::maxSpanSecs ? Problem::TooFar : Problem::None};
    }
    return {QDateTime(), Problem::Syntax};
}

AlarmCommand alarmCommand(const QStringList& args, const QDateTime& now)
{
    AlarmCommand c;
    const QString when = args.value(0);
    const Moment m = resolveWhen(when, now);
    switch (m.problem) {
    case Problem::Syntax:
        c.refusal = {protocol::UsageError, QString(),
                     tr("\"%1\" is not a moment: give a time such as 07:30, a date and time "
                        "such as \"2026-12-24 18:00\", or a span from now such as +25m or +1h30m.")
                         .arg(when)};
        return c;
    case Problem::Past:
        c.refusal = protocol::refused(tr("Alarm can not be placed in the past."));
        return c;
    case Problem::TooFar:
        c.refusal = protocol::refused(tr("Alarm can not be placed more than %1 days ahead.")
                                          .arg(timermath::maxSpanSecs / 86400));
        return c;
    case Problem::None:
        break;
    }
    const QString name = args.value(1).trimmed();
    c.record.enabled = true;
    c.record.name = name.isEmpty() ? tr("Alarm") : name;
    c.record.date = m.at.date();
    c.record.time = QTime(m.at.time().hour(), m.at.time().minute());
    c.record.repeatMode = RepeatOnce;
    c.record.message = args.value(2);
    c.moment = m.at;
    return c;
}

TimerCommand timerCommand(const QStringList& args, const QDateTime& now)
{
    TimerCommand c;
    const QString text = args.value(0);
    const qint64 secs = spans::parse(text);
    if (secs < 0) {
        c.refusal = {protocol::UsageError, QString(),
                     tr("\"%1\" is not a span: give one such as 25m, 1h30m or 90s.").arg(text)};
        return c;
    }
    if (secs == 0) {
        c.refusal = protocol::refused(tr("A countdown needs a span longer than zero."));
        return c;
    }
    if (secs > timermath::maxSpanSecs) {
        c.refusal = protocol::refused(
            tr("A countdown can last at most %1 days.").arg(timermath::maxSpanSecs / 86400));
        return c;
    }
    const QString name = args.value(1).trimmed();
    c.record.name = name.isEmpty() ? text.trimmed() : name;
    c.record.type = TypeTimer;
    c.record.spanSecs = secs;
    c.record.dateTime = timermath::spanEnd(now, secs);
    return c;
}

QString formatMoment(const QDateTime& moment)
{
    return moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

namespace {

QString listMoment(const QDateTime& moment)
{
    const QDateTime local = moment.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace

QString listRepeat(const AlarmRecord& record)
{
    switch (record.repeatMode) {
    case RepeatOnce:
        return QStringLiteral("once");
    case RepeatEvery: {
        static const char* const units[] = {"minute", "hour", "day", "week", "month", "year"};
        const int unit = record.repeatMeasure;
        if (unit < 0 || unit >= int(std::size(units)))
            return QStringLiteral("every %1").arg(record.repeatRange);
        return QStringLiteral("every %1 %2%3")
            .arg(record.repeatRange)
            .arg(QLatin1String(units[unit]), record.repeatRange == 1 ? "" : "s");
    }
    case RepeatDayOfWeek: {
        static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        QStringList on;
        // Monday first, as the week is written in ISO 8601.
        for (int i = 1; i <= 7; ++i)
            if (record.days[i % 7])
                on << QLatin1String(days[i % 7]);
        return QStringLiteral("on ") + on.join(QLatin1Char(','));
    }
    default:
        return QStringLiteral("unknown");
    }
}

QString alarmLine(const AlarmRecord& record, const QDateTime& next, const QDateTime& reminder)
{
    return QStringList{QStringLiteral("alarm"), escapeField(record.name),
                       next.isValid() ? listMoment(next) : QStringLiteral("disabled"),
                       listRepeat(record),
                       reminder.isValid() ? listMoment(reminder) : QStringLiteral("none")}
        .join(QLatin1Char('\t'));
}

QString timerLine(const TimerEntry& timer)
{
    const QString state = timer.state == TimerState::Finished     ? QStringLiteral("finished")
                          : timer.paused()                        ? QStringLiteral("paused")
                          : timer.state == TimerState::CountingUp ? QStringLiteral("counting up")
                                                                  : QStringLiteral("counting down");
    QStringList laps;
    for (const qint64 lap : timer.laps)
        laps << timermath::lapText(lap);
    return QStringList{QStringLiteral("timer"),
                       escapeField(timer.record.name),
                       state,
                       listMoment(timer.record.dateTime),
                       timer.visible ? QStringLiteral("shown") : QStringLiteral("hidden"),
                       laps.isEmpty() ? QStringLiteral("none") : laps.join(QLatin1Char(','))}
        .join(QLatin1Char('\t'));
}

} // namespace td::cli
