// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ClockWatch.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemWatcher>
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
    watchTimeZone();
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

namespace {
// The system's zone as glibc reads it when TZ is unset; the two spellings name
// the same file, and a new spelling is what makes glibc read it again.
const char* const zoneFiles[] = {":/etc/localtime", ":/etc/./localtime"};

// What the zone file is: other entries of /etc come and go without changing it.
QString zoneSignature()
{
    const QFileInfo f(QStringLiteral("/etc/localtime"));
    return f.exists() ? f.canonicalFilePath() + u' ' + QString::number(f.size()) + u' ' +
                            QString::number(f.lastModified().toMSecsSinceEpoch())
                      : QString();
}
} // namespace

void ClockWatch::watchTimeZone()
{
#ifdef Q_OS_LINUX
    // With TZ unset glibc looks at /etc/localtime with a stat() on every
    // conversion of local time, a thousand a second with 200 timer windows.
    // Naming the file in TZ makes it read it once; the watch below reads it
    // again when the system's zone changes.
    if (qEnvironmentVariableIsSet("TZ"))
        return;
    qputenv("TZ", zoneFiles[0]);
    tzset();
    m_zone = zoneSignature();
    m_zoneWatch = new QFileSystemWatcher(this);
    // A new zone replaces the link in /etc; an edit in place changes the file.
    m_zoneWatch->addPath(QStringLiteral("/etc"));
    if (QFileInfo::exists(QStringLiteral("/etc/localtime")))
        m_zoneWatch->addPath(QStringLiteral("/etc/localtime"));
    connect(m_zoneWatch, &QFileSystemWatcher::directoryChanged, this, &ClockWatch::zoneChanged);
    connect(m_zoneWatch, &QFileSystemWatcher::fileChanged, this, &ClockWatch::zoneChanged);
#endif
}

void ClockWatch::zoneChanged()
{
#ifdef Q_OS_LINUX
    // Someone else may have set TZ meanwhile: theirs stands.
    const QByteArray tz = qgetenv("TZ");
    if (tz != zoneFiles[0] && tz != zoneFiles[1])
        return;
    const QString zone = zoneSignature();
    if (zone == m_zone)
        return;
    m_zone = zone;
    m_zoneToggle = !m_zoneToggle;
    qputenv("TZ", zoneFiles[m_zoneToggle ? 1 : 0]);
    tzset();
    // A replaced file is a new one to watch.
    if (QFileInfo::exists(QStringLiteral("/etc/localtime")) &&
        !m_zoneWatch->files().contains(QStringLiteral("/etc/localtime")))
        m_zoneWatch->addPath(QStringLiteral("/etc/localtime"));
    emit changed();
#endif
}

} // namespace td
