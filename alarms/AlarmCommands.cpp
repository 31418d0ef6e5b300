// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmCommands.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLoggingCategory>
#include <QProcess>
#include <QTimer>
#include <algorithm>

Q_LOGGING_CATEGORY(lcCommands, "tidra.alarms.command", QtInfoMsg)

namespace td {

QString commandLineText(const QStringList& command)
{
    QStringList words;
    for (QString word : command) {
        const bool plain =
            !word.isEmpty() && !word.contains(u'"') &&
            std::none_of(word.begin(), word.end(), [](QChar c) { return c.isSpace(); });
        if (plain) {
            words << word;
            continue;
        }
        // splitCommand reads three quotes in a row as one quote character.
        words << u'"' + word.replace(u'"', QStringLiteral("\"\"\"")) + u'"';
    }
    return words.join(u' ');
}

AlarmCommands::AlarmCommands(QObject* parent) : AlarmCommands(Limits(), parent) {}

AlarmCommands::AlarmCommands(const Limits& limits, QObject* parent)
    : QObject(parent), m_limits(limits)
{
}

AlarmCommands::~AlarmCommands()
{
    if (!m_waiting.isEmpty())
        qCWarning(lcCommands, "Tidra quits: %lld waiting alarm command(s) not run",
                  qlonglong(m_waiting.size()));
    // Asked to end, and a moment to do so; what is left the process object kills.
    const QList<QProcess*> processes = m_running.keys();
    for (QProcess* p : processes) {
        disconnect(p, nullptr, this, nullptr);
        p->terminate();
    }
    QDeadlineTimer deadline(1000);
    for (QProcess* p : processes) {
        p->waitForFinished(int(qMax<qint64>(0, deadline.remainingTime())));
        delete p;
    }
}

QProcessEnvironment AlarmCommands::environment(const AlarmRecord& record, const QDateTime& due)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TIDRA_ALARM_NAME"), record.name);
    env.insert(QStringLiteral("TIDRA_ALARM_MESSAGE"), record.message);
    // With its offset, so a script needs no idea of Tidra's time zone.
    const QDateTime withOffset = due.toOffsetFromUtc(due.offsetFromUtc());
    env.insert(QStringLiteral("TIDRA_ALARM_TIME"),
               due.isValid() ? withOffset.toString(Qt::ISODate) : QString());
    return env;
}

AlarmCommands::Outcome AlarmCommands::run(quint64 alarmId, const AlarmRecord& record,
                                          const QDateTime& due)
{
    if (record.command.isEmpty() || record.command.constFirst().isEmpty())
        return Outcome::NoCommand;
    const Job job{alarmId, record.name, record.command, environment(record, due)};
    if (running() < m_limits.maxRunning) {
        start(job);
        return Outcome::Started;
    }
    if (waiting() < m_limits.maxWaiting) {
        qCInfo(lcCommands, "%d alarm commands run already: the command of alarm \"%s\" waits",
               running(), qPrintable(record.name));
        m_waiting << job;
        return Outcome::Waiting;
    }
    qCWarning(lcCommands,
              "%d alarm commands run and %d wait already: the command of alarm \"%s\" is not run",
              running(), waiting(), qPrintable(record.name));
    return Outcome::Refused;
}

void AlarmCommands::start(const Job& job)
{
    auto* p = new QProcess(this);
    p->setProgram(job.command.constFirst());
    p->setArguments(job.command.mid(1));
    p->setProcessEnvironment(job.environment);
    p->setWorkingDirectory(QDir::homePath());
    // Nothing is read from the command: a flood of output cannot grow Tidra.
    p->setStandardInputFile(QProcess::nullDevice());
    p->setStandardOutputFile(QProcess::nullDevice());
    p->setStandardErrorFile(QProcess::nullDevice());
    m_running.insert(p, job);

    auto* limit = new QTimer(p);
    limit->setSingleShot(true);
    connect(limit, &QTimer::timeout, p, [this, p] {
        p->setProperty("overTime", true);
        p->terminate();
        QTimer::singleShot(m_limits.killAfterMs, p, [p] { p->kill(); });
    });
    connect(p, &QProcess::errorOccurred, this, [this, p](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            ended(p, tr("The command of alarm \"%1\" could not be started: %2.")
                         .arg(m_running.value(p).name, p->errorString()));
    });
    connect(p, &QProcess::finished, this, [this, p](int code, QProcess::ExitStatus status) {
        const QString name = m_running.value(p).name;
        if (p->property("overTime").toBool())
            ended(p, tr("The command of alarm \"%1\" ran longer than %n second(s) and was ended.",
                        nullptr, qMax(1, m_limits.timeLimitMs / 1000))
                         .arg(name));
        else if (status == QProcess::CrashExit)
            ended(p, tr("The command of alarm \"%1\" ended abnormally.").arg(name));
        else if (code != 0)
            ended(p, tr("The command of alarm \"%1\" exited with code %2.").arg(name).arg(code));
        else
            ended(p, QString());
    });
    limit->start(m_limits.timeLimitMs);
    p->start();
}

void AlarmCommands::ended(QProcess* process, const QString& problem)
{
    const auto found = m_running.constFind(process);
    if (found == m_running.constEnd())
        return;
    const Job job = found.value();
    m_running.erase(found);
    process->disconnect(this);
    process->deleteLater();
    if (!problem.isEmpty()) {
        const QString key = QString::number(job.alarmId) + u'\n' + job.command.join(u'\n');
        if (m_told.contains(key)) {
            qCWarning(lcCommands).noquote() << problem;
        } else {
            m_told.insert(key);
            emit problemToShow(problem);
        }
    }
    emit finished(job.alarmId, problem);
    startWaiting();
}

void AlarmCommands::startWaiting()
{
    while (!m_waiting.isEmpty() && running() < m_limits.maxRunning)
        start(m_waiting.takeFirst());
}

} // namespace td
