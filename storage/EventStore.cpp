// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/EventStore.h"

#include "alarms/AlarmModel.h"
#include "common/AppInfo.h"
#include "common/AppSettings.h"
#include "common/Prompts.h"
#include "storage/SafeWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <type_traits>

namespace td {

namespace {

/// A subscribed calendar's days live in its own file, so the work-schedule
/// file keeps the format older versions read.
QList<HolidayRecord> ownHolidays(const QList<HolidayRecord>& all)
{
    QList<HolidayRecord> own;
    for (const HolidayRecord& h : all) {
        if (h.calendar.isEmpty())
            own << h;
    }
    return own;
}

} // namespace

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

/// The reason of a failure as it goes into a sentence.
QString reason(QString error)
{
    error = error.trimmed();
    while (error.endsWith(u'.'))
        error.chop(1);
    return error.isEmpty() ? EventStore::tr("unknown error") : error;
}

} // namespace

EventStore::EventStore(AlarmModel& alarms, QWidget* window, QObject* parent)
    : QObject(parent), m_alarms(alarms), m_window(window)
{
    watch(&alarms, &AlarmModel::changed);
}

EventStore::~EventStore() = default;

QString EventStore::dataFolder()
{
    return QDir::homePath() + QLatin1Char('/') + QLatin1String(info::dataFolderName);
}

bool EventStore::prepareFolder(bool report)
{
    const QString folder = dataFolder();
    if (QFileInfo(folder).isDir())
        return true;
    QDir home(QDir::homePath());
    home.mkpath(QFileInfo(folder).absolutePath());
    if (home.mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        m_folderCreated = m_folderCreated || report;
        return true;
    }
    if (report)
        prompts::critical(m_window, tr("Settings Error"),
                          tr("Can't create settings folder %1. Check access rights.").arg(folder));
    return false;
}

/// A file read only in part would lose the rest at the next save: it is kept
/// aside first, or, when that fails, never written in this run.
void EventStore::keepPartlyRead(const QString& path)
{
    const QString kept = files::keepAside(path);
    const QString name = QDir::toNativeSeparators(path);
    if (kept.isEmpty()) {
        m_heldFiles << path;
        prompts::notice(tr("Tidra could not read all of %1: it is too large. No copy of it could "
                           "be kept, so Tidra leaves it as it is and does not save changes to it.")
                            .arg(name));
    } else {
        prompts::notice(tr("Tidra could not read all of %1: it is too large. The whole file is "
                           "kept as %2.")
                            .arg(name, QDir::toNativeSeparators(kept)));
    }
}

EventStore::Loaded EventStore::load(const std::function<void(const Loaded&)>& takeIn)
{
    Loaded loaded;
    m_folderCreated = false;
    const QString folder = dataFolder();
    const bool existed = QFileInfo(folder).isDir();
    if (!prepareFolder(true))
        return loaded;
    if (existed) {
        // Only its owner may use it, and what interrupted saves left goes.
        files::makePrivate(folder);
        files::removeStaleTemporaries(folder, {alarmsFile.mid(1), timersFile.mid(1),
                                               workTimersFile.mid(1), workScheduleFile.mid(1)});
    }
    bool cut = false;
    QList<events::AlarmEntry> alarms;
    if (readFile(folder + alarmsFile, events::readAlarms, alarms, &cut)) {
        if (cut)
            keepPartlyRead(folder + alarmsFile);
        for (const events::AlarmEntry& entry : std::as_const(alarms))
            m_alarms.add(entry.record, QDateTime(), entry.reminder);
    }
    if (readFile(folder + timersFile, events::readTimers, loaded.timers, &cut) && cut)
        keepPartlyRead(folder + timersFile);
    if (readFile(folder + workScheduleFile, events::readWorkSchedule, loaded.holidays, &cut) && cut)
        keepPartlyRead(folder + workScheduleFile);
    loaded.hasCentres = readFile(folder + workTimersFile, events::readWorkTimers, loaded.centres);
    if (takeIn)
        takeIn(loaded);
    m_loaded = true;
    return loaded;
}

bool EventStore::writeFiles(QString* error)
{
    // Nothing is written before the files were read: an early save would
    // replace them with empty lists.
    if (!m_loaded)
        return false;
    if (!prepareFolder(false)) {
        if (error)
            *error = tr("cannot create the folder %1").arg(QDir::toNativeSeparators(dataFolder()));
        return false;
    }
    const QString folder = dataFolder();
    QList<events::AlarmEntry> alarms;
    alarms.reserve(m_alarms.count());
    for (const Alarm& alarm : m_alarms.alarms())
        alarms << events::AlarmEntry(alarm.record, alarm.reminder);

    // Every file is tried even when one fails; the first reason is kept.
    bool ok = true;
    QString firstError;
    auto save = [&](const QString& name, const QByteArray& bytes) {
        if (m_heldFiles.contains(folder + name))
            return;
        QString why;
        if (!saveIfChanged(folder + name, bytes, &why)) {
            if (ok)
                firstError = why;
            ok = false;
        }
    };
    save(alarmsFile, events::formatAlarms(alarms));
    if (m_sources.timers)
        save(timersFile, events::formatTimers(m_sources.timers()));
    events::WorkCentres centres;
    if (m_sources.workCentres && m_sources.workCentres(centres))
        save(workTimersFile, events::formatWorkTimers(centres));
    if (appSettings)
        save(workScheduleFile, events::formatWorkSchedule(ownHolidays(appSettings->holidays)));
    if (error)
        *error = firstError;
    return ok;
}

void EventStore::makeTimer(QTimer*& timer, const QString& name, int delayMs)
{
    // Made on first use, so a session without changes runs none.
    if (timer)
        return;
    timer = new QTimer(this);
    timer->setObjectName(name);
    timer->setSingleShot(true);
    timer->setInterval(delayMs);
    connect(timer, &QTimer::timeout, this, [this] { saveNow(); });
}

bool EventStore::saveNow(QString* error)
{
    if (m_saveTimer)
        m_saveTimer->stop();
    if (!m_loaded)
        return false;
    QString why;
    if (writeFiles(&why)) {
        saved();
        return true;
    }
    // Told once per streak of failures, however often the retries fail.
    if (!m_saveFailing)
        prompts::notice(tr("Tidra could not save your alarms: %1. They are kept in memory and "
                           "saved again when possible.")
                            .arg(reason(why)));
    m_saveFailing = true;
    m_lastError = why;
    if (error)
        *error = reason(why);
    makeTimer(m_retryTimer, QStringLiteral("eventRetryTimer"), retryDelayMs);
    m_retryTimer->start();
    return false;
}

void EventStore::saved()
{
    if (m_saveTimer)
        m_saveTimer->stop();
    if (m_retryTimer)
        m_retryTimer->stop();
    if (m_saveFailing)
        prompts::notice(tr("Tidra saved your alarms again."));
    m_saveFailing = false;
}

bool EventStore::commit(QString* error)
{
    QString why;
    if (writeFiles(&why)) {
        saved();
        return true;
    }
    if (error)
        *error = reason(why);
    return false;
}

bool EventStore::savePending() const
{
    return m_saveTimer && m_saveTimer->isActive();
}

void EventStore::scheduleSave()
{
    if (!m_loaded)
        return;
    makeTimer(m_saveTimer, QStringLiteral("eventSaveTimer"), saveDelayMs);
    // Not restarted by later changes: a steady stream of them must not
    // postpone the write for ever.
    if (!m_saveTimer->isActive())
        m_saveTimer->start();
}

bool EventStore::confirmQuit()
{
    if (!m_loaded || saveNow())
        return true;
    return prompts::question(
        m_window, tr("Tidra"),
        tr("Tidra could not save your alarms: %1.\n\nQuit anyway and lose the changes made "
           "since the last save?")
            .arg(reason(m_lastError)),
        tr("&Quit Anyway"), tr("&Keep Running"));
}

} // namespace td
