// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmMsgDlg.h"
#include "app/AlarmPopups.h"
#include "app/CalendarSync.h"
#include "app/MainSettingsDlg.h"
#include "app/Platform.h"
#include "common/AppInfo.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/LocaleFormat.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QStyleHints>
#include <QTimer>

namespace td {

namespace {

constexpr int welcomeBalloonMs = 10000;
/// Long enough to read two sentences about something that went wrong.
constexpr int noticeBalloonMs = 20000;
/// Hosts that draw the icon themselves never report a geometry: show the
/// balloon anyway once the icon has been visible this long.
constexpr int welcomeFallbackMs = 3000;
constexpr int welcomePollMs = 250;

} // namespace

void MainSettingsDlg::createTrayMenus()
{
    auto makeAction = [this](const QString& text, const char* icon, auto slot) {
        auto* action = new QAction(text, this);
        if (icon)
            action->setIcon(QIcon(QString::fromLatin1(icon)));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    dateTimeAction =
        makeAction(tr("Date and time"), ":/icons/Calendar.png", &MainSettingsDlg::showDateTime);
    alarmsAction = makeAction(tr("Alarms"), ":/icons/Alert.png", &MainSettingsDlg::showAlarms);
    timersAction =
        makeAction(tr("Timers and countdowns"), ":/icons/Alarm.png", &MainSettingsDlg::showTimers);
    workAction = makeAction(tr("Work schedule"), ":/icons/Symbol-Construction.png",
                            &MainSettingsDlg::showWork);
    settingsAction =
        makeAction(tr("Settings"), ":/icons/Config.png", &MainSettingsDlg::showSettings);
    alarmPopupsAction = makeAction(tr("Show alarm pop-ups"), ":/icons/Alert.png",
                                   &MainSettingsDlg::showAlarmPopups);
    aboutAction =
        makeAction(tr("About"), ":/icons/Symbol-Information.png", &MainSettingsDlg::showAbout);
    quitAction = new QAction(tr("&Quit"), this);
    // exit(), not quit(): quit() closes every window first, so the timer
    // windows would be saved as hidden.
    connect(quitAction, &QAction::triggered, this, &MainSettingsDlg::quit);
    addAlarmAction =
        makeAction(tr("Add New Alarm"), ":/icons/Alert.png", &MainSettingsDlg::addAlarm);
    addTimerAction =
        makeAction(tr("Add New Timer"), ":/icons/Alarm.png", &MainSettingsDlg::addTimer);
    homeSiteAction =
        makeAction(tr("Home Site"), ":/icons/Connected.png", &MainSettingsDlg::homeSite);

    mainMenu = new QMenu(this);
    mainMenu->setObjectName(QStringLiteral("mainMenu"));
    mainMenu->addAction(dateTimeAction);
    mainMenu->addAction(alarmsAction);
    mainMenu->addAction(alarmPopupsAction);
    mainMenu->addAction(timersAction);
    mainMenu->addSeparator();
    mainMenu->addAction(workAction);
    mainMenu->addAction(settingsAction);
    mainMenu->addSeparator();
    mainMenu->addAction(aboutAction);
    mainMenu->addSeparator();
    mainMenu->addAction(quitAction);

    // Offered while there is a pop-up to go to.
    connect(mainMenu, &QMenu::aboutToShow, this,
            [this] { alarmPopupsAction->setEnabled(m_popups->newest() != nullptr); });

    fastMenu = new QMenu(this);
    fastMenu->setObjectName(QStringLiteral("fastMenu"));
    fastMenu->addAction(addAlarmAction);
    fastMenu->addAction(addTimerAction);
    fastMenu->addSeparator();
    fastMenu->addAction(homeSiteAction);
}

void MainSettingsDlg::createTrayIcon()
{
    m_trayIcon = new QSystemTrayIcon(this);
    m_trayIcon->setIcon(QIcon(QStringLiteral(":/icons/Clock_light.png")));
    // StatusNotifier hosts never report a double click and draw the menu
    // themselves: they get every action in one menu, Quit last.
    platform::offerMenusToTrayHost(m_trayIcon, this, {fastMenu, mainMenu});
    startNoticeBalloon();
}

void MainSettingsDlg::popupTrayMenu(QMenu* menu, const QPoint& pos)
{
    menu->popup(pos);
    menu->activateWindow();
}

void MainSettingsDlg::runTrayAction(int action, const QPoint& pos)
{
    switch (action) {
    case ShowMainMenu:
        popupTrayMenu(mainMenu, pos);
        break;
    case ShowFastActionsMenu:
        popupTrayMenu(fastMenu, pos);
        break;
    case ShowSettingsDialog:
        showSettings();
        break;
    case AddNewAlarm:
        addAlarm();
        break;
    case AddNewTimer:
        addTimer();
        break;
    default:
        break;
    }
}

void MainSettingsDlg::trayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (isVisible()) {
        raise();
        activateWindow();
    }
    const QPoint p = QCursor::pos();
    switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick: {
        // The desktop's double-click interval, read each time: it can change.
        trayClicks.setInterval(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        const TrayClicks::Act act = reason == QSystemTrayIcon::Trigger
                                        ? trayClicks.trigger(nowMsecs())
                                        : trayClicks.doubleClick(nowMsecs());
        if (act == TrayClicks::Act::StartSingle) {
            clickPos = p;
            clickTimer->start(trayClicks.interval());
        } else if (act == TrayClicks::Act::Double) {
            clickTimer->stop();
            runTrayAction(appSettings->doubleClick, p);
        }
        break;
    }
    case QSystemTrayIcon::MiddleClick:
        runTrayAction(appSettings->middleClick, p);
        break;
    default:
        // A StatusNotifier host that draws the menu it was handed never asks for
        // this; one that asks wants the item to show its menu itself.
        popupTrayMenu(mainMenu, p);
        break;
    }
}

void MainSettingsDlg::singliLeftClick()
{
    clickTimer->stop();
    if (trayClicks.singleDue(nowMsecs()))
        runTrayAction(appSettings->leftClick, clickPos);
}

void MainSettingsDlg::whenTrayShowsBalloons(const QString& name, std::function<void()> show)
{
    auto* poll = new QTimer(m_trayIcon);
    poll->setObjectName(name);
    auto visibleFor = std::make_shared<int>(0);
    connect(poll, &QTimer::timeout, this, [this, poll, visibleFor, show]() {
        if (!m_trayIcon->isVisible() || !QSystemTrayIcon::isSystemTrayAvailable())
            return;
        *visibleFor += welcomePollMs;
        if (m_trayIcon->geometry().isEmpty() && *visibleFor < welcomeFallbackMs)
            return;
        show();
        poll->stop();
        poll->setObjectName(QString());
        poll->deleteLater();
    });
    poll->start(welcomePollMs);
}

void MainSettingsDlg::updateTrayToolTip()
{
    if (!m_trayIcon)
        return;
    // What shows next, in the words of the alarms page.
    const Alarm* next = nullptr;
    for (const Alarm& alarm : m_alarms->alarms()) {
        if (alarm.nextShowMsecs() != AlarmModel::Never &&
            (!next || alarm.nextShowMsecs() < next->nextShowMsecs()))
            next = &alarm;
    }
    QString tip = QString::fromLatin1(info::applicationName);
    if (next) {
        const qint64 at = next->nextShowMsecs();
        const QString when = readableDateTime(QDateTime::fromMSecsSinceEpoch(at),
                                              QStringLiteral("hh:mm ddd dd MMM yyyy"));
        tip += u'\n' + (next->reminder.atMsecs == at ? tr("Reminder: %1") : tr("Next alarm: %1"))
                           .arg(next->record.name + QStringLiteral(", ") + when);
    }
    if (m_sync && m_sync->configured())
        tip += u'\n' + m_sync->status();
    if (m_trayIcon->toolTip() != tip)
        m_trayIcon->setToolTip(tip);
}

void MainSettingsDlg::quit()
{
    if (confirmQuit())
        QCoreApplication::exit(0);
}

void MainSettingsDlg::showAlarmPopups()
{
    if (AlarmMsgDlg* popup = m_popups->newest())
        popup->takeFocus();
}

void MainSettingsDlg::showWelcomeWhenTrayVisible()
{
    whenTrayShowsBalloons(QStringLiteral("welcomeBalloonTimer"), [this]() {
        m_trayIcon->showMessage(tr("Tidra!!! Time Manager:"),
                                tr("Use this icon to setup alarms and timers"),
                                QSystemTrayIcon::Information, welcomeBalloonMs);
    });
}

void MainSettingsDlg::showNotice(const QString& text)
{
    // Notes that come before the icon can show them (while the window is being
    // built) wait, and leave together in one balloon.
    pendingNotices << text;
    startNoticeBalloon();
}

void MainSettingsDlg::startNoticeBalloon()
{
    const QString pollName = QStringLiteral("noticeBalloonTimer");
    if (!m_trayIcon || pendingNotices.isEmpty() || m_trayIcon->findChild<QTimer*>(pollName))
        return;
    whenTrayShowsBalloons(pollName, [this]() {
        m_trayIcon->showMessage(QString::fromLatin1(info::applicationName),
                                pendingNotices.join(QStringLiteral("\n\n")),
                                QSystemTrayIcon::Warning, noticeBalloonMs);
        pendingNotices.clear();
    });
}

} // namespace td
