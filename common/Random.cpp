// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Random.h"

namespace td {

QRandomGenerator& random()
{
    static QRandomGenerator generator(0);
    return generator;
}

} // namespace td
