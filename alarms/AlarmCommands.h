// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmRecord.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QProcessEnvironment>
#include <QSet>
#include <QStringList>

class QProcess;

namespace td {

/// The one line the editor shows for a command; QProcess::splitCommand reads it
/// back into the same program and arguments (empty arguments are lost).
QString commandLineText(const QStringList& command);

/// Runs the commands of ringing alarms: directly, never through a shell, as the
/// user, with stdin closed and the output thrown away, within a time limit and
/// a few at a time. Nothing here waits on a process.
class AlarmCommands : public QObject
{
    Q_OBJECT
public:
    struct Limits
    {
        int maxRunning = 4;      ///< commands at once; more wait their turn
        int maxWaiting = 64;     ///< waiting commands; more are refused
        int timeLimitMs = 60000; ///< then asked to end (SIGTERM) ...
        int killAfterMs = 5000;  ///< ... and killed this much later
    };
    enum class Outcome { Started, Waiting, Refused, NoCommand };

    explicit AlarmCommands(QObject* parent = nullptr);
    AlarmCommands(const Limits& limits, QObject* parent = nullptr);
    /// Running commands are asked to end and given a moment; waiting ones are dropped.
    ~AlarmCommands() override;

    /// Runs the alarm's command, or queues it when enough are running.
    Outcome run(quint64 alarmId, const AlarmRecord& record, const QDateTime& due);
    int running() const { return int(m_running.size()); }
    int waiting() const { return int(m_waiting.size()); }

    /// Tidra's own environment with the alarm's name, message and due moment.
    static QProcessEnvironment environment(const AlarmRecord& record, const QDateTime& due);

signals:
    /// Every command that ended; `problem` is empty when it exited with 0.
    void finished(quint64 alarmId, const QString& problem);
    /// The first problem of each alarm's command, for the user; later ones go
    /// only to the log.
    void problemToShow(const QString& text);

private:
    struct Job
    {
        quint64 alarmId = 0;
        QString name;
        QStringList command;
        QProcessEnvironment environment;
    };
    void start(const Job& job);
    void ended(QProcess* process, const QString& problem);
    void startWaiting();

    Limits m_limits;
    QHash<QProcess*, Job> m_running;
    QList<Job> m_waiting;
    /// Alarms whose command problem the user has been told of, by command.
    QSet<QString> m_told;
};

} // namespace td
