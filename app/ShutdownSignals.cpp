// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ShutdownSignals.h"

#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "storage/SettingsFile.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <csignal>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace td {

namespace {
ShutdownSignals* instance = nullptr;
volatile std::sig_atomic_t signalled = 0;
#ifdef Q_OS_UNIX
int pipeFds[2] = {-1, -1};
constexpr int handledSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onSignal(int number)
{
    signalled = 1;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[0], &byte, 1);
    // A second signal while shutting down ends the process at once.
    struct sigaction dfl = {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(number, &dfl, nullptr);
}
#endif
} // namespace

void ShutdownSignals::catchEarly()
{
#ifdef Q_OS_UNIX
    if (pipeFds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeFds) != 0)
        return;
    for (int number : handledSignals) {
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(number, &action, nullptr);
    }
#endif
}

ShutdownSignals* ShutdownSignals::install()
{
    if (!instance)
        instance = new ShutdownSignals;
    return instance;
}

bool ShutdownSignals::requested()
{
    return signalled != 0;
}

ShutdownSignals::ShutdownSignals() : QObject(QCoreApplication::instance())
{
#ifdef Q_OS_UNIX
    catchEarly();
    if (pipeFds[1] >= 0) {
        m_notifier = new QSocketNotifier(pipeFds[1], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::readSignal);
    }
#endif
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // The session manager may end the process soon after asking for data,
        // without letting the event loop return: write everything now.
        connect(gui, &QGuiApplication::commitDataRequest, this, &ShutdownSignals::saveForSessionEnd,
                Qt::DirectConnection);
    }
}

ShutdownSignals::~ShutdownSignals()
{
#ifdef Q_OS_UNIX
    if (m_notifier) {
        struct sigaction dfl = {};
        dfl.sa_handler = SIG_DFL;
        sigemptyset(&dfl.sa_mask);
        for (int number : handledSignals)
            ::sigaction(number, &dfl, nullptr);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        pipeFds[0] = pipeFds[1] = -1;
    }
#endif
    signalled = 0;
    if (instance == this)
        instance = nullptr;
}

void ShutdownSignals::readSignal()
{
#ifdef Q_OS_UNIX
    unsigned char byte = 0;
    if (::read(pipeFds[1], &byte, 1) != 1)
        return;
    emit received(byte);
    // exit(), not quit(): a window that refuses to close must not keep us alive.
    QCoreApplication::exit(0);
#endif
}

void ShutdownSignals::saveForSessionEnd()
{
    // The same order as at the end of the program: event files, then settings.
    if (mainWindow)
        mainWindow->saveEvents();
    if (mainWindow && appSettings)
        saveSettings(*appSettings);
}

} // namespace td
