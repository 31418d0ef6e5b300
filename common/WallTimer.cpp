// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/WallTimer.h"

#include "common/Clock.h"
#include "common/WakePlan.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <set>
#include <utility>

namespace td {

/// The one framework timer behind every WallTimer, armed for the earliest
/// deadline (at most SafetyMsecs ahead) and only while one is pending.
class WallTimerQueue : public QObject
{
public:
    static WallTimerQueue* instance(bool create)
    {
        if (!s_queue && create && QCoreApplication::instance())
            s_queue = new WallTimerQueue(QCoreApplication::instance());
        return s_queue;
    }

    ~WallTimerQueue() override
    {
        for (const Entry& e : m_pending)
            e.second->m_active = false;
        s_queue = nullptr;
    }

    /// Puts an active timer in place for `deadline`, taking out its old entry.
    void place(WallTimer* t, qint64 deadline)
    {
        if (t->m_active)
            m_pending.erase({t->m_deadline, t});
        t->m_deadline = deadline;
        t->m_active = true;
        m_pending.emplace(deadline, t);
        arm();
    }

    void remove(WallTimer* t)
    {
        m_pending.erase({t->m_deadline, t});
        t->m_active = false;
        arm();
    }

    void run(bool everyone)
    {
        const qint64 now = td::nowMsecs();
        // Whatever woke us, a wall clock that moved against the monotonic one
        // means deadlines measured as spans are wrong: everyone looks again.
        const qint64 offset = now - m_monotonic.elapsed();
        if (!clock::isFixed() && qAbs(offset - m_offset) > JumpMsecs)
            everyone = true;
        m_offset = offset;
        const auto end = everyone ? m_pending.end() : m_pending.lower_bound({now + 1, nullptr});
        QList<QPointer<WallTimer>> due;
        for (auto it = m_pending.begin(); it != end; it = m_pending.erase(it)) {
            it->second->m_active = false;
            due << it->second;
        }
        // Re-armed for what is left: a handler may run a nested event loop.
        arm();
        for (const QPointer<WallTimer>& t : std::as_const(due))
            if (t && !t->m_active)
                emit t->timeout();
    }

    qint64 armedDelay() const { return m_timer->isActive() ? m_armedDelay : -1; }

private:
    using Entry = std::pair<qint64, WallTimer*>;
    /// Slewing by a time service moves the clocks apart by well under this.
    static constexpr qint64 JumpMsecs = 1000;

    explicit WallTimerQueue(QObject* parent) : QObject(parent), m_timer(new QTimer(this))
    {
        m_timer->setSingleShot(true);
        m_timer->setTimerType(Qt::PreciseTimer);
        connect(m_timer, &QTimer::timeout, this, [this] { run(false); });
        m_monotonic.start();
        m_offset = td::nowMsecs() - m_monotonic.elapsed();
    }

    void arm()
    {
        if (m_pending.empty()) {
            m_timer->stop();
            return;
        }
        const qint64 earliest = m_pending.begin()->first;
        if (m_timer->isActive() && earliest == m_armedFor)
            return;
        m_armedFor = earliest;
        m_armedDelay = wake::armDelay(earliest, td::nowMsecs());
        m_timer->start(int(m_armedDelay));
    }

    static inline WallTimerQueue* s_queue = nullptr;
    std::set<Entry> m_pending;
    QTimer* m_timer;
    QElapsedTimer m_monotonic;
    qint64 m_offset = 0;
    qint64 m_armedFor = 0;
    qint64 m_armedDelay = -1;
};

WallTimer::WallTimer(QObject* parent) : QObject(parent) {}

WallTimer::~WallTimer()
{
    stop();
}

void WallTimer::startAt(qint64 msecs)
{
    if (m_active && m_deadline == msecs)
        return;
    if (WallTimerQueue* queue = WallTimerQueue::instance(true))
        queue->place(this, msecs);
}

void WallTimer::stop()
{
    if (!m_active)
        return;
    if (WallTimerQueue* queue = WallTimerQueue::instance(false))
        queue->remove(this);
    m_active = false;
}

namespace wallclock {

void clockChanged()
{
    if (WallTimerQueue* queue = WallTimerQueue::instance(false))
        queue->run(true);
}

qint64 armedDelay()
{
    WallTimerQueue* queue = WallTimerQueue::instance(false);
    return queue ? queue->armedDelay() : -1;
}

void runDue()
{
    if (WallTimerQueue* queue = WallTimerQueue::instance(false))
        queue->run(false);
}

} // namespace wallclock

} // namespace td
