// Placeholder until this subsystem lands; replaced by its owner.
#include "app/MainSettingsDlg.h"

namespace td {

void MainSettingsDlg::addHoliday() {}
void MainSettingsDlg::delHoliday() {}
void MainSettingsDlg::editHoliday(QTableWidgetItem*) {}
void MainSettingsDlg::updateHolidays() {}
} // namespace td
