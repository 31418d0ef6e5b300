// Placeholder until this subsystem lands; replaced by its owner.
#include "app/MainSettingsDlg.h"

namespace td {

void MainSettingsDlg::updateMainTimer() {}
void MainSettingsDlg::addAlarm() {}
void MainSettingsDlg::delAlarm() {}
void MainSettingsDlg::editAlarm(QListWidgetItem*) {}
void MainSettingsDlg::alarmChanged(int) {}
void MainSettingsDlg::destroyAlarmMsg(AlarmMsgDlg*) {}
void MainSettingsDlg::placeAlarm(AlarmMsgDlg*) {}
void MainSettingsDlg::cornerPlace(AlarmMsgDlg*) {}
} // namespace td

#include "alarms/alarmlist.h"
namespace td {
void refreshAlarmRow(AlarmMsgDlg*) {}
} // namespace td
