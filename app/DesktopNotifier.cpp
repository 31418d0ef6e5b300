// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DesktopNotifier.h"

#include "alarms/AlarmMsgDlg.h"
#include "common/AppInfo.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#ifdef TIDRA_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#endif

namespace td {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");
const QString desktopId = QStringLiteral("org.morvane.Tidra");
/// A service that does not answer in this time counts as absent.
constexpr int callTimeoutMs = 5000;
constexpr uchar criticalUrgency = 2;

QString senderOf(const QDBusMessage& message)
{
#ifdef TIDRA_HAVE_DBUS
    return message.service();
#else
    Q_UNUSED(message)
    return QString();
#endif
}

} // namespace

AlarmNotification alarmNotification(const QString& name, const QString& message, int seconds,
                                    bool bodyMarkup)
{
    AlarmNotification n;
    n.appName = QString::fromLatin1(info::applicationName);
    n.appIcon = desktopId;
    n.summary = name;
    n.body = bodyMarkup ? message.toHtmlEscaped() : message;
    n.actions = {remindAction, QCoreApplication::translate("td", "Remind in 5 minutes"), editAction,
                 QCoreApplication::translate("td", "Edit")};
    n.hints = {{QStringLiteral("desktop-entry"), desktopId},
               {QStringLiteral("urgency"), QVariant::fromValue(criticalUrgency)}};
    n.expireMs = seconds > 0 ? seconds * 1000 : -1;
    return n;
}

DesktopNotifier::DesktopNotifier(QObject* parent) : QObject(parent)
{
#ifdef TIDRA_HAVE_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    m_connected = true;
    bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString, QDBusMessage)));
    bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                SLOT(onNotificationClosed(uint, uint, QDBusMessage)));
    // A new server numbers from scratch and knows nothing of the old one's notifications.
    auto* owner =
        new QDBusServiceWatcher(service, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owner, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                forgetAllBut(newOwner);
            });
    // Whether the body is read as markup, asked once without waiting for it.
    auto* watcher = new QDBusPendingCallWatcher(
        bus.asyncCall(QDBusMessage::createMethodCall(service, path, interface,
                                                     QStringLiteral("GetCapabilities")),
                      callTimeoutMs),
        this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<QStringList> reply = *call;
                if (!reply.isError())
                    m_bodyMarkup = reply.value().contains(QStringLiteral("body-markup"));
                call->deleteLater();
            });
#endif
}

DesktopNotifier::~DesktopNotifier() = default;

uint DesktopNotifier::idOf(const AlarmMsgDlg* alarm) const
{
    for (auto it = m_shown.cbegin(); it != m_shown.cend(); ++it)
        if (it->alarm == alarm)
            return it.key();
    return 0;
}

void DesktopNotifier::watch(uint id, AlarmMsgDlg* alarm, const QString& server)
{
    const Shown before = m_shown.value(id);
    if (before.alarm == alarm && before.server == server)
        return; // replaced; already watched
    m_shown.insert(id, {alarm, server});
    // The id was another alarm's: that notification went unheard (its server went).
    if (before.alarm && before.alarm != alarm)
        emit closed(before.alarm);
    alarm->installEventFilter(this);
    connect(alarm, &QObject::destroyed, this, [this](QObject* gone) {
        for (auto it = m_shown.begin(); it != m_shown.end();) {
            if (it->alarm && it->alarm.data() != gone) {
                ++it;
                continue;
            }
            closeNotification(it.key(), it->server);
            it = m_shown.erase(it);
        }
    });
}

void DesktopNotifier::forgetAllBut(const QString& server)
{
    QList<QPointer<AlarmMsgDlg>> gone;
    for (auto it = m_shown.begin(); it != m_shown.end();) {
        if (it->server == server) {
            ++it;
            continue;
        }
        gone << it->alarm;
        it = m_shown.erase(it);
    }
    for (const QPointer<AlarmMsgDlg>& alarm : std::as_const(gone))
        if (alarm)
            emit closed(alarm);
}

void DesktopNotifier::notify(AlarmMsgDlg* alarm, int seconds, const std::function<void()>& fallback,
                             const QString& body)
{
#ifdef TIDRA_HAVE_DBUS
    if (m_connected && alarm) {
        const AlarmRecord record = alarm->alarm();
        const AlarmNotification n = alarmNotification(
            record.name, body.isEmpty() ? record.message : body, seconds, m_bodyMarkup);
        QDBusMessage call =
            QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
        // The same alarm again replaces its notification instead of stacking a second.
        call << n.appName << idOf(alarm) << n.appIcon << n.summary << n.body << n.actions << n.hints
             << qint32(n.expireMs);
        auto* watcher = new QDBusPendingCallWatcher(
            QDBusConnection::sessionBus().asyncCall(call, callTimeoutMs), this);
        QPointer<AlarmMsgDlg> target = alarm;
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, target, fallback](QDBusPendingCallWatcher* reply) {
                    reply->deleteLater();
                    const QDBusPendingReply<uint> id = *reply;
                    if (id.isError()) {
                        if (fallback)
                            fallback();
                        return;
                    }
                    if (target)
                        watch(id.value(), target, id.reply().service());
                });
        return;
    }
#else
    Q_UNUSED(seconds)
    Q_UNUSED(body)
#endif
    Q_UNUSED(alarm)
    if (fallback)
        fallback();
}

void DesktopNotifier::withdraw(AlarmMsgDlg* alarm)
{
    const uint id = idOf(alarm);
    if (!id)
        return;
    closeNotification(id, m_shown.take(id).server);
    emit closed(alarm);
}

void DesktopNotifier::closeNotification(uint id, const QString& server)
{
#ifdef TIDRA_HAVE_DBUS
    // To the server that gave the id: another one's notification of that id is not ours.
    QDBusConnection::sessionBus().asyncCall(
        QDBusMessage::createMethodCall(server, path, interface, QStringLiteral("CloseNotification"))
        << id);
#else
    Q_UNUSED(id)
    Q_UNUSED(server)
#endif
}

bool DesktopNotifier::eventFilter(QObject* watched, QEvent* event)
{
    // The pop-up it mirrors was closed: the notification goes too.
    if (event->type() == QEvent::Hide)
        withdraw(static_cast<AlarmMsgDlg*>(watched));
    return false;
}

void DesktopNotifier::onActionInvoked(uint id, const QString& action, const QDBusMessage& message)
{
    const Shown shown = m_shown.value(id);
    AlarmMsgDlg* alarm = shown.alarm;
    if (!alarm || shown.server != senderOf(message))
        return;
    // What the pop-up's menu does, after this D-Bus delivery has returned.
    if (action == remindAction)
        QTimer::singleShot(0, alarm, &AlarmMsgDlg::addDelay5minByNotification);
    else if (action == editAction)
        QTimer::singleShot(0, alarm, &AlarmMsgDlg::editAlarm);
}

void DesktopNotifier::onNotificationClosed(uint id, uint, const QDBusMessage& message)
{
    if (m_shown.value(id).server != senderOf(message))
        return;
    const QPointer<AlarmMsgDlg> alarm = m_shown.take(id).alarm;
    if (alarm)
        emit closed(alarm);
}

} // namespace td
