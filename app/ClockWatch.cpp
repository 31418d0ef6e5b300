// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ClockWatch.h"

#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

#ifdef TIDRA_HAVE_DBUS
#include <QDBusConnection>
#endif

namespace td {

ClockWatch::ClockWatch(QObject* parent) : QObject(parent)
{
#ifdef Q_OS_LINUX
    m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        armTimerFd();
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &ClockWatch::readTimerFd);
    }
#endif
#ifdef TIDRA_HAVE_DBUS
    QDBusConnection bus = QDBusConnection::systemBus();
    if (bus.isConnected())
        bus.connect(QStringLiteral("org.freedesktop.login1"),
                    QStringLiteral("/org/freedesktop/login1"),
                    QStringLiteral("org.freedesktop.login1.Manager"),
                    QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
#endif
}

ClockWatch::~ClockWatch()
{
#ifdef Q_OS_LINUX
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void ClockWatch::prepareForSleep(bool sleeping)
{
    if (!sleeping)
        emit changed();
}

void ClockWatch::armTimerFd()
{
#ifdef Q_OS_LINUX
    // A moment it never reaches: the timer is only there to be cancelled.
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    itimerspec spec{};
    const time_t ahead = sizeof(time_t) > 4 ? time_t(3'000'000'000) : time_t(100'000'000);
    spec.it_value.tv_sec = now.tv_sec + ahead;
    if (timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec, nullptr) != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
#endif
}

void ClockWatch::readTimerFd()
{
#ifdef Q_OS_LINUX
    quint64 expirations = 0;
    const ssize_t n = ::read(m_fd, &expirations, sizeof expirations);
    if (n < 0 && errno == EAGAIN)
        return;
    // Cancelled by a setting of the clock (or, far off, expired): watch again.
    armTimerFd();
    if (m_fd < 0) {
        m_notifier->setEnabled(false);
        return;
    }
    emit changed();
#endif
}

} // namespace td
