// Placeholder until this subsystem lands; replaced by its owner.
#include "app/MainSettingsDlg.h"

namespace td {

void MainSettingsDlg::loadEvents() {}
void MainSettingsDlg::saveEvents() {}
void MainSettingsDlg::scheduleSave() {}
} // namespace td
