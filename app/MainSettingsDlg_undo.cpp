// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainSettingsDlg.h"
#include "app/UndoButton.h"
#include "ui_maindialog.h"

namespace td {

void MainSettingsDlg::connectUndo()
{
    alarmUndoButton = new UndoButton(ui->alarmDelButton, QStringLiteral("alarmUndoButton"));
    timerUndoButton = new UndoButton(ui->timerDelButton, QStringLiteral("timerUndoButton"));
    holidayUndoButton =
        new UndoButton(ui->deleteHolidayButton, QStringLiteral("holidayUndoButton"));
    nameUndoButtons();

    connect(m_alarms, &AlarmModel::undoChanged, alarmUndoButton,
            [this] { alarmUndoButton->setOffered(m_alarms->canUndoRemove()); });
    connect(alarmUndoButton, &UndoButton::expired, m_alarms, &AlarmModel::dropUndo);
    connect(alarmUndoButton, &QPushButton::clicked, this, [this] {
        if (const quint64 id = m_alarms->undoRemove())
            ui->alarmsList->setCurrentRow(m_alarms->rowOf(id));
    });

    connect(m_timerModel, &TimerModel::undoChanged, timerUndoButton,
            [this] { timerUndoButton->setOffered(m_timerModel->canUndoRemove()); });
    connect(timerUndoButton, &UndoButton::expired, m_timerModel, &TimerModel::dropUndo);
    connect(timerUndoButton, &QPushButton::clicked, this, [this] {
        // Its window opens again where it was, shown or hidden as it was.
        if (const TimerModel::Id id = m_timerModel->undoRemove())
            openTimerWindow(id);
    });

    connect(holidayUndoButton, &UndoButton::expired, this, [this] { offerHolidayUndo(false); });
    connect(holidayUndoButton, &QPushButton::clicked, this, &MainSettingsDlg::undoHolidayDeletion);
}

void MainSettingsDlg::nameUndoButtons()
{
    if (!alarmUndoButton)
        return;
    alarmUndoButton->setTexts(tr("Bring the deleted alarm back (%1)"),
                              tr("Undo deleting the alarm"));
    timerUndoButton->setTexts(tr("Bring the deleted timer back, with its window (%1)"),
                              tr("Undo deleting the timer"));
    holidayUndoButton->setTexts(tr("Bring the deleted holiday or vacation back (%1)"),
                                tr("Undo deleting the holiday or vacation"));
}

void MainSettingsDlg::offerHolidayUndo(bool offered)
{
    if (!offered)
        deletedHoliday.clear();
    holidayUndoButton->setOffered(offered);
}

} // namespace td
