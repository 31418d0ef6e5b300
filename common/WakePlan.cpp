// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/WakePlan.h"

#include <algorithm>

namespace td::wake {

qint64 nextStep(qint64 now, qint64 phase, qint64 period)
{
    qint64 r = (now - phase) % period;
    if (r < 0)
        r += period;
    return now - r + period;
}

namespace {

/// One millisecond after a moment that fires strictly after it; at once when past.
qint64 after(qint64 moment, qint64 now)
{
    return moment == Never ? Never : std::max(moment + 1, now);
}

qint64 atOrNow(qint64 moment, qint64 now)
{
    return moment == Never ? Never : std::max(moment, now);
}

} // namespace

Wake mainWake(const MainDeadlines& d, qint64 now)
{
    Wake best;
    const auto consider = [&best](qint64 at, Reason reason) {
        if (at < best.at)
            best = Wake{at, reason};
    };
    consider(after(d.alarm, now), Reason::Alarm);
    consider(after(d.reminder, now), Reason::Reminder);
    if (d.secondsShown)
        consider(nextStep(now, 0, 1000), Reason::Second);
    consider(atOrNow(d.workWindow, now), Reason::WorkWindow);
    consider(atOrNow(d.midnight, now), Reason::Midnight);
    return best;
}

qint64 timerWake(const TimerState& t, qint64 now)
{
    if (!t.running)
        return Never;
    const qint64 end = t.countingDown && t.momentValid ? after(t.moment, now) : Never;
    if (!t.visible)
        return end;
    // Whole seconds of the distance are cut off, so counts turn on the whole
    // second after the moment, and one millisecond past it before the moment.
    const qint64 phase = !t.momentValid ? 0 : now <= t.moment ? t.moment + 1 : t.moment;
    qint64 next = Never;
    switch (t.unit) {
    case Unit::Hundredths:
        next = nextStep(now, 0, HundredthsFrameMsecs);
        break;
    case Unit::Seconds:
        next = nextStep(now, phase, 1000);
        break;
    case Unit::Minutes:
        next = nextStep(now, phase, 60000);
        break;
    }
    return std::min(end, next);
}

qint64 armDelay(qint64 wakeAt, qint64 now)
{
    if (wakeAt == Never)
        return -1;
    const qint64 delay = wakeAt - now;
    if (delay <= FinalWaitMsecs)
        return std::max<qint64>(delay, 0);
    return std::min(delay - FinalWaitMsecs, SafetyMsecs);
}

} // namespace td::wake
