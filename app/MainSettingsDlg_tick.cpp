// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmMsgDlg.h"
#include "alarms/PopupRules.h"
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/SoundPlayer.h"
#include "common/WakePlan.h"
#include "common/WallTimer.h"
#include "common/WindowPlacement.h"
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

// Pop-ups that belong to no list (finished timers, the summary) go once
// hidden, unless a reminder will show them again.
class DeleteWhenDone : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Spontaneous hides come from the desktop (another workspace), not the
        // user. A pop-up being destroyed hides too, and is no pop-up any more.
        if (event->type() != QEvent::Hide || event->spontaneous())
            return false;
        const auto* popup = qobject_cast<AlarmMsgDlg*>(watched);
        if (popup && !popup->delayedTime().isValid())
            watched->deleteLater();
        return false;
    }
};

void playAlarmSound(AlarmMsgDlg* alarm)
{
    // Repeated until the pop-up is closed (or, as a balloon, until it goes away).
    playConfiguredSound(appSettings->alarmPlaySound, appSettings->alarmSoundFileName,
                        appSettings->alarmRepeatSound ? alarm : nullptr);
}

/// "Also send alarms to the notification area": the pop-up's copy there.
void mirrorPopup(AlarmMsgDlg* alarm)
{
    if (balloonHandler && appSettings->alarmAlsoNotify)
        balloonHandler(alarm, QString(), QString(), appSettings->alarmDisplayTime * 1000, true);
}

/// What one tick fires: its pop-ups show once every due alarm has moved on,
/// a screenful at most; the alarms beyond are counted for one summary.
struct FiringRound
{
    struct Popup
    {
        AlarmMsgDlg* popup;
        QString missed;
    };
    QList<Popup> popups; ///< at most a screenful, in list order
    int popupsLeftOut = 0;
    int balloons = 0;
    int balloonsLeftOut = 0;
    bool sound = false;                ///< one sound for everything that rang in this tick
    AlarmMsgDlg* soundOwner = nullptr; ///< the first that rang
};

/// A hidden pop-up is to show; a visible one is left where it is and not restarted.
void queuePopup(AlarmMsgDlg* popup, const QString& missed, FiringRound& round)
{
    if (!popup->isHidden())
        return;
    if (round.popups.size() < maxShownPopups)
        round.popups.append({popup, missed});
    else
        ++round.popupsLeftOut;
}

/// `alarm` is null for the summary of the alarms left out.
void showBalloon(MainSettingsDlg& main, AlarmMsgDlg* alarm, const QString& title,
                 const QString& text)
{
    // Seconds, as for the pop-up.
    const int msecs = (appSettings ? appSettings->alarmDisplayTime : 10) * 1000;
    if (balloonHandler)
        balloonHandler(alarm, title, text, msecs, false);
    else if (main.trayIcon)
        main.trayIcon->showMessage(title, text, QSystemTrayIcon::Warning, msecs);
}

/// The moment a firing alarm stands for: its latest occurrence, or the
/// postponed moment when that came later.
QDateTime dueMoment(const AlarmRecord& record, qint64 fireMsecs, const QDateTime& current)
{
    const QDateTime fire = QDateTime::fromMSecsSinceEpoch(fireMsecs);
    const QDateTime last = lastAlarmTime(record, current);
    return last.isValid() && last > fire ? last : fire;
}

/// One due alarm fires: the record moves on, the pop-up or balloon shows
/// (saying so when the alarm comes late), the sound is due.
void fireAlarm(MainSettingsDlg& main, AlarmMsgDlg* alarm, const QDateTime& current,
               FiringRound& round)
{
    const qint64 dueMsecs = alarm->fireMsecs();
    AlarmRecord record = alarm->alarm();
    const QDateTime due = dueMoment(record, dueMsecs, current);
    // Missed occurrences are not fired one by one: the base moves past now.
    const QDateTime next = nextAlarmTime(record, current);
    moveToOccurrence(record, next, current);
    alarm->moveOn(record, next);
    if (!appSettings->alarmDisplayBaloon) {
        queuePopup(alarm, missedAlarmText(due, current), round);
    } else {
        if (round.balloons < maxShownPopups) {
            ++round.balloons;
            const QString missed = missedAlarmText(due, current);
            const QString text = missed.isEmpty()           ? record.message
                                 : record.message.isEmpty() ? missed
                                                            : missed + u'\n' + record.message;
            showBalloon(main, alarm, MainSettingsDlg::tr("Alarm: %1").arg(record.name), text);
        } else {
            ++round.balloonsLeftOut;
        }
        // No pop-up will be hidden to finish a spent alarm: it is done once told.
        QMetaObject::invokeMethod(alarm, &AlarmMsgDlg::finishIfSpent, Qt::QueuedConnection);
    }
    round.sound = true;
    if (!round.soundOwner)
        round.soundOwner = alarm;
    main.scheduleSave();
    qCInfo(lcFiring, "fired due %lld late %lld ms", dueMsecs, nowMsecs() - dueMsecs);
}

/// A postponed reminder comes: the pop-up shows again unless it still shows.
void deliverReminder(AlarmMsgDlg* alarm, const QDateTime& current, FiringRound& round)
{
    const QDateTime due = alarm->delayedTime();
    alarm->resetDelay();
    if (!alarm->isHidden())
        return;
    queuePopup(alarm, missedAlarmText(due, current), round);
    round.sound = true;
    if (!round.soundOwner)
        round.soundOwner = alarm;
}

/// Shows the round's pop-ups, as many as a screenful leaves room for; the
/// rest go into one summary pop-up (or balloon), which takes a place too.
void showRound(MainSettingsDlg& main, FiringRound& round)
{
    if (round.balloonsLeftOut > 0)
        showBalloon(main, nullptr, MainSettingsDlg::tr("Alarms"),
                    MainSettingsDlg::tr("and %Ln more alarm(s)", nullptr, round.balloonsLeftOut));
    if (round.popups.isEmpty())
        return;
    int shown = 0;
    bool summaryShown = false;
    for (const QList<AlarmMsgDlg*>* list : {&main.alarms, &main.otherPopups}) {
        for (const AlarmMsgDlg* popup : *list) {
            shown += popup->isVisible() ? 1 : 0;
            summaryShown =
                summaryShown || (popup->isVisible() && popup->kind() == AlarmMsgDlg::Kind::Summary);
        }
    }
    qsizetype room = qMax(0, maxShownPopups - shown);
    if (round.popups.size() + round.popupsLeftOut > room && !summaryShown)
        room = qMax<qsizetype>(0, room - 1); // the summary's place
    round.popupsLeftOut += int(qMax<qsizetype>(0, round.popups.size() - room));
    for (qsizetype i = 0; i < qMin(room, round.popups.size()); ++i) {
        round.popups[i].popup->setMissedText(round.popups[i].missed);
        main.placeAlarm(round.popups[i].popup);
        round.popups[i].popup->showAlarm();
        mirrorPopup(round.popups[i].popup);
    }
    if (round.popupsLeftOut > 0)
        main.showPopupSummary(round.popupsLeftOut);
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

void MainSettingsDlg::updateMainTimer()
{
    const QDateTime current = now();
    // Setting the time edit's text costs more than the rest of the tick: only
    // a page someone can see follows the clock; it catches up when shown.
    if (ui->currentTime->isVisible())
        showDateAndTime(ui->currentTime, ui->calendar, current);

    inMainTick = true;
    const qint64 nowMsecs = current.toMSecsSinceEpoch();
    FiringRound round;
    for (int i = 0; i < alarms.size(); ++i) {
        AlarmMsgDlg* alarm = alarms.at(i);
        // Strictly after: an alarm due at this very millisecond fires on the next tick.
        if (alarm->alarmEnabled() && nowMsecs > alarm->fireMsecs())
            fireAlarm(*this, alarm, current, round);
        // Reminders of spent alarms come too: a one-time alarm can be postponed.
        else if (nowMsecs > alarm->reminderMsecs())
            deliverReminder(alarm, current, round);
    }
    // Finished timers can be put off as well.
    for (AlarmMsgDlg* popup : std::as_const(otherPopups)) {
        if (nowMsecs > popup->reminderMsecs())
            deliverReminder(popup, current, round);
    }
    showRound(*this, round);
    if (round.sound) {
        // A repeating sound ends with the first pop-up shown, or a balloon's notification;
        // an alarm left out of the screenful has nothing to close: it rings once.
        AlarmMsgDlg* owner =
            round.popups.isEmpty() ? round.soundOwner : round.popups.constFirst().popup;
        const bool balloon = appSettings->alarmDisplayBaloon;
        playAlarmSound(owner && (owner->isVisible() || balloon) ? owner : nullptr);
    }

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
    for (const AlarmMsgDlg* popup : otherPopups)
        d.reminder = std::min(d.reminder, popup->reminderMsecs());
    d.alarm = std::min(d.alarm, shownNextAlarmMsecs());
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
    // Every pop-up takes part: listed alarms first, then finished timers and the summary.
    QList<QRect> shown;
    for (const QList<AlarmMsgDlg*>* list : {&alarms, &otherPopups}) {
        for (const AlarmMsgDlg* other : *list) {
            if (other != alarm && other->isVisible())
                shown << other->geometry();
        }
    }
    alarm->move(stackPopup(availableDesktop(), alarm->size(), alarm->pos(), shown));
}

void MainSettingsDlg::adoptPopup(AlarmMsgDlg* popup)
{
    otherPopups.append(popup);
    connect(popup, &QObject::destroyed, this, [this, popup] { otherPopups.removeOne(popup); });
    connect(popup, &AlarmMsgDlg::momentChanged, this, &MainSettingsDlg::tickSoon);
    popup->installEventFilter(new DeleteWhenDone(popup));
    popup->parkInCorner();
}

void MainSettingsDlg::showPopupSummary(int more)
{
    for (AlarmMsgDlg* popup : std::as_const(otherPopups)) {
        if (popup->kind() == AlarmMsgDlg::Kind::Summary && popup->isVisible()) {
            popup->setSummaryCount(popup->summaryCount() + more);
            popup->showAlarm(); // a fresh display period for the news
            return;
        }
    }
    auto* summary = new AlarmMsgDlg(AlarmRecord(), this);
    summary->setObjectName(QStringLiteral("alarmSummary"));
    summary->setKind(AlarmMsgDlg::Kind::Summary);
    summary->setSummaryCount(more);
    connect(summary, &AlarmMsgDlg::listRequested, this, [this, summary] {
        summary->hide();
        showAlarms();
    });
    adoptPopup(summary);
    placeAlarm(summary);
    summary->showAlarm();
}

void MainSettingsDlg::cornerPlace(AlarmMsgDlg* alarm)
{
    // The corner depends on the pop-up's real size, known once it is built;
    // most alarms never show, so their pop-ups are not built just to park them.
    alarm->parkInCorner();
}

} // namespace td
