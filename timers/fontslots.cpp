// Placeholder until this subsystem lands; replaced by its owner.
#include "app/MainSettingsDlg.h"

namespace td {

void MainSettingsDlg::loadPlugins() {}
void MainSettingsDlg::changeDefaultFont() {}
} // namespace td
