// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "storage/EventFiles.h"

#include <QObject>
#include <QStringList>
#include <functional>

class QTimer;
class QWidget;

namespace td {

class AlarmModel;

/// The event files and when they are written. Everything worth keeping
/// reports its changes here (watch()); nothing else decides when to save.
class EventStore : public QObject
{
    Q_OBJECT
public:
    /// What the window layer keeps that the files hold: the timers and the
    /// places of the work windows (false when those windows do not exist).
    struct Sources
    {
        std::function<QList<events::TimerEntry>()> timers;
        std::function<bool(events::WorkCentres&)> workCentres;
    };
    /// What was read besides the alarms, for the window layer to take in.
    struct Loaded
    {
        QList<events::TimerEntry> timers;
        QList<HolidayRecord> holidays;
        bool hasCentres = false;
        events::WorkCentres centres;
    };

    EventStore(AlarmModel& alarms, QWidget* window, QObject* parent = nullptr);
    ~EventStore() override;

    void setSources(Sources sources) { m_sources = std::move(sources); }
    /// A change of `sender` through `signal` is saved soon.
    template <typename Sender, typename Signal> void watch(const Sender* sender, Signal signal)
    {
        connect(sender, signal, this, &EventStore::scheduleSave);
    }

    /// Reads the files, the alarms into the model, the rest to `takeIn`: what
    /// is taken in there is no change to save. Says once when the folder
    /// cannot be made. Nothing is written before this ran.
    Loaded load(const std::function<void(const Loaded&)>& takeIn = {});
    bool loaded() const { return m_loaded; }
    /// The data folder did not exist and was made by load().
    bool folderCreated() const { return m_folderCreated; }

    /// Writes now; false with the first reason in `error` when any file could
    /// not be written. A failure is told once and retried a minute later.
    bool saveNow(QString* error = nullptr);
    /// Writes now for a command's reply: a failure is the caller's to tell
    /// (and to undo), so it starts no streak of notices and retries.
    bool commit(QString* error);
    bool saveFailing() const { return m_saveFailing; }
    bool savePending() const;
    /// Saves before the program ends; after a failed save, asks whether to end
    /// anyway. True when the program may end.
    bool confirmQuit();

    static QString dataFolder();

public slots:
    /// Something worth keeping changed: write the files soon.
    void scheduleSave();

private:
    bool writeFiles(QString* error);
    /// A write went through: the save timers stop, a failing streak ends.
    void saved();
    bool prepareFolder(bool report);
    void keepPartlyRead(const QString& path);
    void makeTimer(QTimer*& timer, const QString& name, int delayMs);

    AlarmModel& m_alarms;
    QWidget* m_window;
    Sources m_sources;
    bool m_loaded = false;
    bool m_folderCreated = false;
    bool m_saveFailing = false;
    QString m_lastError;
    QTimer* m_saveTimer = nullptr;
    QTimer* m_retryTimer = nullptr;
    /// Files read only in part that could not be kept aside: never written.
    QStringList m_heldFiles;
};

} // namespace td
