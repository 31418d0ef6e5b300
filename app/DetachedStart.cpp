// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DetachedStart.h"

#include "app/CommandLine.h"
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#endif

namespace td {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("td::protocol", text); // lupdate's context for tr() here
}

/// Why the started Tidra ended without an answer, as far as a look at the
/// lock and the socket tells.
protocol::Reply didNotStart(SingleInstance& instance)
{
    SingleInstance probe(instance.name(), instance.folder());
    const bool failed = probe.acquire(0) == SingleInstance::Outcome::Failed;
    probe.release();
    return protocol::refused(
        failed ? tr("Tidra did not start: %1.").arg(probe.errorString())
               : tr("Tidra did not start; start it without a command to see why."));
}

protocol::Reply noAnswer(int seconds)
{
    return protocol::refused(QCoreApplication::translate(
        "td::protocol", "Tidra was started but did not answer within %n second(s).", nullptr,
        seconds));
}

} // namespace

bool processRuns(qint64 pid)
{
#ifdef Q_OS_UNIX
    if (pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno != EPERM))
        return false;
    // A process nobody reaps stays a zombie: it runs no more.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end < 0 || line.mid(end + 2, 1) != "Z";
#else
    Q_UNUSED(pid)
    return true;
#endif
}

protocol::Reply startDetached(SingleInstance& instance, const QStringList& arguments,
                              const protocol::Request& request, int timeoutMs)
{
    QProcess process;
    process.setProgram(QCoreApplication::applicationFilePath());
    process.setArguments(cli::detachedArguments(arguments));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    // Holding no folder that someone may want to unmount.
    process.setWorkingDirectory(QDir::rootPath());
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return protocol::refused(tr("Tidra could not be started: %1.").arg(process.errorString()));

    const QDeadlineTimer deadline(timeoutMs);
    const auto tooLong = [timeoutMs] { return noAnswer(timeoutMs / 1000); };
    for (;;) {
        // Looked at before asking: a start that listened and then ended is still asked.
        const bool runs = processRuns(pid);
        const int left = int(qMax<qint64>(1, deadline.remainingTime()));
        protocol::Reply reply;
        switch (instance.deliver(request, &reply, left)) {
        case SingleInstance::Delivery::Answered:
            return reply;
        case SingleInstance::Delivery::Busy:
            return runs || deadline.hasExpired() ? tooLong() : didNotStart(instance);
        case SingleInstance::Delivery::NotRunning:
            break;
        }
        if (!runs) {
            // One that lost a race with another start ends at once, once the
            // winner has answered it: the winner listens now.
            if (instance.deliver(request, &reply, left) == SingleInstance::Delivery::Answered)
                return reply;
            return didNotStart(instance);
        }
        if (deadline.hasExpired())
            return tooLong();
        QThread::msleep(20);
    }
}

} // namespace td
