// SPDX-License-Identifier: GPL-3.0-or-later
// Loading and saving the event files: the bridge between the file formats of
// EventFiles and the live alarm, timer and work windows of the main window.
#include "alarms/AlarmMsgDlg.h"
#include "app/MainSettingsDlg.h"
#include "app/TimerLoader.h"
#include "common/AppInfo.h"
#include "common/AppSettings.h"
#include "common/Placement.h"
#include "common/Prompts.h"
#include "storage/EventFiles.h"
#include "storage/SafeWrite.h"
#include "timers/TimerMsgDlg.h"
#include "ui_maindialog.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <type_traits>

namespace td {

namespace {

/// Soon enough that a crash or a power cut loses at most about a second of
/// changes, late enough that a burst of changes costs one write.
constexpr int saveDelayMs = 750;
/// After a failed save: the next change tries again, and so does this timer.
constexpr int retryDelayMs = 60 * 1000;

const QString alarmsFile = QStringLiteral("/Alarms");
const QString timersFile = QStringLiteral("/Timers");
const QString workTimersFile = QStringLiteral("/WorkTimers");
const QString workScheduleFile = QStringLiteral("/WorkSchedule");

QString dataFolder()
{
    return QDir::homePath() + QLatin1Char('/') + QLatin1String(info::dataFolderName);
}

/// Runs `reader` on the file; false when the file cannot be opened.
template <typename Reader, typename Result>
bool readFile(const QString& path, Reader reader, Result& result, bool* cut = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if constexpr (std::is_invocable_v<Reader, QIODevice&, bool*>)
        result = reader(file, cut);
    else
        result = reader(file);
    return true;
}

/// Writes only what changed, so a save after a window move leaves the other
/// files alone.
bool saveIfChanged(const QString& path, const QByteArray& bytes, QString* error)
{
    QFile old(path);
    if (old.size() == bytes.size() && old.open(QIODevice::ReadOnly) && old.readAll() == bytes)
        return true;
    return files::saveFile(path, bytes, error);
}

/// Places a window by its stored centre; a centre on a screen that is gone
/// comes back onto the desktop. A hidden window keeps the centre as stored:
/// its size settles only when it shows, and it comes onto the desktop then.
void placeByCentre(TimerMsgDlg* window, const QPoint& centre)
{
    if (window)
        window->setPos(window->isVisible() ? onScreenCentre(centre, window->size()) : centre);
}

/// The reason of a failure as it goes into a sentence.
QString reason(QString error)
{
    error = error.trimmed();
    while (error.endsWith(u'.'))
        error.chop(1);
    return error.isEmpty() ? MainSettingsDlg::tr("unknown error") : error;
}

/// Made on first use, so a session without changes runs none.
void makeSaveTimer(QTimer*& timer, MainSettingsDlg* owner, const QString& name, int delayMs)
{
    if (timer)
        return;
    timer = new QTimer(owner);
    timer->setObjectName(name);
    timer->setSingleShot(true);
    timer->setInterval(delayMs);
    QObject::connect(timer, &QTimer::timeout, owner, &MainSettingsDlg::saveEvents);
}

} // namespace

/// Prepares the folder; false (after the one message, when `report`) when it
/// cannot be made.
static bool prepareFolder(MainSettingsDlg* main, bool* created, bool report)
{
    const QString folder = dataFolder();
    if (QFileInfo(folder).isDir())
        return true;
    QDir home(QDir::homePath());
    home.mkpath(QFileInfo(folder).absolutePath());
    if (home.mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        if (created)
            *created = true;
        return true;
    }
    if (report)
        prompts::critical(main, MainSettingsDlg::tr("Settings Error"),
                          MainSettingsDlg::tr("Can't create settings folder %1. Check access "
                                              "rights.")
                              .arg(folder));
    return false;
}

/// A file read only in part would lose the rest at the next save: it is kept
/// aside first, or, when that fails, never written in this run.
void MainSettingsDlg::keepPartlyRead(const QString& path)
{
    const QString kept = files::keepAside(path);
    const QString name = QDir::toNativeSeparators(path);
    if (kept.isEmpty()) {
        heldFiles << path;
        prompts::notice(tr("Tidra could not read all of %1: it is too large. No copy of it could "
                           "be kept, so Tidra leaves it as it is and does not save changes to it.")
                            .arg(name));
    } else {
        prompts::notice(tr("Tidra could not read all of %1: it is too large. The whole file is "
                           "kept as %2.")
                            .arg(name, QDir::toNativeSeparators(kept)));
    }
}

void MainSettingsDlg::loadEvents()
{
    settingsFolderCreated = false;
    bool created = false;
    if (!prepareFolder(this, &created, true))
        return;
    settingsFolderCreated = created;
    const QString folder = dataFolder();
    if (!created) {
        // Only its owner may use it, and what interrupted saves left goes.
        files::makePrivate(folder);
        files::removeStaleTemporaries(folder, {alarmsFile.mid(1), timersFile.mid(1),
                                               workTimersFile.mid(1), workScheduleFile.mid(1)});
    }
    bool cut = false;

    QList<AlarmRecord> alarmRecords;
    if (readFile(folder + alarmsFile, events::readAlarms, alarmRecords, &cut)) {
        if (cut)
            keepPartlyRead(folder + alarmsFile);
        for (const AlarmRecord& record : alarmRecords)
            adoptAlarm(new AlarmMsgDlg(record, this), true);
    }

    QList<events::TimerEntry> timerEntries;
    if (readFile(folder + timersFile, events::readTimers, timerEntries, &cut)) {
        if (cut)
            keepPartlyRead(folder + timersFile);
        QList<TimerModel::Id> ids;
        for (const events::TimerEntry& entry : std::as_const(timerEntries))
            ids << m_timerModel->add(entry);
        if (!ids.isEmpty()) {
            // A thousand windows take seconds to make: the rest follow from the event loop.
            timerLoader = new TimerLoader(this, ids);
            timerLoader->makeSlice(TimerLoader::FirstSliceWindows);
        }
    }

    QList<HolidayRecord> holidays;
    if (readFile(folder + workScheduleFile, events::readWorkSchedule, holidays, &cut)) {
        if (cut)
            keepPartlyRead(folder + workScheduleFile);
        appSettings->holidays += holidays;
        updateHolidays();
    }

    // Placed after the holidays: they give the vacation and holiday windows
    // their targets, and a window that changes size while the main window is
    // being built keeps its top-left corner, not its centre.
    events::WorkCentres centres;
    if (readFile(folder + workTimersFile, events::readWorkTimers, centres)) {
        const std::array<TimerMsgDlg*, 4> windows{lunchTimer, dayEndTimer, holidayTimer,
                                                  vacationTimer};
        for (size_t i = 0; i < windows.size(); ++i)
            placeByCentre(windows[i], centres[i]);
    }
    eventsLoaded = true;
}

bool MainSettingsDlg::writeEventFiles(QString* error)
{
    // Nothing is written before the files were read: an early save would
    // replace them with empty lists.
    if (!eventsLoaded)
        return false;
    if (!prepareFolder(this, nullptr, false)) {
        if (error)
            *error = tr("cannot create the folder %1").arg(QDir::toNativeSeparators(dataFolder()));
        return false;
    }
    const QString folder = dataFolder();

    QList<AlarmRecord> alarmRecords;
    for (const AlarmMsgDlg* alarm : std::as_const(alarms))
        alarmRecords << alarm->alarm();
    const QList<events::TimerEntry> timerEntries = m_timerModel->entries();
    events::WorkCentres centres;
    const std::array<TimerMsgDlg*, 4> windows{lunchTimer, dayEndTimer, holidayTimer, vacationTimer};
    bool workWindows = true;
    for (size_t i = 0; i < windows.size(); ++i) {
        workWindows = workWindows && windows[i];
        centres[i] = windows[i] ? windows[i]->getPos() : QPoint();
    }

    // Every file is tried even when one fails; the first reason is kept.
    bool ok = true;
    QString firstError;
    auto save = [&](const QString& name, const QByteArray& bytes) {
        if (heldFiles.contains(folder + name))
            return;
        QString why;
        if (!saveIfChanged(folder + name, bytes, &why)) {
            if (ok)
                firstError = why;
            ok = false;
        }
    };
    save(alarmsFile, events::formatAlarms(alarmRecords));
    save(timersFile, events::formatTimers(timerEntries));
    if (workWindows)
        save(workTimersFile, events::formatWorkTimers(centres));
    save(workScheduleFile, events::formatWorkSchedule(appSettings->holidays));
    if (error)
        *error = firstError;
    return ok;
}

void MainSettingsDlg::saveEvents()
{
    if (saveTimer)
        saveTimer->stop();
    if (!eventsLoaded)
        return;
    QString error;
    if (writeEventFiles(&error)) {
        if (retryTimer)
            retryTimer->stop();
        if (saveFailing)
            prompts::notice(tr("Tidra saved your alarms again."));
        saveFailing = false;
        return;
    }
    // Told once per streak of failures, however often the retries fail.
    if (!saveFailing)
        prompts::notice(tr("Tidra could not save your alarms: %1. They are kept in memory and "
                           "saved again when possible.")
                            .arg(reason(error)));
    saveFailing = true;
    lastSaveError = error;
    makeSaveTimer(retryTimer, this, QStringLiteral("eventRetryTimer"), retryDelayMs);
    retryTimer->start();
}

bool MainSettingsDlg::confirmQuit()
{
    if (!eventsLoaded)
        return true;
    saveEvents();
    if (!saveFailing)
        return true;
    return prompts::question(
        this, tr("Tidra"),
        tr("Tidra could not save your alarms: %1.\n\nQuit anyway and lose the changes made "
           "since the last save?")
            .arg(reason(lastSaveError)),
        tr("&Quit Anyway"), tr("&Keep Running"));
}
void MainSettingsDlg::scheduleSave()
{
    if (!eventsLoaded)
        return;
    makeSaveTimer(saveTimer, this, QStringLiteral("eventSaveTimer"), saveDelayMs);
    // Not restarted by later changes: a steady stream of them must not
    // postpone the write for ever.
    if (!saveTimer->isActive())
        saveTimer->start();
}

} // namespace td
