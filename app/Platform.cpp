// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Platform.h"

#include <QCoreApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <algorithm>

#ifdef TIDRA_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusServiceWatcher>
#include <QVariant>
#endif

namespace td::platform {

SessionEnvironment SessionEnvironment::current()
{
    return {qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_SESSION_TYPE"),
            qgetenv("DISPLAY")};
}

static bool platformOnCommandLine(const QStringList& arguments)
{
    // The toolkit reads "-platform name" and "--platform name" anywhere after argv[0].
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if ((a == QLatin1String("-platform") || a == QLatin1String("--platform")) &&
            i + 1 < arguments.size())
            return true;
    }
    return false;
}

QByteArray forcedPlatform(const SessionEnvironment& env, const QStringList& arguments)
{
    if (!env.qpaPlatform.trimmed().isEmpty() || platformOnCommandLine(arguments))
        return {};
    const bool wayland = !env.waylandDisplay.isEmpty() ||
                         env.sessionType.trimmed().toLower() == QByteArrayLiteral("wayland");
    if (!wayland || env.x11Display.isEmpty())
        return {};
    return QByteArrayLiteral("xcb");
}

bool hasDisplay(const SessionEnvironment& env, const QStringList& arguments)
{
    return !env.qpaPlatform.trimmed().isEmpty() || platformOnCommandLine(arguments) ||
           !env.x11Display.isEmpty() || !env.waylandDisplay.isEmpty();
}

void chooseWindowSystem(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QByteArray platform = forcedPlatform(SessionEnvironment::current(), arguments);
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}

bool isStatusNotifierItem(const QSystemTrayIcon* icon)
{
#ifdef TIDRA_HAVE_DBUS
    // The toolkit decides once per process, early: whether the host lists an
    // item of this process, not whether a host runs now, tells which kind of
    // icon exists.
    if (!icon || !icon->isVisible())
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusInterface host(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
    const QStringList items = host.property("RegisteredStatusNotifierItems").toStringList();
    const uint pid = uint(QCoreApplication::applicationPid());
    return std::any_of(items.begin(), items.end(), [&bus, pid](const QString& item) {
        // "service/path" or a bare service name.
        const QString service = item.section(u'/', 0, 0);
        return bus.interface()->servicePid(service).value() == pid;
    });
#else
    Q_UNUSED(icon)
    return false;
#endif
}

QMenu* combinedMenu(QWidget* owner, const QList<QMenu*>& menus)
{
    auto* menu = new QMenu(owner);
    for (QMenu* part : menus) {
        if (!part || part->actions().isEmpty())
            continue;
        if (!menu->isEmpty())
            menu->addSeparator();
        menu->addActions(part->actions());
    }
    return menu;
}

void offerMenusToTrayHost(QSystemTrayIcon* icon, QWidget* owner, const QList<QMenu*>& menus)
{
    if (!icon)
        return;
    // A menu of its own: the toolkit turns a tray menu into a D-Bus menu, and the
    // menus that pop up at the cursor must stay ordinary ones.
    QMenu* combined = combinedMenu(owner, menus);
    auto follow = [icon, combined] {
        // An XEmbed icon shows its context menu besides the one the click table opens.
        QMenu* wanted = isStatusNotifierItem(icon) ? combined : nullptr;
        if (icon->contextMenu() != wanted)
            icon->setContextMenu(wanted);
    };
    // Known once the icon is shown; the item is registered again when a host comes back.
    QTimer::singleShot(0, icon, follow);
#ifdef TIDRA_HAVE_DBUS
    auto* watcher = new QDBusServiceWatcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
                                            QDBusConnection::sessionBus(),
                                            QDBusServiceWatcher::WatchForOwnerChange, icon);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, icon,
                     [icon, follow] { QTimer::singleShot(1000, icon, follow); });
#endif
}

} // namespace td::platform
