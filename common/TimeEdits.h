// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace td {

/// Gives every time edit under `root` the locale's time format (12-hour where
/// the locale counts so); in the C locale they keep their own.
void localizeTimeEdits(QWidget* root);

} // namespace td
