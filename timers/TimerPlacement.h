// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace td {

/// Where a new timer window of `size` opens: the top-left nearest to
/// `preferred` at which it lies wholly inside `area`, a few pixels clear of
/// every window in `taken`. When no such place is left, the windows cascade:
/// the first of `preferred`, `preferred` + (step, step), ... (starting over at
/// the area's corner past its edge) that is no taken window's top-left.
QPoint freePlace(const QRect& area, const QSize& size, const QList<QRect>& taken,
                 const QPoint& preferred);

} // namespace td
