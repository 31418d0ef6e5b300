// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QtGlobal>

namespace td {

/// A single-shot timer for a moment of the wall clock (td::nowMsecs()), not a
/// span: framework timers run on a clock that stops during a suspend and does
/// not follow a change of the wall clock. All of them share one framework
/// timer, so windows due at the same moment wake the program once, and a
/// change of the wall clock (see ClockWatch) wakes every one of them to look
/// at the clock again.
class WallTimer : public QObject
{
    Q_OBJECT

public:
    explicit WallTimer(QObject* parent = nullptr);
    ~WallTimer() override;

    /// timeout() once the wall clock has reached `msecs` (ms since the epoch);
    /// replaces an earlier start.
    void startAt(qint64 msecs);
    void stop();
    bool isActive() const { return m_active; }
    /// The moment it fires at; meaningless while inactive.
    qint64 deadline() const { return m_deadline; }

signals:
    void timeout();

private:
    friend class WallTimerQueue;
    qint64 m_deadline = 0;
    bool m_active = false;
};

namespace wallclock {
/// The wall clock moved by more than it runs (set by hand or by a time
/// service, or a resume from suspend): every active WallTimer fires now, so
/// each owner looks at the clock and chooses its next moment again.
void clockChanged();
/// The delay of the one framework timer behind every WallTimer, in ms; -1
/// while none is armed, which is the case while no WallTimer is active.
qint64 armedDelay();
/// Runs the timers that are due now, as the framework timer would.
void runDue();
} // namespace wallclock

} // namespace td
