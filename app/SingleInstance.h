// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/InstanceProtocol.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace td {

/// The folder for the lock and the socket: the first of `runtimeFolders` that
/// exists and that only this user can enter (owned by the user, no access for
/// group or others), else `fallback`, created (0700) or tightened if it is the
/// user's own. Never a folder others can write into. Empty when none will do;
/// `error` then says why for each.
QString privateFolder(const QStringList& runtimeFolders, const QString& fallback, QString* error);
/// $XDG_RUNTIME_DIR, /run/user/<uid>, else a folder in the user's cache folder.
QString defaultPrivateFolder(QString* error);

/// One running copy per user. The first start holds a lock on a file in a
/// private per-user folder and listens on a local socket there. A later start
/// finds the lock held and asks through the socket; only an instance that
/// answers is another instance. Whatever else sits at the lock path (a leftover,
/// a link, a pipe, someone else's file) is taken over or reported as it is.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Outcome {
        Acquired, ///< this process is the one instance now
        Running,  ///< another instance holds the lock and answers
        Failed,   ///< neither: errorString() says why
    };
    /// How a request fared.
    enum class Delivery {
        Answered,   ///< the reply is in
        NotRunning, ///< nothing listens at the socket
        Busy,       ///< something listens but gave no reply in time
    };
    using Handler = std::function<protocol::Reply(const protocol::Request&)>;
    /// Takes a request whose reply comes later (true), through `answer`.
    using Answer = std::function<void(const protocol::Reply&)>;
    using LaterHandler = std::function<bool(const protocol::Request&, const Answer& answer)>;

    /// `name` names the lock and the socket; `folder` defaults to defaultPrivateFolder().
    explicit SingleInstance(const QString& name, const QString& folder = QString(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    /// `answerMs`: how long a held lock's owner has to answer (it may be starting).
    Outcome acquire(int answerMs = 5000);
    /// "cannot lock <path>: <reason>" after a failed acquire().
    QString errorString() const { return m_error; }
    /// Sends a request to the running instance and waits for its reply. After
    /// a "quit" that was done it also waits a moment for the instance to go.
    Delivery deliver(const protocol::Request& request, protocol::Reply* reply,
                     int timeoutMs = 10000);
    /// deliver() == Answered.
    bool send(const protocol::Request& request, protocol::Reply* reply, int timeoutMs = 10000)
    {
        return deliver(request, reply, timeoutMs) == Delivery::Answered;
    }
    /// Gives the lock and the socket up (also done by the destructor).
    void release();
    bool isHeld() const;
    /// Answers the requests of later starts. Until there is one, requests wait
    /// (a ping is answered at once), and are answered as soon as it is set.
    void setHandler(Handler handler);
    /// Asked before the handler: requests that take their time (a sync).
    void setLaterHandler(LaterHandler handler) { m_later = std::move(handler); }

    QString name() const { return m_name; }
    QString folder() const { return m_folder; }
    QString lockFilePath() const;
    QString serverPath() const;

private:
    enum class Lock { Locked, Held, Failed };
    bool checkFolder(QString* why);
    Lock lock();
    bool listen();
    void accept();
    void serve(QLocalSocket* socket);
    void answer(QLocalSocket* socket, const protocol::Request& request,
                const protocol::Reply& reply);
    bool clearSocketPath(QString* why);

    QString m_folder;
    bool m_folderChecked = false;
    QString m_name;
    QString m_error;
    Handler m_handler;
    LaterHandler m_later;
    void dispatch(QLocalSocket* socket, const protocol::Request& request);
    int m_fd = -1;
    std::unique_ptr<QLockFile> m_lockFile; // where there is no flock()
    QLocalServer* m_server = nullptr;
    /// Connections that have not sent a whole request yet, oldest first.
    QList<QPointer<QLocalSocket>> m_waiting;
    /// Requests that came before the handler.
    QList<QPair<QPointer<QLocalSocket>, protocol::Request>> m_parked;
};

} // namespace td
