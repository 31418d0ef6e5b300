// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceCommands.h"

#include "alarms/AlarmModel.h"
#include "app/CalendarSync.h"
#include "app/CalendarTransfer.h"
#include "app/CommandLine.h"
#include "app/MainSettingsDlg.h"
#include "common/Clock.h"
#include "storage/EventStore.h"

#include <QAction>
#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

namespace td {

namespace {

namespace cmd = protocol::command;

QString tr(const char* text)
{
    return QCoreApplication::translate("td::protocol", text); // lupdate's context for tr() here
}

protocol::Reply done(const QString& out = QString())
{
    return protocol::Reply{protocol::Done, out, QString()};
}

/// Says "done" only once the files hold what was done; otherwise undoes it.
protocol::Reply saved(MainSettingsDlg& window, const QString& out,
                      const std::function<void()>& undo)
{
    QString error;
    if (window.store().commit(&error))
        return done(out);
    undo();
    return protocol::refused(tr("Tidra could not save it: %1.\n").arg(error));
}

protocol::Reply addAlarm(MainSettingsDlg& window, const QStringList& args)
{
    const cli::AlarmCommand c = cli::alarmCommand(args, now());
    if (!c.ok())
        return c.refusal;
    AlarmModel& alarms = window.alarmModel();
    // The exact moment, which the date and time cannot tell where the clocks go back.
    const quint64 id = alarms.add(c.record, c.moment);
    if (!id)
        return protocol::refused(AlarmModel::fullMessage() + u'\n');
    return saved(
        window, tr("Alarm \"%1\" is set for %2.\n").arg(c.record.name, cli::formatMoment(c.moment)),
        [&alarms, id] { alarms.remove(id); });
}

protocol::Reply addTimer(MainSettingsDlg& window, const QStringList& args)
{
    const cli::TimerCommand c = cli::timerCommand(args, now());
    if (!c.ok())
        return c.refusal;
    const TimerModel::Id id = window.openNewTimer(c.record);
    return saved(
        window,
        tr("Timer \"%1\" counts down to %2.\n")
            .arg(c.record.name, c.record.dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
        [&window, id] { window.timerModel().remove(id); });
}

QString list(MainSettingsDlg& window)
{
    QString out;
    const auto moment = [](qint64 msecs) {
        return msecs == AlarmModel::Never ? QDateTime() : QDateTime::fromMSecsSinceEpoch(msecs);
    };
    for (const Alarm& alarm : window.alarmModel().alarms())
        out += cli::alarmLine(alarm.record, moment(alarm.nextShowMsecs()),
                              moment(alarm.reminder.atMsecs)) +
               QLatin1Char('\n');
    for (const TimerEntry& timer : window.timerModel().entries())
        out += cli::timerLine(timer) + QLatin1Char('\n');
    return out;
}

} // namespace

bool runLaterCommand(MainSettingsDlg& window, const protocol::Request& request,
                     const std::function<void(const protocol::Reply&)>& answer)
{
    if (request.command != cmd::sync)
        return false;
    window.calendarSync().syncNow([answer](bool ok, const QString& report) {
        answer(ok ? done(report + u'\n') : protocol::refused(report + u'\n'));
    });
    return true;
}

protocol::Reply runInstanceCommand(MainSettingsDlg& window, const protocol::Request& request)
{
    const QString& c = request.command;
    if (c == cmd::ping)
        return done();
    if (c == cmd::activate) {
        window.showSettings();
        return done();
    }
    if (c == cmd::show) {
        const QString what = request.args.value(0);
        if (what == QLatin1String("popups"))
            window.showAlarmPopups();
        else
            window.showPage(int(protocol::pageNames().indexOf(what)));
        return done();
    }
    if (c == cmd::newAlarm || c == cmd::newTimer) {
        QTimer::singleShot(0, &window,
                           c == cmd::newAlarm ? &MainSettingsDlg::addAlarm
                                              : &MainSettingsDlg::addTimer);
        return done();
    }
    if (c == cmd::alarm)
        return addAlarm(window, request.args);
    if (c == cmd::timer)
        return addTimer(window, request.args);
    if (c == cmd::list)
        return done(list(window));
    if (c == cmd::exportAlarms || c == cmd::importAlarms) {
        const QString path = request.args.value(0);
        const transfer::Outcome o =
            c == cmd::exportAlarms
                ? transfer::exportAlarms(window.alarmModel(), path)
                : transfer::importAlarms(window.alarmModel(), window.store(), path);
        if (!o.ok)
            return protocol::refused(o.report);
        // The calendar on standard output, what was left out on standard error.
        if (!o.text.isEmpty())
            return protocol::Reply{protocol::Done, QString::fromUtf8(o.text), o.report};
        return done(o.report);
    }
    if (c == cmd::quit) {
        // "Done" only once the files hold everything; a failed save keeps
        // Tidra running with its data, and the user hears of it as of any.
        QString error;
        EventStore& store = window.store();
        if (store.loaded() && !store.saveNow(&error))
            return protocol::refused(
                tr("Tidra could not save your alarms: %1. It keeps running with them.\n")
                    .arg(error));
        QTimer::singleShot(0, &window, [] { QCoreApplication::exit(0); });
        return done();
    }
    return protocol::refused(protocol::checkArguments(request));
}

} // namespace td
