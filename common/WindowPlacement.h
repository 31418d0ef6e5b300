// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>

class QWidget;

namespace td {

/// Centre of a window: top-left plus truncated halves of its size, so that
/// moveCentreTo(w, centreOf(w)) leaves it where it is.
QPoint centreOf(const QWidget* window);
void moveCentreTo(QWidget* window, const QPoint& centre);
/// The primary screen's desktop area without task bars.
QRect availableDesktop();

/// Whether a window that places itself must bypass the window manager: under
/// XWayland of a compositor whose manager puts every X window at its own spot
/// (weston: 32,32) and ignores later moves. The big desktops' managers honour
/// the asked place, and a bypassing window there would lose the keyboard for
/// nothing. `currentDesktop` is XDG_CURRENT_DESKTOP.
bool bypassesWindowManager(const QString& platform, const QByteArray& waylandDisplay,
                           const QByteArray& sessionType, const QByteArray& currentDesktop);
/// `flags`, with the bypass where this session needs it.
Qt::WindowFlags selfPlacedFlags(Qt::WindowFlags flags);

/// Makes a frameless window draggable with the left mouse button. One filter
/// serves the alarm pop-ups and the timer windows alike.
class WindowDragger : public QObject
{
    Q_OBJECT
public:
    /// `onPress` runs on every left press (activation rules differ per window).
    explicit WindowDragger(QWidget* window, std::function<void()> onPress = {});
    bool dragging() const { return m_dragging; }

signals:
    void moved();     ///< after each drag step
    void dragEnded(); ///< the left button was released after a drag

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    std::function<void()> m_onPress;
    bool m_dragging = false;
    QPoint m_lastMousePos;
};

} // namespace td
