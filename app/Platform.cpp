// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Platform.h"

#include <QMenu>
#include <QSystemTrayIcon>

#ifdef TIDRA_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
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

bool usesStatusNotifierTray()
{
#ifdef TIDRA_HAVE_DBUS
    // The same question the toolkit asks before it picks its D-Bus tray icon.
    static const bool answer = [] {
        const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected() || !bus.interface() ||
            !bus.interface()->isServiceRegistered(watcher).value())
            return false;
        QDBusInterface host(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
        return host.isValid() && host.property("IsStatusNotifierHostRegistered").toBool();
    }();
    return answer;
#else
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
    if (!icon || !usesStatusNotifierTray())
        return;
    // A menu of its own: the toolkit turns a tray menu into a D-Bus menu, and the
    // menus that pop up at the cursor must stay ordinary ones.
    icon->setContextMenu(combinedMenu(owner, menus));
}

} // namespace td::platform
