// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/InstanceProtocol.h"

#include <functional>

namespace td {

class MainSettingsDlg;

/// Carries out a request of a later start (tidra --alarm ..., --list, a plain
/// second start) on the running program's main window and says how it went.
/// Editors open just after the reply, so the caller is never kept waiting;
/// "quit" saves first and ends the program after the reply only when it saved.
protocol::Reply runInstanceCommand(MainSettingsDlg& window, const protocol::Request& request);
/// Takes a request whose reply waits for the network (a sync): true when it
/// did, and `answer` is called once it is done.
bool runLaterCommand(MainSettingsDlg& window, const protocol::Request& request,
                     const std::function<void(const protocol::Reply&)>& answer);

} // namespace td
