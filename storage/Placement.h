#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace td {

/// Where a window of `size` saved at `centre` may come back: unchanged while
/// the centre lies on one of the `areas` (the screens' available desktops);
/// otherwise, as when the monitor it was on is gone, moved into `fallback` so
/// that the whole window shows (its top-left corner when it is too big).
QPoint onScreenCentre(const QPoint& centre, const QSize& size, const QList<QRect>& areas,
                      const QRect& fallback);

/// The same against the screens there are now; the primary one is the fallback.
QPoint onScreenCentre(const QPoint& centre, const QSize& size);

} // namespace td
