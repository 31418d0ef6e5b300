// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

class QMenu;
class QSystemTrayIcon;
class QWidget;

// Where the desktop session decides how Tidra's windows and tray icon work.
namespace td::platform {

/// The parts of the environment that pick a windowing system.
struct SessionEnvironment
{
    QByteArray qpaPlatform;    ///< QT_QPA_PLATFORM
    QByteArray waylandDisplay; ///< WAYLAND_DISPLAY
    QByteArray sessionType;    ///< XDG_SESSION_TYPE
    QByteArray x11Display;     ///< DISPLAY

    static SessionEnvironment current();
};

/// The platform plug-in Tidra asks for, or empty to keep the toolkit's choice.
/// Tidra places its own windows, which Wayland forbids, so a Wayland session
/// with XWayland runs it through xcb unless the user picked a platform
/// (QT_QPA_PLATFORM or -platform on the command line).
QByteArray forcedPlatform(const SessionEnvironment& env, const QStringList& arguments);

/// Whether there is a display to open: a platform the user picked, or an X11 or
/// Wayland display named in the environment.
bool hasDisplay(const SessionEnvironment& env, const QStringList& arguments);

/// Applies forcedPlatform() to this process; call before the application object exists.
void chooseWindowSystem(int argc, char** argv);

/// True when the toolkit made `icon` a StatusNotifier item on D-Bus (KDE Plasma,
/// XFCE, GNOME with an AppIndicator extension) rather than an XEmbed icon. Such
/// hosts send no double clicks and draw the menus themselves.
bool isStatusNotifierItem(const QSystemTrayIcon* icon);

/// One menu holding the actions of `menus` in order, a separator between them.
QMenu* combinedMenu(QWidget* owner, const QList<QMenu*>& menus);

/// On a StatusNotifier item, hands the host one menu with every tray action, since
/// such hosts never report a double click and may draw the menu themselves; on an
/// XEmbed icon, where the click table opens the menus, sets none. Decided once the
/// icon is shown, and again when a StatusNotifier host comes or goes.
void offerMenusToTrayHost(QSystemTrayIcon* icon, QWidget* owner, const QList<QMenu*>& menus);

} // namespace td::platform
