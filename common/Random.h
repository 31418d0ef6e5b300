// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRandomGenerator>

namespace td {

/// The program's one pseudo-random generator. Seeded with 0 at start-up, so
/// every run draws the same sequence (the alarm pop-up's choices).
QRandomGenerator& random();

} // namespace td
