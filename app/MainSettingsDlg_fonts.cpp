// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "storage/SettingsFile.h"
#include "timers/DigitRenderer.h"
#include "timers/FontsLibrary.h"

#include "ui_maindialog.h"

#include <QCoreApplication>

namespace td {

void MainSettingsDlg::loadPlugins()
{
    fontPlugins = loadFontPlugins(QCoreApplication::applicationDirPath());
}

void MainSettingsDlg::changeDefaultFont()
{
    FontsLibrary library(fontPlugins, appSettings->timerDefaultSkin, this);
    if (library.exec() != QDialog::Accepted)
        return;
    const QString name = library.selectedFontName();
    // Nothing was offered (no font loaded): keep the stored choice for when
    // the fonts are back, rather than forgetting it.
    if (name.isEmpty())
        return;
    appSettings->timerDefaultSkin = name;
    ui->skinName->setText(name);
    saveSettings(*appSettings);
    emit settingsChanged();
}

} // namespace td
