// SPDX-License-Identifier: GPL-3.0-or-later
// Plays the desktop's side of a StatusNotifier tray on a private session bus:
// the item watcher with a registered host, and a notification server. Every
// registration and notification is appended to the log file given as argument,
// one line each, so a test script can wait for and read them.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QFile>
#include <QStringList>
#include <QTextStream>
#include <QVariantMap>

static QFile logFile;

static void logLine(const QString& line)
{
    QTextStream(&logFile) << line << '\n';
    logFile.flush();
}

static QString oneLine(QString s)
{
    return s.replace('\n', QLatin1String("\\n")).replace('\t', QLatin1String("\\t"));
}

class Watcher : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    QStringList registeredItems() const { return items; }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public slots:
    void RegisterStatusNotifierItem(const QString& serviceOrPath)
    {
        // An item names either its bus name (object at the usual path) or a path
        // on the caller's connection.
        QString service = serviceOrPath;
        QString path = QStringLiteral("/StatusNotifierItem");
        if (serviceOrPath.startsWith('/')) {
            service = message().service();
            path = serviceOrPath;
        }
        const QString entry = service + path;
        if (!items.contains(entry))
            items << entry;
        logLine(QStringLiteral("item\t%1\t%2").arg(service, path));
        emit StatusNotifierItemRegistered(entry);
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& item);
    void StatusNotifierItemUnregistered(const QString& item);
    void StatusNotifierHostRegistered();

private:
    QStringList items;
};

class Notifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout)
    {
        const uint id = replacesId ? replacesId : ++lastId;
        // Hints as "key=value" sorted by key; a byte (urgency) shows as its number.
        QStringList hintList;
        for (auto it = hints.cbegin(); it != hints.cend(); ++it)
            hintList << it.key() + '=' +
                            (it.value().typeId() == QMetaType::UChar
                                 ? QString::number(it.value().value<uchar>())
                                 : it.value().toString());
        logLine(QStringLiteral("notify\t%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8")
                    .arg(oneLine(appName), oneLine(summary), oneLine(body), oneLine(appIcon))
                    .arg(expireTimeout)
                    .arg(oneLine(actions.join('|')), oneLine(hintList.join(';')))
                    .arg(id));
        return id;
    }
    /// Not in the protocol: what a user's click on an action makes the server do.
    void Act(uint id, const QString& action)
    {
        emit ActionInvoked(id, action);
        emit NotificationClosed(id, 2);
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }
    void CloseNotification(uint id)
    {
        logLine(QStringLiteral("close\t%1").arg(id));
        emit NotificationClosed(id, 3);
    }

signals:
    void NotificationClosed(uint id, uint reason);
    void ActionInvoked(uint id, const QString& action);

private:
    uint lastId = 0;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: tidra_sni_host LOGFILE\n";
        return 2;
    }
    logFile.setFileName(QString::fromLocal8Bit(argv[1]));
    if (!logFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return 2;

    QDBusConnection bus = QDBusConnection::sessionBus();
    Watcher watcher;
    Notifications notifications;
    const auto all = QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                     QDBusConnection::ExportAllProperties;
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher, all) ||
        !bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &notifications,
                            all) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
        QTextStream(stderr) << "tidra_sni_host: " << bus.lastError().message() << '\n';
        return 1;
    }
    emit watcher.StatusNotifierHostRegistered();
    logLine(QStringLiteral("ready"));
    return app.exec();
}

#include "main.moc"
