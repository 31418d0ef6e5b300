// Placeholder until this subsystem lands; replaced by its owner.
#include "app/MainSettingsDlg.h"
#include "app/AppSettings.h"

namespace td {

MainSettingsDlg* mainWindow = nullptr;
AppSettings* appSettings = nullptr;

MainSettingsDlg::MainSettingsDlg(QWidget* parent) : QDialog(parent)
{
    mainWindow = this;
}
MainSettingsDlg::~MainSettingsDlg()
{
    if (mainWindow == this)
        mainWindow = nullptr;
}
void MainSettingsDlg::showDateTime() {}
void MainSettingsDlg::showAlarms() {}
void MainSettingsDlg::showTimers() {}
void MainSettingsDlg::showWork() {}
void MainSettingsDlg::showSettings() {}
void MainSettingsDlg::showAbout() {}
void MainSettingsDlg::mainListUp() {}
void MainSettingsDlg::mainListDown() {}
void MainSettingsDlg::apply() {}
void MainSettingsDlg::cancel() {}
void MainSettingsDlg::updateStrings() {}
void MainSettingsDlg::homeSite() {}
void MainSettingsDlg::emailUs() {}
void MainSettingsDlg::runTrayAction(int, const QPoint&) {}
void MainSettingsDlg::trayIconActivated(QSystemTrayIcon::ActivationReason) {}
void MainSettingsDlg::singliLeftClick() {}
void MainSettingsDlg::updateSettings() {}
void MainSettingsDlg::changeAlarmFileName() {}
void MainSettingsDlg::changeTimerFileName() {}
} // namespace td
