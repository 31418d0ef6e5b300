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

/// Flags for a window that places itself: under XWayland the compositor's
/// window manager places every managed X window itself (weston: at its own
/// spot or at 32,32) and ignores later moves, so there the window bypasses it.
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
