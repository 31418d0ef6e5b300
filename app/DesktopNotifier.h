// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmMsgDlg.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>

class QDBusMessage;

namespace td {

/// What one alarm notification says to org.freedesktop.Notifications.
struct AlarmNotification
{
    QString appName;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions; ///< key, label, key, label
    QVariantMap hints;
    int expireMs = -1;
};

/// The notification for an alarm: its name as summary, its message as body
/// (escaped where the server reads markup), the program's icon and menu entry,
/// critical urgency, shown for `seconds`, with "Remind in 5 minutes" and "Edit".
AlarmNotification alarmNotification(const QString& name, const QString& message, int seconds,
                                    bool bodyMarkup);

/// Action keys of alarm notifications.
inline const QString remindAction = QStringLiteral("remind-5-minutes");
inline const QString editAction = QStringLiteral("edit");

/// Sends alarms to the desktop's notification service over D-Bus and carries
/// out the actions the user picks there, as the pop-up's menu would. An id
/// belongs to the server that gave it: when another takes the service over
/// (a restarted daemon), the ids are forgotten and their alarms count as closed.
class DesktopNotifier : public QObject
{
    Q_OBJECT
public:
    explicit DesktopNotifier(QObject* parent = nullptr);
    ~DesktopNotifier() override;

    /// Shows `alarm` in the notification area for `seconds`, with `body`
    /// (empty: the alarm's message). Without a notification service (or when
    /// it fails), runs `fallback` instead. Never waits for the service; the
    /// same alarm again replaces its notification.
    void notify(AlarmMsgDlg* alarm, int seconds, const std::function<void()>& fallback,
                const QString& body = {});
    /// Takes the alarm's notification away, e.g. once its pop-up was closed.
    void withdraw(AlarmMsgDlg* alarm);
    /// The alarm whose notification has this id; null when there is none.
    AlarmMsgDlg* alarmOf(uint id) const { return m_shown.value(id).alarm; }

signals:
    /// A notification went away: closed, expired or acted upon.
    void closed(td::AlarmMsgDlg* alarm);

private slots:
    // D-Bus signals can only be received through string-named slots; the
    // message tells who sent them.
    void onActionInvoked(uint id, const QString& action, const QDBusMessage& message);
    void onNotificationClosed(uint id, uint reason, const QDBusMessage& message);

private:
    /// A notification shown: its alarm and the server (unique bus name) that numbered it.
    struct Shown
    {
        QPointer<AlarmMsgDlg> alarm;
        QString server;
    };

    bool eventFilter(QObject* watched, QEvent* event) override;
    uint idOf(const AlarmMsgDlg* alarm) const;
    void closeNotification(uint id, const QString& server);
    /// Forgets the ids given by any server but `server`; their alarms are closed.
    void forgetAllBut(const QString& server);
    void watch(uint id, AlarmMsgDlg* alarm, const QString& server);

    QHash<uint, Shown> m_shown;
    bool m_connected = false;
    bool m_bodyMarkup = true; ///< until the server says otherwise
};

} // namespace td
