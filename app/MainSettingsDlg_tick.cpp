// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AlarmPopups.h"
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/WakePlan.h"
#include "common/WallTimer.h"
#include "ui_maindialog.h"
#include "work/WorkRules.h"

#include <QCalendarWidget>
#include <QTimeEdit>

namespace td {

namespace {

// The date-and-time page shows whole seconds and today; the widgets are left
// alone in between, and a month the user paged to stays until the day changes.
void showDateAndTime(QTimeEdit* clock, QCalendarWidget* calendar, const QDateTime& current)
{
    const QTime time = current.time();
    const QTime shown = clock->time();
    if (shown.second() != time.second() || shown.minute() != time.minute() ||
        shown.hour() != time.hour())
        clock->setTime(QTime(time.hour(), time.minute(), time.second()));
    const QDate today = current.date();
    if (calendar->selectedDate() != today) {
        calendar->setSelectedDate(today);
        calendar->setCurrentPage(today.year(), today.month());
    }
}

// Brings the page up to date the moment it or the window appears, rather
// than up to a tick later.
class DateTimeCatchUp : public QObject
{
public:
    DateTimeCatchUp(QTimeEdit* clock, QCalendarWidget* calendar)
        : QObject(clock), m_clock(clock), m_calendar(calendar)
    {
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            showDateAndTime(m_clock, m_calendar, now());
            // From now on the clock follows the seconds.
            if (mainWindow)
                mainWindow->tickSoon();
        }
        return false;
    }

private:
    QTimeEdit* m_clock;
    QCalendarWidget* m_calendar;
};

} // namespace

void followDateAndTime(QTimeEdit* clock, QCalendarWidget* calendar)
{
    clock->installEventFilter(new DateTimeCatchUp(clock, calendar));
}

void MainSettingsDlg::updateMainTimer()
{
    const QDateTime current = now();
    // Setting the time edit's text costs more than the rest of the tick: only
    // a page someone can see follows the clock; it catches up when shown.
    if (ui->currentTime->isVisible())
        showDateAndTime(ui->currentTime, ui->calendar, current);

    inMainTick = true;
    m_alarms->fire(current, appSettings->alarmDisplayBaloon, *m_popups);
    alarmChanged(0);
    updateTrayToolTip();
    updateWorkingTimersVisibility();
    inMainTick = false;
    armMainTimer();
}

wake::Wake MainSettingsDlg::nextMainWake() const
{
    wake::MainDeadlines d;
    d.alarm = std::min(m_alarms->nextDeadline(), shownNextAlarmMsecs());
    d.secondsShown = ui->currentTime->isVisible();
    const QDateTime current = now();
    d.workWindow = work::nextShiftChange(*appSettings, current);
    if (work::followsDate(*appSettings))
        d.midnight = localMoment(current.date().addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
    return wake::mainWake(d, current.toMSecsSinceEpoch());
}

void MainSettingsDlg::armMainTimer()
{
    const wake::Wake next = nextMainWake();
    if (next.at == wake::Never)
        mainTimer->stop();
    else
        mainTimer->startAt(next.at);
    const qint64 alarm = m_alarms->nextDeadline();
    if (alarm == wake::Never || appSettings->alarmDisplayBaloon || !m_popups)
        popupTimer->stop();
    else
        popupTimer->startAt(alarm - PreparePopupMsecs);
}

void MainSettingsDlg::tickSoon()
{
    // A tick under way chooses its next wake when it is done.
    if (mainTimer && !inMainTick)
        mainTimer->startAt(nowMsecs());
}

} // namespace td
