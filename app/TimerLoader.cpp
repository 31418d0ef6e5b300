// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TimerLoader.h"

#include "app/MainSettingsDlg.h"

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
    m_main->openTimerWindow(id);
}

} // namespace td
