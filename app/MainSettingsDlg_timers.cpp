// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AlarmPopups.h"
#include "app/MainSettingsDlg.h"
#include "common/Clock.h"
#include "common/LocaleFormat.h"
#include "common/SharedPixmap.h"
#include "common/WindowPlacement.h"
#include "timers/TimerDlg.h"
#include "timers/TimerMsgDlg.h"
#include "timers/TimerPlacement.h"
#include "ui_maindialog.h"

#include <QListWidgetItem>
#include <QPointer>
#include <QTimer>

namespace td {

namespace {

// A new window opens where it covers no other timer window, when there is
// such a place on the desktop; it cascades over them otherwise.
void placeApart(TimerMsgDlg* timer, const QList<TimerMsgDlg*>& others)
{
    timer->settleSize();
    QList<QRect> taken;
    for (const TimerMsgDlg* other : others)
        if (other && other != timer && other->isVisible())
            taken << QRect(other->pos(), other->size());
    const QRect area = availableDesktop();
    const QSize size = timer->size();
    const QPoint half(size.width() / 2, size.height() / 2);
    const QPoint topLeft = freePlace(area, size, taken, area.center() - half);
    timer->setPos(topLeft + half);
}

} // namespace

void MainSettingsDlg::adoptTimer(TimerMsgDlg* timer, bool show)
{
    timers.append(timer);
    auto* item = new QListWidgetItem(timer->timerRecord().name);
    ui->timersList->addItem(item);
    ui->timersList->setCurrentRow(ui->timersList->count() - 1);
    item->setIcon(QIcon(sharedPixmap(QStringLiteral(":/icons/Alarm.png"))));
    timer->setVisible(show);
    timer->start();
    connect(this, &MainSettingsDlg::stringsChanged, timer, &TimerMsgDlg::updateStrings);
    connect(this, &MainSettingsDlg::settingsChanged, timer, &TimerMsgDlg::updateSettings);
    connect(timer, &TimerMsgDlg::recordChanged, this, &MainSettingsDlg::timerRecordChanged);
    connect(timer, &TimerMsgDlg::changed, this, &MainSettingsDlg::timersChanged);
    connect(timer, &TimerMsgDlg::alarmDue, this, &MainSettingsDlg::showTimerAlarm);
}

void MainSettingsDlg::addTimer()
{
    TimerDlg editor(nullptr, false);
    if (editor.exec() != QDialog::Accepted)
        return;
    auto* timer = new TimerMsgDlg(this);
    timer->setTimerRecord(editor.timerRecord());
    openNewTimer(timer);
}

void MainSettingsDlg::openNewTimer(TimerMsgDlg* timer)
{
    placeApart(timer,
               timers + QList<TimerMsgDlg*>{lunchTimer, dayEndTimer, holidayTimer, vacationTimer});
    adoptTimer(timer, true);
    emit timersChanged();
}

void MainSettingsDlg::delTimer()
{
    const int row = ui->timersList->currentRow();
    if (row < 0 || row >= timers.size())
        return;
    destroyTimerMsg(timers[row]);
    const int count = ui->timersList->count();
    if (count > 0)
        ui->timersList->setCurrentRow(row < count ? row : count - 1);
    // The list reports its row change while the row is still being removed,
    // and setting the row it already has reports nothing.
    timerChanged(ui->timersList->currentRow());
    emit timersChanged();
}

void MainSettingsDlg::destroyTimerMsg(TimerMsgDlg* timer)
{
    if (!timer)
        return;
    const int i = int(timers.indexOf(timer));
    if (i >= 0) {
        timers.removeAt(i);
        delete ui->timersList->takeItem(i);
    }
    timer->pause();
    timer->close();
    delete timer;
}

void MainSettingsDlg::editTimer(QListWidgetItem*)
{
    const int row = ui->timersList->currentRow();
    if (row < 0 || row >= timers.size())
        return;
    QPointer<TimerMsgDlg> timer = timers[row];
    TimerDlg editor(nullptr, false);
    editor.setTimerRecord(timer->timerRecord());
    // The tray stays usable while the editor runs; the timer may be gone after it.
    if (editor.exec() != QDialog::Accepted || !timer)
        return;
    timer->setTimerRecord(timer->editedRecord(editor.timerRecord()));
    timer->show();
    timer->start();
    timerRecordChanged(timer);
}

void MainSettingsDlg::timerRecordChanged(TimerMsgDlg* timer)
{
    const int i = int(timers.indexOf(timer));
    if (i < 0)
        return;
    ui->timersList->item(i)->setText(timer->timerRecord().name);
    if (i == ui->timersList->currentRow())
        timerChanged(i);
    emit timersChanged();
}

void MainSettingsDlg::timerChanged(int)
{
    const int row = ui->timersList->currentRow();
    if (row < 0 || row >= timers.size()) {
        ui->timerDesc->clear();
        return;
    }
    const TimerRecord r = timers[row]->timerRecord();
    QString text;
    if (r.type == TypeTimer) {
        const bool today = r.dateTime.date() == td::now().date();
        text = tr("Timer\nShow time to: %1\n")
                   .arg(today ? readableTime(r.dateTime.time(), QStringLiteral("hh:mm"))
                              : readableDateTime(r.dateTime, QStringLiteral("MM.dd.yyyy hh:mm")));
        if (r.continueExpired)
            text += tr("Continue count as stopwatch after timer finished");
    } else {
        text = tr("Stopwatch\nShow time from %1\n")
                   .arg(readableDateTime(r.dateTime, QStringLiteral("MM.dd.yyyy hh:mm")));
    }
    ui->timerDesc->setPlainText(text);
}

void MainSettingsDlg::showTimerAlarm(const TimerRecord& timer)
{
    m_popups->showTimerFinished(timer);
}

} // namespace td
