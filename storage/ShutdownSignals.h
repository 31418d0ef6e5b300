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
    /// Installs the handlers once for the process; later calls return the same object.
    static ShutdownSignals* install();
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
