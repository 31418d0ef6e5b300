// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QAbstractItemView;

namespace td {

/// Return or Enter on a row of `view` runs `edit` (what a double click does),
/// Delete runs `remove` (what the list's delete button does). The keys are
/// taken by the list, so Return does not also press the window's default button.
void installListKeys(QAbstractItemView* view, std::function<void()> edit,
                     std::function<void()> remove);

} // namespace td
