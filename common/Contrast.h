// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace td::contrast {

/// WCAG relative luminance of an sRGB colour given as 0xAARRGGBB (alpha ignored).
double luminance(quint32 rgb);
/// WCAG contrast ratio of two colours, 1 (none) to 21 (black on white).
double ratio(quint32 a, quint32 b);

/// Least contrast for text (WCAG AA, normal size) and for pictures (WCAG non-text).
constexpr double TextMinimum = 4.5;
constexpr double GraphicMinimum = 3.0;

/// Whether a picture drawn in `ink` is better shown on `text` as the ground
/// (with `ground` as the text colour) than on `ground`: only when it falls short
/// of the picture minimum there and the swap gives it more contrast. Swapping
/// keeps the text's contrast, which is the same both ways round.
bool swapForInk(quint32 ink, quint32 ground, quint32 text);

/// `ground` moved towards black or white, away from `text`, just far enough
/// for `text` to reach `minimum` on it (as far as it can go).
quint32 groundFor(quint32 text, quint32 ground, double minimum = TextMinimum);

} // namespace td::contrast
