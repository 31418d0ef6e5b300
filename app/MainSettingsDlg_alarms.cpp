// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmDlg.h"
#include "alarms/AlarmMsgDlg.h"
#include "app/AlarmPopups.h"
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/LocaleFormat.h"
#include "common/Prompts.h"
#include "common/SharedPixmap.h"
#include "ui_maindialog.h"

namespace td {

namespace {

/// The moment the alarm shows next as the page says it, with the reminder
/// named when that comes first.
QString nextLine(const Alarm& alarm, const QDateTime& next, const QDateTime& current)
{
    if (!next.isValid())
        return MainSettingsDlg::tr("Alarm is disabled");
    if (!(current < next))
        return MainSettingsDlg::tr("Alarm finished");
    const QString when = readableDateTime(next, QStringLiteral("hh:mm ddd dd MMM yyyy"));
    if (alarm.reminder.pending() && next.toMSecsSinceEpoch() == alarm.reminder.atMsecs)
        return MainSettingsDlg::tr("Reminder: %1").arg(when);
    return MainSettingsDlg::tr("Next alarm: %1").arg(when);
}

/// A subscribed calendar's alarm is named with its calendar, in italics.
void showName(QListWidgetItem* item, const AlarmRecord& record)
{
    const bool fromCalendar = !record.calendar.isEmpty();
    const QString text =
        fromCalendar ? QStringLiteral("%1 (%2)").arg(record.name, record.calendar) : record.name;
    if (item->text() == text)
        return;
    item->setText(text);
    QFont font = item->font();
    font.setItalic(fromCalendar);
    item->setFont(font);
}

QListWidgetItem* newRow(const Alarm& alarm)
{
    auto* item = new QListWidgetItem;
    showName(item, alarm.record);
    item->setIcon(QIcon(sharedPixmap(QStringLiteral(":/icons/Alert.png"))));
    return item;
}

} // namespace

void MainSettingsDlg::connectAlarmModel()
{
    connect(m_alarms, &AlarmModel::added, this, [this](int row) {
        ui->alarmsList->insertItem(row, newRow(m_alarms->alarms().at(row)));
        tickSoon();
    });
    connect(m_alarms, &AlarmModel::removed, this, [this](int row) {
        if (row < 0)
            return;
        const int current = ui->alarmsList->currentRow();
        delete ui->alarmsList->takeItem(row);
        if (current == row)
            ui->alarmsList->setCurrentRow(qMin(row, ui->alarmsList->count() - 1));
        alarmChanged(0);
    });
    connect(m_alarms, &AlarmModel::alarmChanged, this, [this](quint64 id) {
        const int row = m_alarms->rowOf(id);
        if (row >= 0)
            showName(ui->alarmsList->item(row), m_alarms->alarms().at(row).record);
        tickSoon();
    });
    connect(m_popups, &AlarmPopups::listRequested, this, &MainSettingsDlg::showAlarms);
}

void MainSettingsDlg::addAlarm()
{
    if (m_alarms->full()) {
        prompts::warning(this, tr("Alarm"), AlarmModel::fullMessage());
        return;
    }
    AlarmDlg editor;
    if (editor.exec() != QDialog::Accepted)
        return;
    m_alarms->dropUndo();
    // The list may have filled up while the editor was open.
    if (!m_alarms->add(editor.result())) {
        prompts::warning(this, tr("Alarm"), AlarmModel::fullMessage());
        return;
    }
    ui->alarmsList->setCurrentRow(m_alarms->count() - 1);
}

void MainSettingsDlg::editAlarm(QListWidgetItem*)
{
    const quint64 id = m_alarms->idAt(ui->alarmsList->currentRow());
    const Alarm* alarm = m_alarms->find(id);
    if (!alarm || AlarmDlg::refusedAsCalendarAlarm(this, alarm->record))
        return;
    AlarmDlg editor;
    editor.fillFrom(alarm->record);
    // The tick keeps running while the editor is open; the alarm may be gone.
    if (editor.exec() != QDialog::Accepted || !m_alarms->replace(id, editor.result()))
        return;
    m_alarms->dropUndo();
    // A showing pop-up goes back to the corner; hiding may let a spent alarm go.
    m_popups->park(id);
    if (const Alarm* edited = m_alarms->find(id); edited && !edited->ringing)
        m_alarms->setRinging(id, false, appSettings->alarmDeleteExpired);
    alarmChanged(0);
}

void MainSettingsDlg::delAlarm()
{
    const quint64 id = m_alarms->idAt(ui->alarmsList->currentRow());
    if (const Alarm* alarm = m_alarms->find(id);
        alarm && AlarmDlg::refusedAsCalendarAlarm(this, alarm->record))
        return;
    m_alarms->removeUndoably(id);
    alarmChanged(0);
}

void MainSettingsDlg::destroyAlarmMsg(AlarmMsgDlg* alarm)
{
    if (alarm)
        m_alarms->remove(alarm->id());
}

void MainSettingsDlg::alarmChanged(int)
{
    const Alarm* alarm = m_alarms->find(m_alarms->idAt(ui->alarmsList->currentRow()));
    if (!alarm) {
        if (shownAlarm.nextState == 0 && !shownAlarm.valid)
            return;
        shownAlarm = ShownAlarm();
        shownAlarm.nextState = 0;
        ui->alarmDateLabel->setText(tr("N/A"));
        ui->alarmTimeLabel->setText(tr("N/A"));
        ui->alarmDescLabel->clear();
        ui->alarmMessage->clear();
        ui->nextTimeLabel->clear();
        return;
    }
    const AlarmRecord& record = alarm->record;
    if (!shownAlarm.valid || shownAlarm.id != alarm->id || shownAlarm.record != record ||
        !(shownAlarm.reminder == alarm->reminder)) {
        shownAlarm.valid = true;
        shownAlarm.id = alarm->id;
        shownAlarm.record = record;
        shownAlarm.reminder = alarm->reminder;
        shownAlarm.nextState = -1;
        ui->alarmDateLabel->setText(readableDate(record.date, QStringLiteral("ddd dd MMM yyyy")));
        ui->alarmTimeLabel->setText(readableTime(record.time, QStringLiteral("hh:mm")));
        ui->alarmDescLabel->setText(repeatDescription(record));
        ui->alarmMessage->setPlainText(record.message);
    }
    const QDateTime current = now();
    // The next moment only changes when the alarm changes or the moment passes.
    if (shownAlarm.nextState == 1 && current.toMSecsSinceEpoch() < shownAlarm.nextMsecs)
        return;
    QDateTime next = nextAlarmTime(record, current);
    // A pending reminder shows before the alarm's own next moment.
    if (alarm->reminder.pending() &&
        (!next.isValid() || alarm->reminder.atMsecs < next.toMSecsSinceEpoch()))
        next = QDateTime::fromMSecsSinceEpoch(alarm->reminder.atMsecs);
    const int state = !next.isValid() ? 0 : (current < next ? 1 : 2);
    const qint64 nextMsecs = next.isValid() ? next.toMSecsSinceEpoch() : 0;
    if (state == shownAlarm.nextState && nextMsecs == shownAlarm.nextMsecs)
        return;
    shownAlarm.nextState = state;
    shownAlarm.nextMsecs = nextMsecs;
    // The line has to follow its moment too.
    tickSoon();
    ui->nextTimeLabel->setText(nextLine(*alarm, next, current));
}

qint64 MainSettingsDlg::shownNextAlarmMsecs() const
{
    if (!shownAlarm.valid || shownAlarm.nextState != 1)
        return AlarmModel::Never;
    return shownAlarm.nextMsecs;
}

} // namespace td
