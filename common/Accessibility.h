// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace td {

/// Gives every button under `root` that shows only an icon, and has no
/// accessible name, its tooltip as its name: a screen reader would otherwise
/// read the nearest label ("Alarms" for both + and −) or nothing at all.
void nameIconButtons(QWidget* root);

/// Draws a ring in the highlight colour around the flat buttons under `root`
/// that have the keyboard focus: the style draws none for them, in no theme.
void ringFocusedFlatButtons(QWidget* root);

} // namespace td
