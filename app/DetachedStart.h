// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/InstanceProtocol.h"

#include <QStringList>

namespace td {

class SingleInstance;

/// Starts Tidra for a command when none runs: a process of its own, in its own
/// session, its standard streams on the null device, that no shell or script
/// waits for. Hands it `request` over `instance`'s socket as soon as it
/// listens and returns its reply; a start that ends first, or that does not
/// answer within `timeoutMs`, is a refusal that says so.
protocol::Reply startDetached(SingleInstance& instance, const QStringList& arguments,
                              const protocol::Request& request, int timeoutMs = 20000);

/// Whether process `pid` still runs (a zombie does not).
bool processRuns(qint64 pid);

} // namespace td
