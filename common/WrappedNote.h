// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLabel;

namespace td {

/// Keeps a word-wrapped label as tall as its lines at the width it is given,
/// as it is resized and as its text changes: grid and form layouts give it the
/// one line of its width hint, and the rest is cut off.
void keepLinesTall(QLabel* note);

} // namespace td
