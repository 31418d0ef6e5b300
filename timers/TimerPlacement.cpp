// SPDX-License-Identifier: GPL-3.0-or-later
#include "timers/TimerPlacement.h"

#include <QtGlobal>
#include <algorithm>
#include <limits>

namespace td {

namespace {

constexpr int gap = 4; // between neighbouring windows
constexpr int cascadeStep = 24;

qint64 squaredDistance(const QPoint& a, const QPoint& b)
{
    const qint64 dx = a.x() - b.x();
    const qint64 dy = a.y() - b.y();
    return dx * dx + dy * dy;
}

} // namespace

QPoint freePlace(const QRect& area, const QSize& size, const QList<QRect>& taken,
                 const QPoint& preferred)
{
    const int maxX = area.left() + area.width() - size.width();
    const int maxY = area.top() + area.height() - size.height();
    const QPoint start(qBound(area.left(), preferred.x(), qMax(area.left(), maxX)),
                       qBound(area.top(), preferred.y(), qMax(area.top(), maxY)));
    if (maxX >= area.left() && maxY >= area.top()) {
        // A free place, pushed left and then up until it meets a window or an
        // edge, stays free: so if there is one, there is one whose x and y
        // each touch an edge or a window. Those, and the preferred ones, are
        // all the places worth trying.
        QList<int> xs{start.x(), area.left(), maxX};
        QList<int> ys{start.y(), area.top(), maxY};
        QList<QRect> clear;
        for (const QRect& r : taken) {
            const QRect c = r.adjusted(-gap, -gap, gap, gap);
            clear << c;
            xs << c.right() + 1 << c.left() - size.width();
            ys << c.bottom() + 1 << c.top() - size.height();
        }
        QPoint best;
        qint64 bestDistance = std::numeric_limits<qint64>::max();
        for (int y : ys) {
            if (y < area.top() || y > maxY)
                continue;
            for (int x : xs) {
                if (x < area.left() || x > maxX)
                    continue;
                const QPoint p(x, y);
                const qint64 d = squaredDistance(p, start);
                if (d >= bestDistance)
                    continue;
                const QRect place(p, size);
                if (std::none_of(clear.begin(), clear.end(),
                                 [&](const QRect& c) { return c.intersects(place); })) {
                    best = p;
                    bestDistance = d;
                }
            }
        }
        if (bestDistance != std::numeric_limits<qint64>::max())
            return best;
    }
    // No room: cascade down and right, wrapping round inside the area. With
    // n windows taken, one of the first n + 1 steps is free unless the area
    // is so small that the steps come round again.
    const qint64 spanX = qMax(0, maxX - area.left()) + 1;
    const qint64 spanY = qMax(0, maxY - area.top()) + 1;
    for (qint64 k = 0; k <= taken.size(); ++k) {
        const QPoint p(area.left() + int((start.x() - area.left() + k * cascadeStep) % spanX),
                       area.top() + int((start.y() - area.top() + k * cascadeStep) % spanY));
        if (std::none_of(taken.begin(), taken.end(),
                         [&](const QRect& r) { return r.topLeft() == p; }))
            return p;
    }
    return start;
}

} // namespace td
