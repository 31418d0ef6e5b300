#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

namespace td {

/// One running copy per user. The first start holds a lock file in the
/// per-user runtime folder (a lock left by a dead process is taken over) and
/// listens on a local socket there; a later start finds the lock, asks the
/// first one through the socket to bring its window forward, and gives up.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    /// `name` names the lock and the socket; `folder` defaults to the runtime folder.
    explicit SingleInstance(const QString& name, const QString& folder = QString(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    /// True when this process is now the one instance; false when another holds it.
    bool acquire();
    /// Asks the running instance to bring its window forward; true when it was reached.
    bool notifyRunning(int timeoutMs = 2000);
    /// Gives the lock and the socket up (also done by the destructor).
    void release();
    bool isHeld() const;

    QString lockFilePath() const;
    QString serverPath() const;

signals:
    /// Another start asked for the running window.
    void activationRequested();

private:
    void readRequest();

    QString m_folder;
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace td
