// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <limits>

/// When the program next has to look at the clock. Nothing polls: each tick
/// asks these functions for the next moment anything it shows or fires can
/// change and sleeps until then. Moments are ms since the epoch; pure code.
namespace td::wake {

constexpr qint64 Never = std::numeric_limits<qint64>::max();
/// Longest sleep while anything is pending: a change of the wall clock or a
/// resume that nobody reported is noticed this late at most.
constexpr qint64 SafetyMsecs = 60000;
/// Longest last wait before a moment. The kernel lets a poll() return late by
/// a thousandth of its timeout (a two-hundredth niced): a wait of a minute
/// fires up to 60 ms late, one of a second 1 ms (5 ms niced).
constexpr qint64 FinalWaitMsecs = 1000;
/// Frame period of a display showing hundredths: they cannot be read at their
/// own pace, so the picture turns at a pace the eye follows. Eleven hundredths
/// a frame, so every last digit comes round instead of one standing still.
constexpr qint64 HundredthsFrameMsecs = 110;

/// The first moment after `now` at which `moment - phase` is a whole multiple
/// of `period` (period > 0).
qint64 nextStep(qint64 now, qint64 phase, qint64 period);

/// Why the main tick wakes; the earliest deadline wins, ties in this order.
enum class Reason { Nothing, Alarm, Reminder, Second, WorkWindow, Midnight };

/// What the main tick waits for; Never where there is nothing.
struct MainDeadlines
{
    /// The earliest moment of an enabled alarm; it is due strictly after it.
    qint64 alarm = Never;
    /// The earliest pending postponed reminder; due strictly after it.
    qint64 reminder = Never;
    /// A clock showing whole seconds can be seen.
    bool secondsShown = false;
    /// The first moment a work window may appear or go.
    qint64 workWindow = Never;
    /// The next change of date, when something follows the date.
    qint64 midnight = Never;
};

struct Wake
{
    qint64 at = Never;
    Reason reason = Reason::Nothing;
};

/// The next wake of the main tick. An alarm or reminder wakes one millisecond
/// after its moment (equal moments are not yet past); anything already past
/// wakes at once.
Wake mainWake(const MainDeadlines& d, qint64 now);

/// The smallest unit a timer window shows, which sets how often it changes.
enum class Unit { Hundredths, Seconds, Minutes };

struct TimerState
{
    bool running = false;
    bool visible = false;
    bool countingDown = false;
    bool momentValid = false;
    qint64 moment = 0; ///< the end (counting down) or the start (counting up)
    Unit unit = Unit::Seconds;
};

/// The next tick of a timer window: a hidden one only for the end of its
/// countdown; a shown one where its smallest unit turns (every count of a
/// timer turns where the distance to its moment crosses a whole second or
/// minute, even across a change of daylight-saving time) or, with hundredths,
/// at the next frame. Never when it need not tick. `countingDown` is whether
/// the end is still to come; the counts run towards a moment ahead either way.
qint64 timerWake(const TimerState& t, qint64 now);

/// What to arm for a wake: ms from now, at most SafetyMsecs; -1 for no timer.
/// A wake further than FinalWaitMsecs ahead is approached in two waits, the
/// last one FinalWaitMsecs long, so the kernel's slack on it stays small.
qint64 armDelay(qint64 wakeAt, qint64 now);

} // namespace td::wake
