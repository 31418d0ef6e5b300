// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>
#include <QTimer>

#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace td {

namespace {

/// A client that connects and says nothing is dropped after this long; a
/// real one writes its request at once.
constexpr int requestWaitMs = 2000;
/// Connections that have sent no request yet; beyond this the oldest goes, so
/// connections held open never keep a new one out.
constexpr int maxConnections = 8;
/// After "quit" was answered (the files are saved), how long the client waits
/// for the instance to be gone.
constexpr int quitWaitMs = 5000;

QString tr(const char* text)
{
    return QCoreApplication::translate("td", text); // lupdate's context for tr() here
}

#ifdef Q_OS_UNIX
QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

/// Empty when `path` is a folder only this user can enter, else why not.
QString privateProblem(const QString& path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return systemError(errno);
    if (!S_ISDIR(st.st_mode))
        return tr("it is not a folder");
    if (st.st_uid != ::geteuid())
        return tr("it belongs to another user");
    if (st.st_mode & 077)
        return tr("other users can enter it (mode %1)")
            .arg(st.st_mode & 0777, 4, 8, QLatin1Char('0'));
    return QString();
}

/// Makes `path` (0700) or takes it as it is when it is the user's own real folder.
QString makePrivate(const QString& path)
{
    const QByteArray p = QFile::encodeName(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (::mkdir(p.constData(), 0700) != 0 && errno != EEXIST)
        return systemError(errno);
    struct stat st = {};
    if (::lstat(p.constData(), &st) != 0)
        return systemError(errno);
    if (S_ISLNK(st.st_mode))
        return tr("it is a symbolic link");
    if (S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077))
        ::chmod(p.constData(), 0700);
    return privateProblem(path);
}
#endif

} // namespace

QString privateFolder(const QStringList& runtimeFolders, const QString& fallback, QString* error)
{
#ifdef Q_OS_UNIX
    QStringList reasons;
    for (const QString& folder : runtimeFolders) {
        if (folder.isEmpty() || QDir::isRelativePath(folder))
            continue;
        const QString problem = privateProblem(folder);
        if (problem.isEmpty())
            return QDir::cleanPath(folder);
        reasons << tr("%1: %2").arg(folder, problem);
    }
    if (!fallback.isEmpty()) {
        const QString problem = makePrivate(fallback);
        if (problem.isEmpty())
            return QDir::cleanPath(fallback);
        reasons << tr("%1: %2").arg(fallback, problem);
    }
    if (error)
        *error =
            tr("there is no private folder for it (%1)").arg(reasons.join(QStringLiteral("; ")));
    return QString();
#else
    Q_UNUSED(error)
    for (const QString& folder : runtimeFolders)
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    QDir().mkpath(fallback);
    return fallback;
#endif
}

QString defaultPrivateFolder(QString* error)
{
    QStringList runtime{qEnvironmentVariable("XDG_RUNTIME_DIR")};
#ifdef Q_OS_UNIX
    runtime << QStringLiteral("/run/user/%1").arg(::geteuid());
#endif
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || QDir::isRelativePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    // A home shared between machines gets one folder per machine.
    const QString fallback =
        cache + QStringLiteral("/Tidra/runtime-") + QSysInfo::machineHostName().remove('/');
    return privateFolder(runtime, fallback, error);
}

SingleInstance::SingleInstance(const QString& name, const QString& folder, QObject* parent)
    : QObject(parent), m_folder(folder), m_name(name)
{
}

SingleInstance::~SingleInstance()
{
    release();
}

bool SingleInstance::checkFolder(QString* why)
{
    if (!m_folderChecked) {
        m_folder =
            m_folder.isEmpty() ? defaultPrivateFolder(why) : privateFolder({}, m_folder, why);
        m_folderChecked = !m_folder.isEmpty();
    }
    return m_folderChecked;
}

QString SingleInstance::lockFilePath() const
{
    return QDir(m_folder).filePath(m_name + ".lock");
}

QString SingleInstance::serverPath() const
{
    return QDir(m_folder).filePath(m_name + ".socket");
}

bool SingleInstance::isHeld() const
{
    return m_fd >= 0 || m_lockFile;
}

SingleInstance::Outcome SingleInstance::acquire(int answerMs)
{
    if (isHeld())
        return Outcome::Acquired;
    m_error.clear();
    QString why;
    if (!checkFolder(&why)) {
        m_error = tr("cannot lock %1: %2").arg(m_name + ".lock", why);
        return Outcome::Failed;
    }
    // Two starts at the same moment: the winner may not be listening yet. An
    // instance on its way out lets go of the lock a moment after its socket.
    // The holder is asked at least once, however short the wait.
    const QDeadlineTimer deadline(answerMs);
    for (bool asked = false;; asked = true) {
        switch (lock()) {
        case Lock::Failed:
            return Outcome::Failed;
        case Lock::Locked:
            if (listen())
                return Outcome::Acquired;
            // Not half alive: without a socket no later start could reach us.
            release();
            return Outcome::Failed;
        case Lock::Held:
            break;
        }
        if (asked && deadline.hasExpired())
            break;
        protocol::Reply reply;
        if (send({protocol::command::ping, {}}, &reply,
                 int(qMax<qint64>(1, deadline.remainingTime()))))
            return Outcome::Running;
        QThread::msleep(50);
    }
    QString holder;
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(lockFilePath()).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        char text[32] = {};
        const ssize_t n = ::read(fd, text, sizeof text - 1);
        ::close(fd);
        holder = QString::fromLatin1(text, n > 0 ? int(n) : 0).trimmed();
    }
#endif
    bool isPid = false;
    holder.toLongLong(&isPid);
    m_error = isPid ? tr("cannot lock %1: process %2 holds it and does not answer")
                          .arg(lockFilePath(), holder)
                    : tr("cannot lock %1: another process holds it and does not answer")
                          .arg(lockFilePath());
    return Outcome::Failed;
}

SingleInstance::Lock SingleInstance::lock()
{
    const QString path = lockFilePath();
#ifdef Q_OS_UNIX
    const QByteArray p = QFile::encodeName(path);
    auto fail = [this, &path](const QString& reason) {
        m_error = tr("cannot lock %1: %2").arg(path, reason);
        return Lock::Failed;
    };
    // Whatever is at the path and is no lock of ours is cleared away: the
    // folder is private, so only this user (or the system) put it there.
    for (int attempt = 0; attempt < 8; ++attempt) {
        // Non-blocking: opening a pipe must not wait for a writer.
        const int fd =
            ::open(p.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0) {
            const int error = errno;
            if (error == EISDIR) {
                if (::rmdir(p.constData()) != 0)
                    return fail(tr("a folder with files in it is in the way"));
                continue;
            }
            if (error == ELOOP || error == ENXIO || error == EACCES || error == EPERM ||
                error == ETXTBSY) {
                if (::unlink(p.constData()) != 0)
                    return fail(systemError(errno));
                continue;
            }
            return fail(systemError(error));
        }
        struct stat st = {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
            ::close(fd);
            if (::unlink(p.constData()) != 0)
                return fail(systemError(errno));
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return Lock::Held;
            return fail(systemError(error));
        }
        // The owner before us may have removed the file while we opened it.
        struct stat now = {};
        if (::stat(p.constData(), &now) != 0 || now.st_ino != st.st_ino ||
            now.st_dev != st.st_dev) {
            ::close(fd);
            continue;
        }
        ::fchmod(fd, 0600);
        // Only for people who look: the lock is the flock(), not the text.
        const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
        if (::ftruncate(fd, 0) == 0) {
            [[maybe_unused]] const ssize_t n = ::write(fd, pid.constData(), size_t(pid.size()));
        }
        m_fd = fd;
        return Lock::Locked;
    }
    return fail(tr("it keeps changing"));
#else
    m_lockFile = std::make_unique<QLockFile>(path);
    m_lockFile->setStaleLockTime(0);
    if (m_lockFile->tryLock(0))
        return Lock::Locked;
    const bool held = m_lockFile->error() == QLockFile::LockFailedError;
    m_lockFile.reset();
    if (held)
        return Lock::Held;
    m_error = tr("cannot lock %1: %2").arg(path, tr("it cannot be written"));
    return Lock::Failed;
#endif
}

bool SingleInstance::clearSocketPath(QString* why)
{
#ifdef Q_OS_UNIX
    // We hold the lock, so a socket or a link here is a crashed instance's
    // leftover, and an empty folder is nobody's; anything else is named.
    const QByteArray p = QFile::encodeName(serverPath());
    struct stat st = {};
    if (::lstat(p.constData(), &st) != 0) {
        if (errno == ENOENT)
            return true;
        *why = systemError(errno);
        return false;
    }
    if (S_ISSOCK(st.st_mode) || S_ISLNK(st.st_mode)) {
        if (::unlink(p.constData()) == 0)
            return true;
        *why = systemError(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        if (::rmdir(p.constData()) == 0)
            return true;
        *why = tr("a folder with files in it is in the way");
        return false;
    }
    *why = tr("a file that is not Tidra's is in the way");
    return false;
#else
    Q_UNUSED(why)
    QLocalServer::removeServer(serverPath());
    return true;
#endif
}

bool SingleInstance::listen()
{
    QString why;
    if (!clearSocketPath(&why)) {
        m_error = tr("cannot listen on %1: %2").arg(serverPath(), why);
        return false;
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setMaxPendingConnections(4 * maxConnections);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::accept);
    if (m_server->listen(serverPath()))
        return true;
    m_error = tr("cannot listen on %1: %2").arg(serverPath(), m_server->errorString());
    delete m_server;
    m_server = nullptr;
    return false;
}

void SingleInstance::accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        m_waiting.removeAll(nullptr);
        while (m_waiting.size() >= maxConnections)
            if (QLocalSocket* oldest = m_waiting.takeFirst())
                oldest->abort();
        m_waiting.append(socket);
        serve(socket);
    }
}

void SingleInstance::serve(QLocalSocket* socket)
{
    auto* timeout = new QTimer(socket);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, socket, &QLocalSocket::abort);
    timeout->start(requestWaitMs);
    auto buffer = std::make_shared<QByteArray>();
    auto taken = std::make_shared<bool>(false);
    auto read = [this, socket, timeout, buffer, taken]() {
        if (*taken) {
            socket->readAll();
            return;
        }
        buffer->append(socket->read(protocol::maxRequestBytes + 2 - buffer->size()));
        const qsizetype end = buffer->indexOf('\n');
        if (end < 0 && buffer->size() <= protocol::maxRequestBytes)
            return;
        *taken = true;
        timeout->stop();
        m_waiting.removeAll(socket);
        protocol::Request request;
        QString error;
        const bool understood =
            protocol::decode(end < 0 ? *buffer : buffer->left(end), &request, &error);
        buffer->clear();
        if (!understood)
            answer(socket, request, protocol::refused(error));
        else if (request.command == protocol::command::ping)
            answer(socket, request, protocol::Reply());
        else if (!m_handler)
            m_parked.append({socket, request});
        else
            dispatch(socket, request);
    };
    connect(socket, &QLocalSocket::readyRead, this, read);
    read();
}

void SingleInstance::answer(QLocalSocket* socket, const protocol::Request& request,
                            const protocol::Reply& reply)
{
    socket->write(protocol::encode(reply));
    socket->flush();
    // A client that asked us to quit learns from the closing connection that we are gone.
    if (request.command != protocol::command::quit || reply.code != protocol::Done)
        socket->disconnectFromServer();
}

void SingleInstance::setHandler(Handler handler)
{
    m_handler = std::move(handler);
    if (!m_handler)
        return;
    const auto parked = std::exchange(m_parked, {});
    for (const auto& [socket, request] : parked)
        if (socket)
            dispatch(socket, request);
}

void SingleInstance::dispatch(QLocalSocket* socket, const protocol::Request& request)
{
    const QPointer<QLocalSocket> peer(socket);
    const Answer later = [this, peer, request](const protocol::Reply& reply) {
        if (peer)
            answer(peer, request, reply);
    };
    if (!m_later || !m_later(request, later))
        answer(socket, request, m_handler(request));
}

SingleInstance::Delivery SingleInstance::deliver(const protocol::Request& request,
                                                 protocol::Reply* reply, int timeoutMs)
{
    if (!checkFolder(nullptr))
        return Delivery::NotRunning;
    const QDeadlineTimer deadline(timeoutMs);
    auto left = [&deadline]() { return int(qMax<qint64>(1, deadline.remainingTime())); };
    QLocalSocket socket;
    socket.connectToServer(serverPath());
    if (!socket.waitForConnected(left())) {
        // Only a path with nothing listening means no Tidra; a full queue
        // of connections makes the connect wait.
        const QLocalSocket::LocalSocketError e = socket.error();
        return e == QLocalSocket::ServerNotFoundError || e == QLocalSocket::ConnectionRefusedError
                   ? Delivery::NotRunning
                   : Delivery::Busy;
    }
    socket.write(protocol::encode(request));
    if (!socket.waitForBytesWritten(left()))
        return Delivery::Busy;
    QByteArray line;
    while (!line.contains('\n')) {
        if (line.size() > protocol::maxReplyBytes)
            return Delivery::Busy;
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(left()))
            break;
        line += socket.read(protocol::maxReplyBytes + 2 - line.size());
    }
    QString error;
    if (!line.contains('\n') || !protocol::decode(line.left(line.indexOf('\n')), reply, &error))
        return Delivery::Busy;
    if (request.command == protocol::command::quit && reply->code == protocol::Done &&
        socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(quitWaitMs);
    return Delivery::Answered;
}

void SingleInstance::release()
{
    // The socket before the lock: closing the server removes the socket file,
    // which must not be the one of a new instance that got the lock already.
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
#ifdef Q_OS_UNIX
    if (m_fd >= 0) {
        // Unlinked while still locked, so no later start locks a file on its way out.
        ::unlink(QFile::encodeName(lockFilePath()).constData());
        ::close(m_fd);
        m_fd = -1;
    }
#endif
    if (m_lockFile) {
        m_lockFile->unlock();
        m_lockFile.reset();
    }
}

} // namespace td
