// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace td {

/// Lets the end of the desktop session and SIGTERM, SIGINT and SIGHUP take the
/// same way out as the tray's Quit: the event loop returns and the main window's
/// destructor writes the event files, then the settings. The handlers only write
/// to a socket pair; everything else runs on the event loop.
class ShutdownSignals : public QObject
{
    Q_OBJECT
public:
    /// Catches the signals from now on, before the application object exists;
    /// one that arrives before install() is kept and acted on then.
    static void catchEarly();
    /// Installs the handlers once for the process; later calls return the same object.
    static ShutdownSignals* install();
    /// True once a signal has arrived. Start-up checks it after each step that
    /// may run an event loop of its own (a message box ends when a signal comes),
    /// so a signal at any moment leads to the orderly exit.
    static bool requested();
    ~ShutdownSignals() override;

signals:
    /// A signal arrived (its number), just before the event loops are told to end.
    void received(int signal);

private:
    ShutdownSignals();
    void readSignal();
    void saveForSessionEnd();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace td
