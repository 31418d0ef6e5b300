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
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                SLOT(onNotificationClosed(uint, uint)));
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
    for (auto it = m_alarms.cbegin(); it != m_alarms.cend(); ++it)
        if (it.value() == alarm)
            return it.key();
    return 0;
}

void DesktopNotifier::notify(AlarmMsgDlg* alarm, int seconds, const std::function<void()>& fallback)
{
#ifdef TIDRA_HAVE_DBUS
    if (m_connected && alarm) {
        const AlarmRecord record = alarm->alarm();
        const AlarmNotification n =
            alarmNotification(record.name, record.message, seconds, m_bodyMarkup);
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
                    if (!target)
                        return;
                    const uint key = id.value();
                    if (m_alarms.contains(key))
                        return; // replaced; already watched
                    m_alarms.insert(key, target);
                    target->installEventFilter(this);
                    connect(target, &QObject::destroyed, this, [this, key]() {
                        if (m_alarms.remove(key))
                            closeNotification(key);
                    });
                });
        return;
    }
#else
    Q_UNUSED(seconds)
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
    m_alarms.remove(id);
    closeNotification(id);
    emit closed(alarm);
}

void DesktopNotifier::closeNotification(uint id)
{
#ifdef TIDRA_HAVE_DBUS
    QDBusConnection::sessionBus().asyncCall(
        QDBusMessage::createMethodCall(service, path, interface,
                                       QStringLiteral("CloseNotification"))
        << id);
#else
    Q_UNUSED(id)
#endif
}

bool DesktopNotifier::eventFilter(QObject* watched, QEvent* event)
{
    // The pop-up it mirrors was closed: the notification goes too.
    if (event->type() == QEvent::Hide)
        withdraw(static_cast<AlarmMsgDlg*>(watched));
    return false;
}

void DesktopNotifier::onActionInvoked(uint id, const QString& action)
{
    AlarmMsgDlg* alarm = alarmOf(id);
    if (!alarm)
        return;
    // What the pop-up's menu does, after this D-Bus delivery has returned.
    if (action == remindAction)
        QTimer::singleShot(0, alarm, &AlarmMsgDlg::addDelay5minByNotification);
    else if (action == editAction)
        QTimer::singleShot(0, alarm, &AlarmMsgDlg::editAlarm);
}

void DesktopNotifier::onNotificationClosed(uint id, uint)
{
    const QPointer<AlarmMsgDlg> alarm = m_alarms.take(id);
    if (alarm)
        emit closed(alarm);
}

} // namespace td
