// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "timers/TimerModel.h"

#include <QList>
#include <QObject>

namespace td {

class MainSettingsDlg;

/// Makes the windows of the timers read from the event file a slice at a time, each
/// slice a frame or so long, so that a thousand windows never keep the
/// interface from answering for long: the first slice is made at once, the
/// rest from the event loop, with the window system's events in between.
class TimerLoader : public QObject
{
public:
    /// A slice ends once it has taken this long (ms); tests set 0 to have
    /// every slice make just the windows it must.
    static inline qint64 sliceMsecs = 15;
    /// Made in the first slice whatever the time: a usual file is loaded
    /// before the main window's constructor returns.
    static constexpr int FirstSliceWindows = 4;

    TimerLoader(MainSettingsDlg* main, const QList<TimerModel::Id>& ids);

    /// The timers whose windows are not made yet, in file order.
    QList<TimerModel::Id> pending() const { return m_ids.mid(m_next); }
    /// Makes windows until the slice's time is up (and at least `atLeast`),
    /// then leaves the rest to the event loop; when none is left, the main
    /// window forgets the loader and it goes.
    void makeSlice(int atLeast);

private:
    void makeWindow(TimerModel::Id id);

    MainSettingsDlg* m_main;
    QList<TimerModel::Id> m_ids;
    qsizetype m_next = 0;
};

} // namespace td
