// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <limits>

namespace td {

/// Tells single clicks on the tray icon from double clicks, whatever order
/// and subset of Trigger and DoubleClick reports a platform sends for one
/// double click: Trigger, DoubleClick, Trigger (Windows), Trigger,
/// DoubleClick (X11 under Qt 6), Trigger, Trigger, DoubleClick, or a lone
/// DoubleClick. A double click acts once; the next click acts normally.
/// Times are milliseconds on any clock that does not jump backwards.
class TrayClicks
{
public:
    enum class Act {
        Nothing,     ///< the report belongs to a click that has acted already
        StartSingle, ///< start (or restart) the single-click delay
        Double,      ///< cancel a pending single click, run the double-click action
    };

    /// `interval`: the desktop's double-click interval, also the single-click delay.
    void setInterval(int interval) { m_interval = interval; }
    int interval() const { return m_interval; }

    Act trigger(qint64 now);
    Act doubleClick(qint64 now);
    /// The single-click delay ran out: true when the single-click action runs.
    bool singleDue(qint64 now);

private:
    bool within(qint64 since, qint64 now) const
    {
        return now - since <= m_interval && now >= since;
    }

    static constexpr qint64 Long = std::numeric_limits<qint64>::min() / 2;
    int m_interval = 400;
    bool m_pending = false;
    qint64 m_doubleAt = Long;   ///< when a double click last acted
    qint64 m_singleAt = Long;   ///< when a single click last acted
    bool m_triggerOwed = false; ///< one Trigger after a double click may still belong to it
};

} // namespace td
