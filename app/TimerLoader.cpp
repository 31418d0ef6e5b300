// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TimerLoader.h"

#include "app/MainSettingsDlg.h"
#include "timers/TimerMsgDlg.h"

#include <QElapsedTimer>
#include <QTimer>

namespace td {

TimerLoader::TimerLoader(MainSettingsDlg* main, const QList<TimerModel::Id>& ids)
    : QObject(main), m_main(main), m_ids(ids)
{
}

void TimerLoader::makeSlice(int atLeast)
{
    QElapsedTimer slice;
    slice.start();
    for (int made = 0; m_next < m_ids.size(); ++made) {
        if (made >= atLeast && slice.elapsed() >= sliceMsecs) {
            QTimer::singleShot(0, this, [this] { makeSlice(1); });
            return;
        }
        makeWindow(m_ids.at(m_next++));
    }
    if (m_main->timerLoader == this)
        m_main->timerLoader = nullptr;
    deleteLater();
}

void TimerLoader::makeWindow(TimerModel::Id id)
{
    TimerModel& model = m_main->timerModel();
    // Deleted before its window was made.
    if (!model.contains(id))
        return;
    const TimerEntry entry = model.entry(id);
    auto* timer = new TimerMsgDlg(m_main);
    timer->setModel(&model, id);
    // Placed at its real size before it shows, so it appears where it belongs
    // at once. (A window shown where nobody put it is centred by the toolkit,
    // which looks at every other window to do so.)
    timer->setPos(entry.centre);
    timer->settleSize();
    // Windows coming back at start take no keyboard from the user.
    const bool activates = !timer->testAttribute(Qt::WA_ShowWithoutActivating);
    timer->setAttribute(Qt::WA_ShowWithoutActivating, true);
    m_main->adoptTimer(timer, entry.visible);
    timer->setAttribute(Qt::WA_ShowWithoutActivating, !activates);
}

} // namespace td
