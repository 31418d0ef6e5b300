#include "alarms/AlarmMsgDlg.h"
#include "alarms/alarmlist.h"
#include "app/AppSettings.h"
#include "app/Clock.h"
#include "app/MainSettingsDlg.h"
#include "app/SoundPlayer.h"
#include "app/WakePlan.h"
#include "app/WallTimer.h"
#include "app/WindowPlacement.h"
#include "ui_maindialog.h"
#include "work/WorkRules.h"

#include <QCalendarWidget>
#include <QLoggingCategory>
#include <QTimeEdit>

// "fired" lines with the lateness of each alarm, for the benchmarks:
// QT_LOGGING_RULES="tidra.alarms.firing.info=true"
Q_LOGGING_CATEGORY(lcFiring, "tidra.alarms.firing", QtWarningMsg)

namespace td {

namespace {

AlarmBalloonHandler balloonHandler;

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

void playAlarmSound()
{
    if (appSettings)
        playConfiguredSound(appSettings->alarmPlaySound, appSettings->alarmSoundFileName);
}

} // namespace

void setAlarmBalloonHandler(AlarmBalloonHandler handler)
{
    balloonHandler = std::move(handler);
}

void followDateAndTime(QTimeEdit* clock, QCalendarWidget* calendar)
{
    clock->installEventFilter(new DateTimeCatchUp(clock, calendar));
}

namespace {

/// One due alarm fires: the record moves on, the pop-up or balloon shows, the
/// sound plays.
void fireAlarm(MainSettingsDlg& main, AlarmMsgDlg* alarm, const QDateTime& current)
{
    const qint64 due = alarm->fireMsecs();
    AlarmRecord record = alarm->alarm();
    // Missed occurrences are not fired one by one: the base moves past now.
    const QDateTime next = nextAlarmTime(record, current);
    moveToOccurrence(record, next, current);
    alarm->moveOn(record, next);
    if (!appSettings || !appSettings->alarmDisplayBaloon) {
        if (alarm->isHidden()) {
            main.placeAlarm(alarm);
            alarm->showAlarm();
        }
    } else {
        const QString title = MainSettingsDlg::tr("Alarm: %1").arg(record.name);
        // The same setting the pop-up reads as seconds, here taken as milliseconds.
        const int msecs = appSettings->alarmDisplayTime;
        if (balloonHandler)
            balloonHandler(title, record.message, msecs);
        else if (main.trayIcon)
            main.trayIcon->showMessage(title, record.message, QSystemTrayIcon::Warning, msecs);
    }
    playAlarmSound();
    main.scheduleSave();
    qCInfo(lcFiring, "fired due %lld late %lld ms", due, nowMsecs() - due);
}

/// A postponed reminder comes: the pop-up shows again unless it still shows.
void deliverReminder(MainSettingsDlg& main, AlarmMsgDlg* alarm)
{
    alarm->resetDelay();
    if (alarm->isHidden()) {
        main.placeAlarm(alarm);
        alarm->showAlarm();
        playAlarmSound();
    }
}

} // namespace

void MainSettingsDlg::updateMainTimer()
{
    const QDateTime current = now();
    // Setting the time edit's text costs more than the rest of the tick: only
    // a page someone can see follows the clock; it catches up when shown.
    if (ui && ui->currentTime->isVisible())
        showDateAndTime(ui->currentTime, ui->calendar, current);

    inMainTick = true;
    const qint64 nowMsecs = current.toMSecsSinceEpoch();
    for (int i = 0; i < alarms.size(); ++i) {
        AlarmMsgDlg* alarm = alarms.at(i);
        // Strictly after: an alarm due at this very millisecond fires on the next tick.
        if (alarm->alarmEnabled() && nowMsecs > alarm->fireMsecs())
            fireAlarm(*this, alarm, current);
        // Reminders of spent alarms come too: a one-time alarm can be postponed.
        else if (nowMsecs > alarm->reminderMsecs())
            deliverReminder(*this, alarm);
    }

    if (ui)
        alarmChanged(0);
    updateWorkingTimersVisibility();
    inMainTick = false;
    armMainTimer();
}

wake::Wake MainSettingsDlg::nextMainWake() const
{
    wake::MainDeadlines d;
    for (const AlarmMsgDlg* alarm : alarms) {
        if (alarm->alarmEnabled())
            d.alarm = std::min(d.alarm, alarm->fireMsecs());
        d.reminder = std::min(d.reminder, alarm->reminderMsecs());
    }
    if (ui) {
        d.alarm = std::min(d.alarm, shownNextAlarmMsecs(this));
        d.secondsShown = ui->currentTime->isVisible();
    }
    const QDateTime current = now();
    if (appSettings) {
        d.workWindow = work::nextShiftChange(*appSettings, current);
        if (work::followsDate(*appSettings))
            d.midnight =
                work::localMoment(current.date().addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
    }
    return wake::mainWake(d, current.toMSecsSinceEpoch());
}

void MainSettingsDlg::armMainTimer()
{
    const wake::Wake next = nextMainWake();
    if (next.at == wake::Never)
        mainTimer->stop();
    else
        mainTimer->startAt(next.at);
}

void MainSettingsDlg::tickSoon()
{
    // A tick under way chooses its next wake when it is done.
    if (mainTimer && !inMainTick)
        mainTimer->startAt(nowMsecs());
}

void MainSettingsDlg::placeAlarm(AlarmMsgDlg* alarm)
{
    alarm->prepareSize();
    const QRect desktop = availableDesktop();
    QPoint p = alarm->pos();
    for (AlarmMsgDlg* other : std::as_const(alarms)) {
        if (other == alarm || !other->isVisible())
            continue;
        if (!QRect(p, alarm->size()).intersects(other->geometry()))
            continue;
        p.ry() -= other->height();
        if (p.y() < desktop.top()) {
            // The stack reached the top: a new column to the left, at the bottom.
            p.rx() -= alarm->width();
            p.setY(desktop.y() + desktop.height() - alarm->height());
        }
        alarm->move(p);
    }
    alarm->move(p);
}

void MainSettingsDlg::cornerPlace(AlarmMsgDlg* alarm)
{
    // The corner depends on the pop-up's real size, known once it is built;
    // most alarms never show, so their pop-ups are not built just to park them.
    alarm->parkInCorner();
}

} // namespace td
