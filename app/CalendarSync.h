// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "storage/CalDavClient.h"
#include "storage/CalDavSync.h"

#include <QDateTime>
#include <QObject>
#include <functional>

class QTimer;

namespace td {

class AlarmModel;
class EventStore;

/// The alarms kept in step with a calendar on a CalDAV server: at start, a
/// minute after each sync, a few seconds after a change here, on resume. The
/// password is in the desktop's secret service, the rest in the settings;
/// with no server set, nothing happens.
class CalendarSync : public QObject
{
    Q_OBJECT
public:
    struct Account
    {
        QString server; ///< the address the user gave
        QString user;
        QString calendar;                   ///< the chosen calendar's address; empty: no sync
        QList<caldav::Calendar> subscribed; ///< calendars whose reminders ring here, read-only
    };
    using Done = std::function<void(bool ok, const QString& report)>;

    CalendarSync(AlarmModel& alarms, EventStore& store, QObject* parent = nullptr);

    Account account() const { return m_account; }
    bool configured() const
    {
        return !m_account.calendar.isEmpty() || !m_account.subscribed.isEmpty();
    }
    /// Reads the settings and what the last sync left, then syncs.
    void start();
    /// Keeps the account (the password in the secret service; an empty one
    /// keeps the stored one) and syncs; `done` hears whether it was kept.
    void setAccount(const Account& account, const QString& password, const Done& done);
    /// The calendars of the account at `server`, for the user to choose from.
    void
    discover(const QString& server, const QString& user, const QString& password,
             const std::function<void(const QString& error, const QList<caldav::Calendar>&)>& done);
    /// Syncs now (after the one running, if any) and tells how it went.
    void syncNow(const Done& done);
    /// The last sync and any error, in words.
    QString status() const;

    /// Where what the last sync left is kept.
    static QString statePath();

public slots:
    /// The machine woke up: the network may be back, the other side changed.
    void resumed();

signals:
    void statusChanged();

private:
    void run();
    void withPassword(const std::function<void()>& then);
    void listAndPlan(const QHash<QString, AlarmRecord>& local, const QString& token);
    void apply(caldav::Plan plan, const QHash<QString, AlarmRecord>& local);
    void write(int step);
    void ownDone(const QString& error);
    void syncSubscription(int index);
    void applySubscription(int index, const caldav::SubscriptionPlan& plan);
    /// The state's subscriptions as the account has them; alarms of dropped ones go.
    void reconcileSubscriptions();
    void finish(const QString& error);
    bool saveState(QString* error);
    QHash<QString, AlarmRecord> localAlarms();
    void localChange();
    QUrl urlOf(const QString& href) const;

    AlarmModel& m_alarms;
    EventStore& m_store;
    caldav::Client* m_client;
    Account m_account;
    QString m_password;
    bool m_havePassword = false;
    caldav::State m_state;
    QTimer* m_poll;
    QTimer* m_soon;
    bool m_running = false;
    bool m_applying = false;
    bool m_changedMeanwhile = false; ///< the alarms changed during a sync
    bool m_localDirty = true;        ///< the alarms may differ from what was last synced
    QList<Done> m_waiting;           ///< for the sync running now
    QList<Done> m_next;              ///< for the one after it
    int m_failures = 0;
    QDateTime m_lastSync;
    QString m_error;
    // The sync under way.
    caldav::Plan m_plan;
    QString m_token;
    QString m_writeError;
    int m_written = 0;
    QString m_ownError;
    QString m_subscriptionError;
    bool m_subscriptionsChanged = false;
};

} // namespace td
