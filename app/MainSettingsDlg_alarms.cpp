// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmDlg.h"
#include "alarms/AlarmMsgDlg.h"
#include "app/MainSettingsDlg.h"
#include "common/Clock.h"
#include "common/LocaleFormat.h"
#include "ui_maindialog.h"

#include <QPointer>

namespace td {

void MainSettingsDlg::adoptAlarm(AlarmMsgDlg* alarm, bool selectRow)
{
    alarms.append(alarm);
    auto* item = new QListWidgetItem(alarm->alarm().name);
    ui->alarmsList->addItem(item);
    if (selectRow)
        ui->alarmsList->setCurrentRow(ui->alarmsList->count() - 1);
    item->setIcon(QIcon(sharedPixmap(QStringLiteral(":/icons/Alert.png"))));
    // Parked before it is connected: a new alarm that is already spent is kept.
    cornerPlace(alarm);
    connect(alarm, &AlarmMsgDlg::alarmFinished, this, &MainSettingsDlg::destroyAlarmMsg);
    connect(alarm, &AlarmMsgDlg::momentChanged, this, &MainSettingsDlg::tickSoon);
    connect(alarm, &AlarmMsgDlg::recordChanged, this, &MainSettingsDlg::alarmRecordChanged);
    connect(this, &MainSettingsDlg::stringsChanged, alarm, &AlarmMsgDlg::updateStrings);
    connect(this, &MainSettingsDlg::settingsChanged, alarm, &AlarmMsgDlg::updateSettings);
    tickSoon();
}

void MainSettingsDlg::addAlarm()
{
    AlarmDlg editor;
    if (editor.exec() != QDialog::Accepted)
        return;
    adoptAlarm(new AlarmMsgDlg(editor.result(), this), true);
    scheduleSave();
}

void MainSettingsDlg::editAlarm(QListWidgetItem*)
{
    const int row = ui->alarmsList->currentRow();
    if (row < 0 || row >= alarms.size())
        return;
    QPointer<AlarmMsgDlg> alarm = alarms.at(row);
    AlarmDlg editor;
    editor.fillFrom(alarm->alarm());
    if (editor.exec() != QDialog::Accepted)
        return;
    // The tick keeps running while the editor is open; the alarm may be gone.
    const int index = alarm ? alarms.indexOf(alarm) : -1;
    if (index < 0)
        return;
    const AlarmRecord changed = editor.result();
    ui->alarmsList->item(index)->setText(changed.name);
    // Switching an alarm off silences a reminder that is still pending.
    if (!changed.enabled)
        alarm->resetDelay();
    alarm->setAlarm(changed);
    const bool wasVisible = alarm->isVisible();
    cornerPlace(alarm); // hides a showing pop-up, which may finish a spent alarm
    if (!wasVisible && alarm)
        alarm->finishIfSpent();
    alarmChanged(0);
    scheduleSave();
}

void MainSettingsDlg::delAlarm()
{
    const int row = ui->alarmsList->currentRow();
    if (row < 0 || row >= alarms.size())
        return;
    destroyAlarmMsg(alarms.at(row));
    ui->alarmsList->setCurrentRow(row < alarms.size() ? row : int(alarms.size()) - 1);
    alarmChanged(0);
}

void MainSettingsDlg::destroyAlarmMsg(AlarmMsgDlg* alarm)
{
    if (!alarm)
        return;
    const int index = alarms.indexOf(alarm);
    if (index >= 0) {
        // The list first, so the row change that follows sees both in step.
        alarms.removeAt(index);
        delete ui->alarmsList->takeItem(index);
        scheduleSave();
    }
    // Closing a showing dialog finishes it; that must not come back here.
    disconnect(alarm, nullptr, this, nullptr);
    alarm->close();
}

void MainSettingsDlg::alarmChanged(int)
{
    const int row = ui->alarmsList->currentRow();
    const bool valid = row >= 0 && row < alarms.size();
    if (!valid) {
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
    const AlarmMsgDlg* alarm = alarms.at(row);
    const AlarmRecord record = alarm->alarm();
    if (!shownAlarm.valid || shownAlarm.alarm != alarm || shownAlarm.record != record) {
        shownAlarm.valid = true;
        shownAlarm.alarm = alarm;
        shownAlarm.record = record;
        shownAlarm.nextState = -1;
        ui->alarmDateLabel->setText(readableDate(record.date, QStringLiteral("ddd dd MMM yyyy")));
        ui->alarmTimeLabel->setText(readableTime(record.time, QStringLiteral("hh:mm")));
        ui->alarmDescLabel->setText(repeatDescription(record));
        ui->alarmMessage->setPlainText(record.message);
    }
    const QDateTime current = now();
    // The next moment only changes when the record changes or the moment passes.
    if (shownAlarm.nextState == 1 && current.toMSecsSinceEpoch() < shownAlarm.nextMsecs)
        return;
    const QDateTime next = nextAlarmTime(record, current);
    const int state = !next.isValid() ? 0 : (current < next ? 1 : 2);
    const qint64 nextMsecs = next.isValid() ? next.toMSecsSinceEpoch() : 0;
    if (state == shownAlarm.nextState && nextMsecs == shownAlarm.nextMsecs)
        return;
    shownAlarm.nextState = state;
    shownAlarm.nextMsecs = nextMsecs;
    // The line has to follow its moment too.
    tickSoon();
    if (state == 0)
        ui->nextTimeLabel->setText(tr("Alarm is disabled"));
    else if (state == 1)
        ui->nextTimeLabel->setText(
            tr("Next alarm: %1")
                .arg(readableDateTime(next, QStringLiteral("hh:mm ddd dd MMM yyyy"))));
    else
        ui->nextTimeLabel->setText(tr("Alarm finished"));
}

qint64 MainSettingsDlg::shownNextAlarmMsecs() const
{
    if (!shownAlarm.valid || shownAlarm.nextState != 1)
        return AlarmMsgDlg::Never;
    return shownAlarm.nextMsecs;
}

void MainSettingsDlg::alarmRecordChanged(AlarmMsgDlg* alarm)
{
    const int index = alarms.indexOf(alarm);
    if (index < 0)
        return;
    ui->alarmsList->item(index)->setText(alarm->alarm().name);
    alarmChanged(0);
    scheduleSave();
}

} // namespace td
