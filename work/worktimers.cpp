// Placeholder until this subsystem lands; replaced by its owner.
#include "app/MainSettingsDlg.h"

namespace td {

void MainSettingsDlg::updateWorkingTimer(TimerMsgDlg*) {}
void MainSettingsDlg::updateWorkingTimerVisibility(TimerMsgDlg*) {}
void MainSettingsDlg::updateWorkingTimersVisibility() {}
void MainSettingsDlg::createWorkWindows() {}
} // namespace td
