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

/// True when the tray icon goes to a StatusNotifier host over D-Bus (KDE Plasma,
/// GNOME with an AppIndicator extension) instead of an XEmbed tray. Such hosts send
/// no double clicks and draw the menus themselves. Needs the application object.
bool usesStatusNotifierTray();

/// One menu holding the actions of `menus` in order, a separator between them.
QMenu* combinedMenu(QWidget* owner, const QList<QMenu*>& menus);

/// On a StatusNotifier tray, hands the host one menu with every tray action, since
/// such hosts never report a double click and may draw the menu themselves; on an
/// XEmbed tray, where the click table opens the menus, does nothing.
void offerMenusToTrayHost(QSystemTrayIcon* icon, QWidget* owner, const QList<QMenu*>& menus);

} // namespace td::platform
