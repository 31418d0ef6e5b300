// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TrayClicks.h"

namespace td {

TrayClicks::Act TrayClicks::trigger(qint64 now)
{
    // The release after a double click on some platforms, or a third click
    // right after it: either way part of the double click.
    const bool owed = m_triggerOwed && within(m_doubleAt, now);
    m_triggerOwed = false;
    if (owed)
        return Act::Nothing;
    m_pending = true;
    return Act::StartSingle;
}

TrayClicks::Act TrayClicks::doubleClick(qint64 now)
{
    if (!m_pending) {
        // The same double click reported twice.
        if (within(m_doubleAt, now))
            return Act::Nothing;
        // Its first click has acted already (the delay ran out before the
        // report came): the second click is a click of its own.
        if (within(m_singleAt, now)) {
            m_pending = true;
            return Act::StartSingle;
        }
    }
    m_pending = false;
    m_doubleAt = now;
    m_triggerOwed = true;
    return Act::Double;
}

bool TrayClicks::singleDue(qint64 now)
{
    if (!m_pending)
        return false;
    m_pending = false;
    m_singleAt = now;
    return true;
}

} // namespace td
