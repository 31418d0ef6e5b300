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
#include <QTimer>

namespace td {

namespace {

// A new window opens where it covers no other window of ours, when there is
// such a place on the desktop; it cascades over them otherwise.
void placeApart(TimerMsgDlg* timer, const QList<QWidget*>& others)
{
    timer->settleSize();
    QList<QRect> taken;
    for (const QWidget* other : others)
        if (other && other != timer && other->isVisible())
            taken << other->frameGeometry();
    const QRect area = availableDesktop();
    const QSize size = timer->size();
    const QPoint half(size.width() / 2, size.height() / 2);
    const QPoint topLeft = freePlace(area, size, taken, area.center() - half);
    timer->setPos(topLeft + half);
}

} // namespace

void MainSettingsDlg::adoptTimer(TimerMsgDlg* timer, bool show)
{
    m_timerWindows.insert(timer->timerId(), timer);
    timer->setVisible(show);
    timer->start();
    connect(this, &MainSettingsDlg::settingsChanged, timer, &TimerMsgDlg::updateSettings);
    connect(timer, &TimerMsgDlg::alarmDue, this, &MainSettingsDlg::showTimerAlarm);
}

void MainSettingsDlg::openTimerWindow(TimerModel::Id id)
{
    // Deleted before its window was made, or made already (an undone deletion).
    if (!m_timerModel->contains(id) || m_timerWindows.contains(id))
        return;
    const TimerEntry entry = m_timerModel->entry(id);
    auto* timer = new TimerMsgDlg(this);
    timer->setModel(m_timerModel, id);
    // Placed at its real size before it shows, so it appears where it belongs
    // at once. (A window shown where nobody put it is centred by the toolkit,
    // which looks at every other window to do so.)
    timer->setPos(entry.centre);
    timer->settleSize();
    // Windows coming back take no keyboard from the user.
    const bool activates = !timer->testAttribute(Qt::WA_ShowWithoutActivating);
    timer->setAttribute(Qt::WA_ShowWithoutActivating, true);
    adoptTimer(timer, entry.visible);
    timer->setAttribute(Qt::WA_ShowWithoutActivating, !activates);
}

void MainSettingsDlg::timerAdded(TimerModel::Id id)
{
    auto* item = new QListWidgetItem(m_timerModel->entry(id).record.name);
    item->setIcon(QIcon(sharedPixmap(QStringLiteral(":/icons/Alarm.png"))));
    // An undone deletion comes back at its row.
    const int row = int(m_timerModel->indexOf(id));
    ui->timersList->insertItem(row, item);
    ui->timersList->setCurrentRow(row);
}

void MainSettingsDlg::timerRemoved(TimerModel::Id id, qsizetype row)
{
    delete ui->timersList->takeItem(int(row));
    if (TimerMsgDlg* timer = m_timerWindows.take(id)) {
        timer->pause();
        timer->close();
        delete timer;
    }
}

void MainSettingsDlg::timerEntryChanged(TimerModel::Id id)
{
    if (TimerMsgDlg* timer = m_timerWindows.value(id))
        timer->showEntry();
    const int row = int(m_timerModel->indexOf(id));
    QListWidgetItem* item = ui->timersList->item(row);
    const QString name = m_timerModel->entry(id).record.name;
    if (item && item->text() != name)
        item->setText(name);
    if (row == ui->timersList->currentRow())
        timerChanged(row);
}

void MainSettingsDlg::timerFinished(TimerModel::Id id)
{
    if (TimerMsgDlg* timer = m_timerWindows.value(id))
        timer->announceFinish();
}

void MainSettingsDlg::addTimer()
{
    TimerDlg editor(nullptr, false);
    if (editor.exec() != QDialog::Accepted)
        return;
    m_timerModel->dropUndo();
    openNewTimer(editor.timerRecord());
}

TimerModel::Id MainSettingsDlg::openNewTimer(const TimerRecord& record)
{
    TimerEntry entry;
    entry.record = record;
    entry.visible = true;
    const TimerModel::Id id = m_timerModel->add(entry);
    auto* timer = new TimerMsgDlg(this);
    timer->setModel(m_timerModel, id);
    QList<QWidget*> others{this, lunchTimer, dayEndTimer, holidayTimer, vacationTimer};
    for (TimerMsgDlg* other : std::as_const(m_timerWindows))
        others << other;
    placeApart(timer, others);
    adoptTimer(timer, true);
    return id;
}

void MainSettingsDlg::delTimer()
{
    const int row = ui->timersList->currentRow();
    if (row < 0 || row >= m_timerModel->count())
        return;
    m_timerModel->removeUndoably(m_timerModel->ids().at(row));
    const int count = ui->timersList->count();
    if (count > 0)
        ui->timersList->setCurrentRow(row < count ? row : count - 1);
    // The list reports its row change while the row is still being removed,
    // and setting the row it already has reports nothing.
    timerChanged(ui->timersList->currentRow());
}

void MainSettingsDlg::destroyTimerMsg(TimerMsgDlg* timer)
{
    if (timer)
        m_timerModel->remove(timer->timerId());
}

void MainSettingsDlg::editTimer(QListWidgetItem*)
{
    const int row = ui->timersList->currentRow();
    if (row < 0 || row >= m_timerModel->count())
        return;
    const TimerModel::Id id = m_timerModel->ids().at(row);
    TimerDlg editor(nullptr, false);
    editor.setTimerRecord(m_timerModel->entry(id).record);
    // The tray stays usable while the editor runs; the timer may be gone after it.
    if (editor.exec() != QDialog::Accepted || !m_timerModel->contains(id))
        return;
    m_timerModel->dropUndo();
    m_timerModel->replace(id, editor.timerRecord());
    if (TimerMsgDlg* timer = m_timerWindows.value(id)) {
        timer->show();
        timer->start();
    }
}

void MainSettingsDlg::timerChanged(int)
{
    const int row = ui->timersList->currentRow();
    if (row < 0 || row >= m_timerModel->count()) {
        ui->timerDesc->clear();
        return;
    }
    const TimerRecord r = m_timerModel->entry(m_timerModel->ids().at(row)).record;
    QString text;
    if (r.type == TypeTimer) {
        const bool today = r.dateTime.date() == td::now().date();
        text = tr("Timer\nShow time to: %1\n")
                   .arg(today ? readableTime(r.dateTime.time(), QStringLiteral("hh:mm"))
                              : readableDateTime(r.dateTime, QStringLiteral("dd MMM yyyy hh:mm")));
        if (r.continueExpired)
            text += tr("Continue count as stopwatch after timer finished");
    } else {
        text = tr("Stopwatch\nShow time from %1\n")
                   .arg(readableDateTime(r.dateTime, QStringLiteral("dd MMM yyyy hh:mm")));
    }
    ui->timerDesc->setPlainText(text);
}

void MainSettingsDlg::showTimerAlarm(const TimerRecord& timer)
{
    m_popups->showTimerFinished(timer);
}

} // namespace td
