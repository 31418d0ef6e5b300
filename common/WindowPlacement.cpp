// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/WindowPlacement.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

namespace td {

QPoint centreOf(const QWidget* window)
{
    return window->pos() + QPoint(window->width() / 2, window->height() / 2);
}

void moveCentreTo(QWidget* window, const QPoint& centre)
{
    window->move(centre - QPoint(window->width() / 2, window->height() / 2));
}

QRect availableDesktop()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

bool bypassesWindowManager(const QString& platform, const QByteArray& waylandDisplay,
                           const QByteArray& sessionType, const QByteArray& currentDesktop)
{
    if (platform != QLatin1String("xcb") ||
        (waylandDisplay.isEmpty() && sessionType.trimmed().toLower() != "wayland"))
        return false;
    static const QList<QByteArray> honouring{"gnome",    "kde",    "xfce",   "x-cinnamon",
                                             "mate",     "lxqt",   "budgie", "unity",
                                             "pantheon", "deepin", "lxde"};
    for (const QByteArray& desktop : currentDesktop.toLower().split(':'))
        if (honouring.contains(desktop.trimmed()))
            return false;
    return true;
}

Qt::WindowFlags selfPlacedFlags(Qt::WindowFlags flags)
{
    return bypassesWindowManager(QGuiApplication::platformName(), qgetenv("WAYLAND_DISPLAY"),
                                 qgetenv("XDG_SESSION_TYPE"), qgetenv("XDG_CURRENT_DESKTOP"))
               ? flags | Qt::BypassWindowManagerHint
               : flags;
}

WindowDragger::WindowDragger(QWidget* window, std::function<void()> onPress)
    : QObject(window), m_window(window), m_onPress(std::move(onPress))
{
    window->installEventFilter(this);
}

bool WindowDragger::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton) {
            m_dragging = true;
            m_lastMousePos = e->globalPosition().toPoint();
            if (m_onPress)
                m_onPress();
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        // Moves arrive only while a button is held; only a left drag moves the window.
        if (m_dragging && (e->buttons() & Qt::LeftButton)) {
            const QPoint global = e->globalPosition().toPoint();
            m_window->move(m_window->pos() + global - m_lastMousePos);
            m_lastMousePos = global;
            emit moved();
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton && m_dragging) {
            m_dragging = false;
            emit dragEnded();
        }
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace td
