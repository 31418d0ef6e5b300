#include "app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

namespace td {

namespace {
const QByteArray activateRequest = "activate\n";
} // namespace

SingleInstance::SingleInstance(const QString& name, const QString& folder, QObject* parent)
    : QObject(parent), m_folder(folder), m_name(name)
{
    if (m_folder.isEmpty())
        m_folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (m_folder.isEmpty())
        m_folder = QDir::tempPath();
}

SingleInstance::~SingleInstance()
{
    release();
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
    return m_lock && m_lock->isLocked();
}

bool SingleInstance::acquire()
{
    if (isHeld())
        return true;
    QDir().mkpath(m_folder);
    m_lock = std::make_unique<QLockFile>(lockFilePath());
    // Only a dead owner makes a lock stale, never its age: the first
    // instance runs for days.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return false;
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file here is a crashed instance's leftover.
    QLocalServer::removeServer(serverPath());
    m_server->listen(serverPath());
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::readRequest);
    return true;
}

void SingleInstance::readRequest()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto handle = [this, socket]() {
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine(64);
            socket->disconnectFromServer();
            if (line == activateRequest)
                emit activationRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        handle();
    }
}

bool SingleInstance::notifyRunning(int timeoutMs)
{
    // Two starts at the same moment: the winner may not be listening yet.
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(serverPath());
        if (socket.waitForConnected(qMax<qint64>(1, deadline.remainingTime()))) {
            socket.write(activateRequest);
            const bool sent = socket.waitForBytesWritten(qMax<qint64>(1, deadline.remainingTime()));
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(50);
    }
    return false;
}

void SingleInstance::release()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    if (m_lock) {
        m_lock->unlock();
        m_lock.reset();
    }
}

} // namespace td
