// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Placement.h"

#include "common/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

namespace td {

QPoint onScreenCentre(const QPoint& centre, const QSize& size, const QList<QRect>& areas,
                      const QRect& fallback)
{
    QRect target = fallback;
    for (const QRect& area : areas) {
        if (area.contains(centre)) {
            target = area;
            break;
        }
    }
    const QPoint half(size.width() / 2, size.height() / 2);
    QPoint topLeft = centre - half;
    topLeft.setX(qMax(target.left(), qMin(topLeft.x(), target.right() + 1 - size.width())));
    topLeft.setY(qMax(target.top(), qMin(topLeft.y(), target.bottom() + 1 - size.height())));
    return topLeft + half;
}

QPoint onScreenCentre(const QPoint& centre, const QSize& size)
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return onScreenCentre(centre, size, areas, availableDesktop());
}

} // namespace td
