// Placeholder until this subsystem lands; replaced by its owner.
#include "app/MainSettingsDlg.h"

namespace td {

void MainSettingsDlg::addTimer() {}
void MainSettingsDlg::delTimer() {}
void MainSettingsDlg::editTimer(QListWidgetItem*) {}
void MainSettingsDlg::destroyTimerMsg(TimerMsgDlg*) {}
void MainSettingsDlg::timerChanged(int) {}
void MainSettingsDlg::showTimerAlarm(const TimerRecord&) {}
} // namespace td
