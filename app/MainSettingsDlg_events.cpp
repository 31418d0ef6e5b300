// SPDX-License-Identifier: GPL-3.0-or-later
// Between the event files and the windows: the store reads and writes, the
// windows take in what was read and report what they keep.
#include "app/MainSettingsDlg.h"
#include "app/TimerLoader.h"
#include "common/AppSettings.h"
#include "common/Placement.h"
#include "storage/EventStore.h"
#include "timers/TimerMsgDlg.h"

namespace td {

namespace {

/// Places a window by its stored centre; a centre on a screen that is gone
/// comes back onto the desktop. A hidden window keeps the centre as stored:
/// its size settles only when it shows, and it comes onto the desktop then.
void placeByCentre(TimerMsgDlg* window, const QPoint& centre)
{
    if (window)
        window->setPos(window->isVisible() ? onScreenCentre(centre, window->size()) : centre);
}

} // namespace

void MainSettingsDlg::loadEvents()
{
    m_store->setSources({[this] { return m_timerModel->entries(); },
                         [this](events::WorkCentres& centres) {
                             const auto windows = workWindows();
                             for (size_t i = 0; i < windows.size(); ++i) {
                                 if (!windows[i])
                                     return false;
                                 centres[i] = windows[i]->getPos();
                             }
                             return true;
                         }});
    m_store->watch(this, &MainSettingsDlg::holidaysChanged);
    m_store->watch(m_timerModel, &TimerModel::changed);
    for (TimerMsgDlg* window : workWindows())
        m_store->watch(window, &TimerMsgDlg::changed);

    QList<TimerModel::Id> ids;
    const EventStore::Loaded loaded = m_store->load([this, &ids](const EventStore::Loaded& read) {
        for (const events::TimerEntry& entry : read.timers)
            ids << m_timerModel->add(entry);
        if (!read.holidays.isEmpty()) {
            appSettings->holidays += read.holidays;
            updateHolidays();
        }
    });
    if (!ids.isEmpty()) {
        // A thousand windows take seconds to make: the rest follow from the event loop.
        timerLoader = new TimerLoader(this, ids);
        timerLoader->makeSlice(TimerLoader::FirstSliceWindows);
    }
    startHolidayFeed();
    startCalendarSync();
    // Placed after the holidays: they give the vacation and holiday windows
    // their targets, and a window that changes size while the main window is
    // being built keeps its top-left corner, not its centre.
    if (loaded.hasCentres) {
        const auto windows = workWindows();
        for (size_t i = 0; i < windows.size(); ++i)
            placeByCentre(windows[i], loaded.centres[i]);
    }
}

void MainSettingsDlg::saveEvents()
{
    m_store->saveNow();
}

bool MainSettingsDlg::confirmQuit()
{
    return m_store->confirmQuit();
}

} // namespace td
