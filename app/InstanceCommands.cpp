// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceCommands.h"

#include "alarms/AlarmMsgDlg.h"
#include "app/CommandLine.h"
#include "app/MainSettingsDlg.h"
#include "common/Clock.h"

#include <QAction>
#include <QCoreApplication>
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

protocol::Reply addAlarm(MainSettingsDlg& window, const QStringList& args)
{
    const cli::AlarmCommand c = cli::alarmCommand(args, now());
    if (!c.ok())
        return c.refusal;
    auto* alarm = new AlarmMsgDlg(c.record, &window);
    // The exact moment, which the date and time cannot tell where the clocks go back.
    alarm->moveOn(c.record, c.moment);
    window.adoptAlarm(alarm, true);
    window.scheduleSave();
    return done(
        tr("Alarm \"%1\" is set for %2.\n").arg(c.record.name, cli::formatMoment(c.moment)));
}

protocol::Reply addTimer(MainSettingsDlg& window, const QStringList& args)
{
    const cli::TimerCommand c = cli::timerCommand(args, now());
    if (!c.ok())
        return c.refusal;
    window.openNewTimer(c.record);
    return done(
        tr("Timer \"%1\" counts down to %2.\n")
            .arg(c.record.name, c.record.dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
}

QString list(const MainSettingsDlg& window)
{
    QString out;
    for (const AlarmMsgDlg* alarm : window.alarms) {
        // The next moment it shows: a pending reminder may come first.
        const qint64 fire = alarm->alarmEnabled() ? alarm->fireMsecs() : AlarmMsgDlg::Never;
        const qint64 next = qMin(fire, alarm->reminderMsecs());
        out += cli::alarmLine(alarm->alarm(), next == AlarmMsgDlg::Never
                                                  ? QDateTime()
                                                  : QDateTime::fromMSecsSinceEpoch(next)) +
               QLatin1Char('\n');
    }
    for (const TimerEntry& timer : window.timerModel().entries())
        out += cli::timerLine(timer) + QLatin1Char('\n');
    return out;
}

} // namespace

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
    if (c == cmd::quit) {
        QTimer::singleShot(0, window.quitAction, &QAction::trigger);
        return done();
    }
    return protocol::refused(protocol::checkArguments(request));
}

} // namespace td
