// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QString>

namespace td {

/// A picture decoded once and shared: every pop-up, window and list row shows the same ones.
QPixmap sharedPixmap(const QString& path);

} // namespace td
