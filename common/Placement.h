// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace td {

/// Where a window of `size` saved at `centre` comes back: wholly inside the
/// available desktop of the screen (`areas`) that holds its centre, or of
/// `fallback` when none does, as when the monitor it was on is gone. A window
/// too big for the area keeps its top-left corner in it.
QPoint onScreenCentre(const QPoint& centre, const QSize& size, const QList<QRect>& areas,
                      const QRect& fallback);

/// The same against the screens there are now; the primary one is the fallback.
QPoint onScreenCentre(const QPoint& centre, const QSize& size);

} // namespace td
