#include "app/MainSettingsDlg.h"
#include "timers/DigitRenderer.h"

#include <QCoreApplication>

namespace td {

void MainSettingsDlg::loadPlugins()
{
    fontPlugins = loadFontPlugins(QCoreApplication::applicationDirPath());
}

void MainSettingsDlg::changeDefaultFont() {}
} // namespace td
