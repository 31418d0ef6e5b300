// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/WindowPlacement.h"
#include "timers/TimerMsgDlg.h"
#include "ui_maindialog.h"
#include "work/WorkRules.h"

#include <QCheckBox>

namespace td {

namespace {

void setShown(QWidget* window, bool shown)
{
    if (window->isVisible() != shown)
        window->setVisible(shown);
}

/// A work window always counts down: one that finished reports itself as
/// counting up, and kept so it would never finish (nor recompute) again.
void setTarget(TimerMsgDlg* window, const QString& name, const QDateTime& target)
{
    TimerRecord record = window->timerRecord();
    record.name = name;
    record.type = TypeTimer;
    record.dateTime = target;
    record.format = FormatShort;
    window->setTimerRecord(record);
}

} // namespace

void MainSettingsDlg::updateWorkingTimer(TimerMsgDlg* window)
{
    if (!window)
        return;
    const AppSettings& s = *appSettings;
    const QDateTime now = td::now();
    const QDate today = now.date();

    if (window == vacationTimer) {
        const QDate vacation = work::nextVacation(s.holidays, today);
        if (vacation.isValid() && s.timeToVacation) {
            setTarget(vacationTimer, tr("Time to vacation"),
                      work::localMoment(vacation, QTime(0, 0)));
            setShown(vacationTimer, true);
        } else {
            setShown(vacationTimer, false);
        }
        return;
    }
    if (window != lunchTimer && window != dayEndTimer && window != holidayTimer)
        return;
    if (!lunchTimer || !dayEndTimer || !holidayTimer)
        return;

    work::WorkMoments shift;
    if (!work::currentShift(s.workDays, s.holidays, s.noLunch, now, &shift)) {
        setShown(window, false);
        return;
    }
    const work::DayWindows shown = work::dayWindowsOnUpdate(shift, now, s);
    setTarget(dayEndTimer, tr("Time to end of work"), shift.end);
    if (!s.noLunch)
        setTarget(lunchTimer, tr("Time to begin of lunch"), shift.lunchBegin);
    setShown(lunchTimer, shown.lunch);
    setShown(dayEndTimer, shown.dayEnd);

    // Counting to the next day off follows the calendar day, not the shift.
    const QDate dayOff = work::nextDayOff(s.workDays, s.holidays, today);
    if (work::isWorkDay(s.workDays, s.holidays, today) && dayOff.isValid() && s.timeToHoliday) {
        setTarget(holidayTimer, tr("Time to holiday"), work::localMoment(dayOff, QTime(0, 0)));
        setShown(holidayTimer, true);
    } else {
        setShown(holidayTimer, false);
    }
}

void MainSettingsDlg::updateWorkingTimersVisibility()
{
    const QDateTime now = td::now();
    // A new day: yesterday's lunch and end of work are no targets any more, and
    // a holiday that just passed moves on to next year.
    if (now.date() != workTargetsDate)
        updateHolidays();
    const work::WorkWindows shown = work::shownOnTick(*appSettings, now);
    setShown(lunchTimer, shown.lunch);
    setShown(dayEndTimer, shown.dayEnd);
    setShown(holidayTimer, shown.holiday);
    setShown(vacationTimer, shown.vacation);
}

void MainSettingsDlg::updateWorkingTimerVisibility(TimerMsgDlg* window)
{
    if (!ui || !window)
        return;
    QCheckBox* box = window == lunchTimer      ? ui->workTimerToLunch
                     : window == dayEndTimer   ? ui->workTimerToDayEnd
                     : window == holidayTimer  ? ui->workTimerHoliday
                     : window == vacationTimer ? ui->workTimerVacation
                                               : nullptr;
    // Unticking runs updateSettings(), which stores the choice.
    if (box)
        box->setChecked(false);
}

void MainSettingsDlg::createWorkWindows()
{
    TimerMsgDlg** const windows[] = {&lunchTimer, &dayEndTimer, &holidayTimer, &vacationTimer};
    for (TimerMsgDlg** slot : windows) {
        auto* window = new TimerMsgDlg(this);
        window->workTimer = true;
        window->initializing = true;
        // Shown by the clock, not by the user: never take the keyboard away.
        window->setAttribute(Qt::WA_ShowWithoutActivating);
        *slot = window;
    }
    // Until the user drags them elsewhere (and the places are kept), the
    // windows stand in a column at the right of the desktop, not on one spot.
    const QRect area = availableDesktop();
    int row = 0;
    for (TimerMsgDlg** slot : windows)
        moveCentreTo(*slot, QPoint(area.right() - 140, area.top() + 70 + 100 * row++));
    for (TimerMsgDlg** slot : windows)
        updateWorkingTimer(*slot);
    for (TimerMsgDlg** slot : windows) {
        TimerMsgDlg* window = *slot;
        connect(this, &MainSettingsDlg::settingsChanged, window, &TimerMsgDlg::updateSettings);
        connect(window, &TimerMsgDlg::directionChanged, this, &MainSettingsDlg::updateWorkingTimer);
        connect(window, &TimerMsgDlg::timerHidden, this,
                &MainSettingsDlg::updateWorkingTimerVisibility);
        connect(window, &TimerMsgDlg::alarmDue, this, &MainSettingsDlg::showTimerAlarm);
    }
}

} // namespace td
