// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QSocketNotifier;

namespace td {

/// Tells when the wall clock stops running as a steady clock would: it was
/// set (by hand or by a time service), or the machine resumed from a suspend,
/// during which the clock behind the framework's timers stood still. On Linux
/// a timerfd cancelled by any setting of the clock, and logind's
/// PrepareForSleep signal over the system bus where there is one; elsewhere
/// nothing, and the wall-clock timers notice within their safety wake.
class ClockWatch : public QObject
{
    Q_OBJECT

public:
    explicit ClockWatch(QObject* parent = nullptr);
    ~ClockWatch() override;

    /// The setting of the clock is watched (Linux).
    bool watchesClockSetting() const { return m_fd >= 0; }
    /// The system's time zone is watched (Linux, TZ not set by the user).
    bool watchesTimeZone() const { return m_zoneWatch != nullptr; }

signals:
    void changed();

private slots:
    void prepareForSleep(bool sleeping);

private:
    void armTimerFd();
    void readTimerFd();
    void watchTimeZone();
    void zoneChanged();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    QFileSystemWatcher* m_zoneWatch = nullptr;
    bool m_zoneToggle = false;
    QString m_zone;
};

} // namespace td
