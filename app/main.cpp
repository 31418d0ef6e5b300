#include "app/AppInfo.h"
#include "app/MainSettingsDlg.h"
#include "app/Platform.h"
#include "app/Prompts.h"
#include "app/Random.h"
#include "app/SingleInstance.h"
#include "app/SoundPlayer.h"
#include "storage/ShutdownSignals.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QSystemTrayIcon>
#include <QThread>

namespace {

/// At login the panel that hosts the tray may come up a moment after us.
constexpr int trayWaitMs = 5000;

bool waitForSystemTray()
{
    const QDeadlineTimer deadline(trayWaitMs);
    while (!QSystemTrayIcon::isSystemTrayAvailable()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        QThread::msleep(100);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    td::platform::chooseWindowSystem(argc, argv);
    QApplication app(argc, argv);
    td::random().seed(0);
    QApplication::setOrganizationName(td::info::organizationName);
    QApplication::setOrganizationDomain(td::info::organizationDomain);
    QApplication::setApplicationName(td::info::applicationName);

    td::SingleInstance instance(td::info::applicationName);
    if (!instance.acquire()) {
        instance.notifyRunning();
        td::prompts::critical(nullptr, td::info::applicationName,
                              QApplication::translate("main", "Only one instance of ") +
                                  td::info::applicationName +
                                  QApplication::translate("main", " can be run."));
        return 0;
    }

    if (!waitForSystemTray()) {
        td::prompts::critical(
            nullptr, td::info::applicationName,
            QApplication::translate("main",
                                    "Application couldn't detect any system tray on this system."));
        return 1;
    }
    QApplication::setQuitOnLastWindowClosed(false);
    td::installDefaultSoundPlayer();
    td::ShutdownSignals::install();

    int exitCode = 0;
    {
        td::MainSettingsDlg window;
        QObject::connect(&instance, &td::SingleInstance::activationRequested, &window, [&window]() {
            if (window.isVisible()) {
                window.raise();
                window.activateWindow();
            }
        });
        window.trayIcon->show();
        if (window.isVisible())
            window.activateWindow();
        exitCode = app.exec();
        // The window writes the event files and the settings as it goes; the
        // lock is released only after that, so a quick restart reads them whole.
    }
    instance.release();
    return exitCode;
}
