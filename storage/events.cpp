// Loading and saving the event files: the bridge between the file formats of
// EventFiles and the live alarm, timer and work windows of the main window.
#include "alarms/AlarmMsgDlg.h"
#include "app/AppInfo.h"
#include "app/AppSettings.h"
#include "app/MainSettingsDlg.h"
#include "app/Prompts.h"
#include "storage/EventFiles.h"
#include "storage/Placement.h"
#include "timers/TimerMsgDlg.h"
#include "ui_maindialog.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTimer>

namespace td {

namespace {

/// Soon enough that a crash or a power cut loses at most about a second of
/// changes, late enough that a burst of changes costs one write.
constexpr int saveDelayMs = 750;

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
bool readFile(const QString& path, Reader reader, Result& result)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    result = reader(file);
    return true;
}

/// Writes only what changed, so a save after a window move leaves the other
/// files alone.
bool saveIfChanged(const QString& path, const QByteArray& bytes)
{
    QFile old(path);
    if (old.size() == bytes.size() && old.open(QIODevice::ReadOnly) && old.readAll() == bytes)
        return true;
    return events::saveFileAtomically(path, bytes);
}

/// Places a window by its stored centre; a centre on a screen that is gone
/// comes back onto the desktop. A hidden window keeps the centre as stored:
/// its size settles only when it shows, and it comes onto the desktop then.
void placeByCentre(TimerMsgDlg* window, const QPoint& centre)
{
    if (window)
        window->setPos(window->isVisible() ? onScreenCentre(centre, window->size()) : centre);
}

} // namespace

/// Prepares the folder; false (after the one message) when it cannot be made.
static bool prepareFolder(MainSettingsDlg* main, bool* created)
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
    prompts::critical(
        main, MainSettingsDlg::tr("Settings Error"),
        MainSettingsDlg::tr("Can't create settings folder %1. Check access rights.").arg(folder));
    return false;
}

void MainSettingsDlg::loadEvents()
{
    settingsFolderCreated = false;
    bool created = false;
    if (!prepareFolder(this, &created))
        return;
    settingsFolderCreated = created;
    const QString folder = dataFolder();

    QList<AlarmRecord> alarmRecords;
    if (readFile(folder + alarmsFile, events::readAlarms, alarmRecords)) {
        for (const AlarmRecord& record : alarmRecords)
            adoptAlarm(new AlarmMsgDlg(record, this), true);
    }

    QList<events::TimerEntry> timerEntries;
    if (readFile(folder + timersFile, events::readTimers, timerEntries)) {
        for (const events::TimerEntry& entry : timerEntries) {
            auto* timer = new TimerMsgDlg(this);
            timer->setTimerRecord(entry.record);
            if (!entry.visible)
                timer->settleSize();
            adoptTimer(timer, entry.visible);
            placeByCentre(timer, entry.centre);
        }
    }

    QList<HolidayRecord> holidays;
    if (readFile(folder + workScheduleFile, events::readWorkSchedule, holidays)) {
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

bool MainSettingsDlg::writeEventFiles()
{
    // Nothing is written before the files were read: an early save would
    // replace them with empty lists.
    if (!eventsLoaded || !prepareFolder(this, nullptr))
        return false;
    const QString folder = dataFolder();

    QList<AlarmRecord> alarmRecords;
    for (const AlarmMsgDlg* alarm : std::as_const(alarms))
        alarmRecords << alarm->alarm();
    QList<events::TimerEntry> timerEntries;
    for (TimerMsgDlg* timer : std::as_const(timers))
        timerEntries << events::TimerEntry{timer->timerRecord(), timer->isVisible(),
                                           timer->getPos()};
    events::WorkCentres centres;
    const std::array<TimerMsgDlg*, 4> windows{lunchTimer, dayEndTimer, holidayTimer, vacationTimer};
    bool workWindows = true;
    for (size_t i = 0; i < windows.size(); ++i) {
        workWindows = workWindows && windows[i];
        centres[i] = windows[i] ? windows[i]->getPos() : QPoint();
    }

    // Every file is tried even when one fails.
    bool ok = saveIfChanged(folder + alarmsFile, events::formatAlarms(alarmRecords));
    ok = saveIfChanged(folder + timersFile, events::formatTimers(timerEntries)) && ok;
    if (workWindows)
        ok = saveIfChanged(folder + workTimersFile, events::formatWorkTimers(centres)) && ok;
    ok = saveIfChanged(folder + workScheduleFile,
                       events::formatWorkSchedule(appSettings ? appSettings->holidays
                                                              : QList<HolidayRecord>{})) &&
         ok;
    return ok;
}

void MainSettingsDlg::saveEvents()
{
    if (saveTimer)
        saveTimer->stop();
    writeEventFiles();
}

void MainSettingsDlg::scheduleSave()
{
    if (!eventsLoaded)
        return;
    if (!saveTimer) {
        saveTimer = new QTimer(this);
        saveTimer->setObjectName(QStringLiteral("eventSaveTimer"));
        saveTimer->setSingleShot(true);
        saveTimer->setInterval(saveDelayMs);
        connect(saveTimer, &QTimer::timeout, this, &MainSettingsDlg::saveEvents);
    }
    // Not restarted by later changes: a steady stream of them must not
    // postpone the write for ever.
    if (!saveTimer->isActive())
        saveTimer->start();
}

} // namespace td
