// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CalendarSync.h"

#include "alarms/AlarmModel.h"
#include "common/Clock.h"
#include "common/Prompts.h"
#include "storage/EventStore.h"
#include "storage/ICalendar.h"
#include "storage/SafeWrite.h"

#include <QFile>
#include <QLocale>
#include <QSettings>
#include <QTimer>
#include <QUuid>
#include <climits>
#include <qt6keychain/keychain.h>

namespace td {

namespace {

const char* const serverKey = "calendars/SyncServer";
const char* const userKey = "calendars/SyncUser";
const char* const calendarKey = "calendars/SyncCalendar";
/// The addresses and names of the calendars whose reminders ring here.
const char* const subscribedKey = "calendars/SyncSubscribed";
const char* const subscribedNamesKey = "calendars/SyncSubscribedNames";
/// A PEM file of certificate authorities to trust besides the system's.
const char* const authoritiesKey = "calendars/SyncCertificateAuthorities";
const QString keychainService = QStringLiteral("Tidra");
constexpr int pollMs = 60 * 1000;
constexpr int afterChangeMs = 5 * 1000;
constexpr int longestWaitMs = 30 * 60 * 1000;

/// Where the password of `user` at `server` is kept in the secret service.
QString keychainKey(const QString& server, const QString& user)
{
    return QStringLiteral("caldav:%1@%2").arg(user, QUrl(server).host());
}

QSettings settings()
{
    return QSettings(QStringLiteral("Morvane"), QStringLiteral("Tidra"));
}

/// The members read, as the plans take them. An event is held as an alarm when the mapping
/// takes it whole; from a read-only calendar, when it gives one alarm with a reminder.
QHash<QString, caldav::ServerEvent>
serverEvents(const QHash<QString, QPair<QByteArray, QByteArray>>& bodies,
             const QHash<QString, QByteArray>& listing, bool readOnly)
{
    QHash<QString, caldav::ServerEvent> events;
    for (auto it = bodies.begin(); it != bodies.end(); ++it) {
        const ical::AlarmImport in = ical::importAlarms(it->second, now(), {}, readOnly);
        caldav::ServerEvent e;
        e.etag = listing.value(it.key());
        e.holdable =
            in.error.isEmpty() && in.alarms.size() == 1 && (readOnly || in.leftOut.isEmpty());
        if (e.holdable)
            e.record = in.alarms.constFirst();
        events.insert(it.key(), e);
    }
    return events;
}

QList<caldav::Calendar> subscribedIn(const QSettings& s)
{
    const QStringList urls = s.value(QLatin1String(subscribedKey)).toStringList();
    const QStringList names = s.value(QLatin1String(subscribedNamesKey)).toStringList();
    QList<caldav::Calendar> out;
    for (int i = 0; i < urls.size(); ++i)
        out << caldav::Calendar{QUrl(urls.at(i)), names.value(i, urls.at(i))};
    return out;
}

} // namespace

CalendarSync::CalendarSync(AlarmModel& alarms, EventStore& store, QObject* parent)
    : QObject(parent), m_alarms(alarms), m_store(store), m_client(new caldav::Client(this)),
      m_poll(new QTimer(this)), m_soon(new QTimer(this))
{
    m_client->setTimeout(20 * 1000);
    m_poll->setSingleShot(true);
    m_soon->setSingleShot(true);
    m_soon->setInterval(afterChangeMs);
    connect(m_poll, &QTimer::timeout, this, &CalendarSync::run);
    connect(m_soon, &QTimer::timeout, this, &CalendarSync::run);
    connect(&m_alarms, &AlarmModel::changed, this, &CalendarSync::localChange);
}

QString CalendarSync::statePath()
{
    return EventStore::dataFolder() + QStringLiteral("/CalendarSync.json");
}

void CalendarSync::start()
{
    QSettings s = settings();
    m_account = {s.value(QLatin1String(serverKey)).toString(),
                 s.value(QLatin1String(userKey)).toString(),
                 s.value(QLatin1String(calendarKey)).toString(), subscribedIn(s)};
    const QString authorities = s.value(QLatin1String(authoritiesKey)).toString();
    if (!authorities.isEmpty())
        m_client->setExtraAuthorities(QSslCertificate::fromPath(authorities));
    QFile file(statePath());
    if (file.open(QIODevice::ReadOnly))
        caldav::State::fromJson(file.read(1024 * 1024 * 64), &m_state);
    if (m_state.calendar != m_account.calendar)
        m_state = caldav::State{m_account.calendar, {}, {}, {}, m_state.subscriptions};
    reconcileSubscriptions();
    if (configured())
        QTimer::singleShot(0, this, &CalendarSync::run);
}

void CalendarSync::setAccount(const Account& account, const QString& password, const Done& done)
{
    auto keep = [this, account, done] {
        QSettings s = settings();
        s.setValue(QLatin1String(serverKey), account.server);
        s.setValue(QLatin1String(userKey), account.user);
        s.setValue(QLatin1String(calendarKey), account.calendar);
        QStringList urls, names;
        for (const caldav::Calendar& c : account.subscribed) {
            urls << c.url.toString();
            names << c.name;
        }
        s.setValue(QLatin1String(subscribedKey), urls);
        s.setValue(QLatin1String(subscribedNamesKey), names);
        s.sync();
        if (s.status() != QSettings::NoError) {
            done(false, tr("The settings cannot be written."));
            return;
        }
        m_account = account;
        m_havePassword = false; // read back from where it is kept
        if (m_state.calendar != account.calendar) {
            m_state = caldav::State{account.calendar, {}, {}, {}, m_state.subscriptions};
            m_localDirty = true;
        }
        reconcileSubscriptions();
        QString ignored; // the next sync writes it again
        saveState(&ignored);
        m_failures = 0;
        m_error.clear();
        emit statusChanged();
        done(true, QString());
        if (configured())
            syncNow([](bool, const QString&) {});
    };
    if (password.isEmpty()) {
        keep();
        return;
    }
    auto* job = new QKeychain::WritePasswordJob(keychainService, this);
    job->setKey(keychainKey(account.server, account.user));
    job->setTextData(password);
    connect(job, &QKeychain::Job::finished, this, [keep, done](QKeychain::Job* j) {
        if (j->error() != QKeychain::NoError)
            done(false, tr("The password cannot be kept in the desktop's keyring: %1.")
                            .arg(j->errorString()));
        else
            keep();
    });
    job->start();
}

void CalendarSync::discover(
    const QString& server, const QString& user, const QString& password,
    const std::function<void(const QString&, const QList<caldav::Calendar>&)>& done)
{
    auto* client = new caldav::Client(this);
    client->setTimeout(20 * 1000);
    client->setAccount(user, password);
    client->discover(QUrl::fromUserInput(server),
                     [client, done](const QString& error, const QList<caldav::Calendar>& found) {
                         client->deleteLater();
                         done(error, found);
                     });
}

void CalendarSync::syncNow(const Done& done)
{
    if (m_running) {
        m_next << done;
        return;
    }
    m_waiting << done;
    run();
}

void CalendarSync::resumed()
{
    m_failures = 0;
    if (configured() && !m_running)
        m_soon->start();
}

void CalendarSync::reconcileSubscriptions()
{
    QList<caldav::Subscription> kept;
    for (const caldav::Calendar& c : std::as_const(m_account.subscribed)) {
        const QString url = c.url.toString();
        auto was = std::find_if(m_state.subscriptions.cbegin(), m_state.subscriptions.cend(),
                                [&](const caldav::Subscription& s) { return s.url == url; });
        kept << (was != m_state.subscriptions.cend() && was->name == c.name
                     ? *was
                     : caldav::Subscription{url, c.name, {}, {}, {}});
    }
    QSet<QString> names;
    for (const caldav::Subscription& s : std::as_const(kept))
        names << s.name;
    m_applying = true;
    QList<quint64> gone;
    for (const Alarm& a : m_alarms.alarms())
        if (!a.record.calendar.isEmpty() && !names.contains(a.record.calendar))
            gone << a.id;
    for (quint64 id : std::as_const(gone))
        m_alarms.remove(id);
    m_applying = false;
    m_state.subscriptions = kept;
}

void CalendarSync::localChange()
{
    // Changes the sync makes itself are none; while errors are waited out, the
    // next attempt takes changes along.
    if (m_applying)
        return;
    m_localDirty = true;
    if (!configured() || m_failures > 0)
        return;
    if (m_running)
        m_changedMeanwhile = true;
    else
        m_soon->start();
}

QString CalendarSync::status() const
{
    if (!configured())
        return tr("No calendar server is set up.");
    QString text =
        m_lastSync.isValid()
            ? tr("Last sync: %1.").arg(QLocale().toString(m_lastSync, QLocale::ShortFormat))
            : tr("Not synced yet.");
    if (!m_error.isEmpty())
        text += u' ' + tr("The last attempt failed: %1").arg(m_error);
    return text;
}

void CalendarSync::withPassword(const std::function<void()>& then)
{
    if (m_havePassword) {
        then();
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(keychainService, this);
    job->setKey(keychainKey(m_account.server, m_account.user));
    connect(job, &QKeychain::Job::finished, this, [this, then](QKeychain::Job* j) {
        if (j->error() == QKeychain::EntryNotFound) {
            finish(tr("No password is kept for %1; enter it under Settings, Sync.")
                       .arg(m_account.user));
        } else if (j->error() != QKeychain::NoError) {
            finish(tr("The password cannot be read from the desktop's keyring: %1.")
                       .arg(j->errorString()));
        } else {
            m_password = static_cast<QKeychain::ReadPasswordJob*>(j)->textData();
            m_havePassword = true;
            m_client->setAccount(m_account.user, m_password);
            then();
        }
    });
    job->start();
}

QHash<QString, AlarmRecord> CalendarSync::localAlarms()
{
    QHash<QString, AlarmRecord> local;
    m_applying = true;
    for (const Alarm& a : m_alarms.alarms()) {
        if (!a.record.calendar.isEmpty())
            continue; // a subscribed calendar's: read-only here
        AlarmRecord r = a.record;
        if (r.uid.isEmpty()) {
            r.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
            m_alarms.setUid(a.id, r.uid);
        }
        local.insert(r.uid, r);
    }
    m_applying = false;
    return local;
}

QUrl CalendarSync::urlOf(const QString& href) const
{
    return QUrl(m_account.calendar).resolved(QUrl(href));
}

void CalendarSync::run()
{
    if (m_running)
        return;
    m_soon->stop();
    m_poll->stop();
    if (!configured()) {
        finish(tr("No calendar server is set up."));
        return;
    }
    m_running = true;
    m_ownError.clear();
    m_subscriptionError.clear();
    withPassword([this] {
        if (m_account.calendar.isEmpty()) {
            ownDone(QString());
            return;
        }
        const bool dirty = std::exchange(m_localDirty, false);
        // When neither side changed, this one small request is all a sync costs:
        // the alarms are not even looked at.
        m_client->token(
            QUrl(m_account.calendar), [this, dirty](const QString& error, const QString& token) {
                if (!error.isEmpty()) {
                    ownDone(error);
                    return;
                }
                const bool sameThere = !token.isEmpty() && token == m_state.token;
                if (sameThere && !dirty) {
                    ownDone(QString());
                    return;
                }
                const QHash<QString, AlarmRecord> local = localAlarms();
                bool changedHere = local.size() != m_state.items.size();
                for (auto it = local.begin(); !changedHere && it != local.end(); ++it)
                    changedHere = m_state.items.value(it.key()).hash != caldav::seriesHash(*it);
                if (sameThere && !changedHere) {
                    ownDone(QString());
                    return;
                }
                listAndPlan(local, token);
            });
    });
}

void CalendarSync::listAndPlan(const QHash<QString, AlarmRecord>& local, const QString& token)
{
    const QUrl calendar(m_account.calendar);
    m_client->list(calendar, [this, local, token, calendar](
                                 const QString& error, const QHash<QString, QByteArray>& listing) {
        if (!error.isEmpty()) {
            ownDone(error);
            return;
        }
        m_client->fetch(calendar, caldav::hrefsToFetch(m_state, listing),
                        [this, local, token, listing,
                         calendar](const QString& error,
                                   const QHash<QString, QPair<QByteArray, QByteArray>>& bodies) {
                            if (!error.isEmpty()) {
                                ownDone(error);
                                return;
                            }
                            const auto fetched = serverEvents(bodies, listing, false);
                            QString path = calendar.path(QUrl::FullyEncoded);
                            if (!path.endsWith(u'/'))
                                path += u'/';
                            m_token = token;
                            apply(caldav::plan(local, m_state, listing, fetched, path), local);
                        });
    });
}

void CalendarSync::apply(caldav::Plan plan, const QHash<QString, AlarmRecord>& local)
{
    // The user may have changed an alarm while the server was asked: that
    // edit stands, and the next sync compares it again.
    auto untouched = [this, &local](const QString& uid, quint64* id) {
        for (const Alarm& a : m_alarms.alarms())
            if (a.record.uid == uid) {
                *id = a.id;
                return a.record == local.value(uid);
            }
        *id = 0;
        return false;
    };
    auto keepAsWas = [this, &plan](const QString& uid) {
        if (m_state.items.contains(uid))
            plan.next.items.insert(uid, m_state.items.value(uid));
        else
            plan.next.items.remove(uid);
    };
    m_applying = true;
    quint64 id = 0;
    for (AlarmRecord r : std::as_const(plan.localChanges)) {
        if (untouched(r.uid, &id)) {
            // No calendar carries these: they stay as this machine has them.
            r.sound = local.value(r.uid).sound;
            r.command = local.value(r.uid).command;
            m_alarms.replace(id, r);
        } else {
            keepAsWas(r.uid);
        }
    }
    for (const QString& uid : std::as_const(plan.localDeletes)) {
        if (untouched(uid, &id))
            m_alarms.remove(id);
        else
            keepAsWas(uid);
    }
    for (const AlarmRecord& r : std::as_const(plan.localAdds)) {
        untouched(r.uid, &id);
        if (!id && !m_alarms.add(r))
            plan.next.items.remove(r.uid);
    }
    m_applying = false;
    for (const QString& name : std::as_const(plan.conflicts))
        prompts::notice(tr("\"%1\" was changed here and in the calendar: both are kept, the "
                           "calendar's switched off as \"%2\".")
                            .arg(name, caldav::conflictName(name)));
    m_plan = plan;
    m_written = 0;
    m_writeError.clear();
    write(0);
}

void CalendarSync::write(int step)
{
    const int puts = int(m_plan.puts.size());
    if (step < puts) {
        const caldav::Put put = m_plan.puts.at(step);
        const QByteArray body = ical::exportAlarms({put.record}, now()).text;
        m_client->put(
            urlOf(put.href), put.ifMatch, body, [this, put, step](const caldav::Response& r) {
                if (r.error.isEmpty()) {
                    m_plan.next.items.insert(put.record.uid,
                                             {put.href, r.etag, caldav::seriesHash(put.record)});
                    ++m_written;
                } else if (m_writeError.isEmpty()) {
                    m_writeError = r.error;
                }
                // Without a server, the rest waits for the next sync.
                write(r.status == 0 && !r.error.isEmpty() ? INT_MAX : step + 1);
            });
        return;
    }
    if (step - puts < m_plan.deletes.size()) {
        const caldav::Delete del = m_plan.deletes.at(step - puts);
        m_client->remove(urlOf(del.href), del.ifMatch,
                         [this, del, step](const caldav::Response& r) {
                             if (r.error.isEmpty() || r.status == 404) {
                                 m_plan.next.items.remove(del.uid);
                                 ++m_written;
                             } else if (m_writeError.isEmpty()) {
                                 m_writeError = r.error;
                             }
                             write(r.status == 0 && !r.error.isEmpty() ? INT_MAX : step + 1);
                         });
        return;
    }
    const QList<caldav::Subscription> subscriptions = m_state.subscriptions;
    m_state = m_plan.next;
    m_state.subscriptions = subscriptions;
    // After our own writes the token is stale: the next sync lists the calendar.
    m_state.token = m_written ? QString() : m_token;
    QString error;
    if (!saveState(&error) && m_writeError.isEmpty())
        m_writeError = error;
    ownDone(m_writeError);
}

void CalendarSync::ownDone(const QString& error)
{
    m_ownError = error;
    m_subscriptionsChanged = false;
    syncSubscription(0);
}

void CalendarSync::syncSubscription(int index)
{
    if (index >= m_state.subscriptions.size()) {
        QString error;
        if (m_subscriptionsChanged && !saveState(&error) && m_subscriptionError.isEmpty())
            m_subscriptionError = error;
        finish(!m_ownError.isEmpty() ? m_ownError : m_subscriptionError);
        return;
    }
    const caldav::Subscription was = m_state.subscriptions.at(index);
    const QUrl url(was.url);
    // One calendar that fails does not keep the others from ringing.
    const auto failed = [this, index, name = was.name](const QString& error) {
        if (m_subscriptionError.isEmpty())
            m_subscriptionError = tr("Calendar \"%1\": %2").arg(name, error);
        syncSubscription(index + 1);
    };
    m_client->token(url, [=](const QString& error, const QString& token) {
        if (!error.isEmpty()) {
            failed(error);
            return;
        }
        if (!token.isEmpty() && token == was.token) {
            syncSubscription(index + 1);
            return;
        }
        m_client->list(url, [=](const QString& error, const QHash<QString, QByteArray>& listing) {
            if (!error.isEmpty()) {
                failed(error);
                return;
            }
            m_client->fetch(url, caldav::hrefsToFetch(was, listing),
                            [=](const QString& error,
                                const QHash<QString, QPair<QByteArray, QByteArray>>& bodies) {
                                if (!error.isEmpty()) {
                                    failed(error);
                                    return;
                                }
                                caldav::SubscriptionPlan plan =
                                    caldav::plan(was, listing, serverEvents(bodies, listing, true));
                                plan.next.token = token;
                                applySubscription(index, plan);
                                syncSubscription(index + 1);
                            });
        });
    });
}

void CalendarSync::applySubscription(int index, const caldav::SubscriptionPlan& plan)
{
    // The calendar's alarms by uid, gathered once rather than searched for each event.
    QHash<QString, quint64> ids;
    for (const Alarm& a : m_alarms.alarms())
        if (a.record.calendar == plan.next.name)
            ids.insert(a.record.uid, a.id);
    caldav::Subscription next = plan.next;
    m_applying = true;
    for (const AlarmRecord& r : plan.upserts) {
        if (const Alarm* a = m_alarms.find(ids.value(r.uid))) {
            if (a->record != r)
                m_alarms.replace(a->id, r);
        } else if (!m_alarms.add(r)) {
            // The list is full: read it again next time.
            for (auto it = next.uids.begin(); it != next.uids.end(); ++it)
                if (it.value() == r.uid)
                    next.etags.remove(it.key());
            next.token.clear();
        }
    }
    for (const QString& uid : plan.removes)
        m_alarms.remove(ids.value(uid));
    m_applying = false;
    m_state.subscriptions[index] = next;
    m_subscriptionsChanged = true;
}

bool CalendarSync::saveState(QString* error)
{
    // The alarms first: a state ahead of the alarms file would take a change
    // lost in a crash for one made here.
    if (m_store.savePending() && !m_store.commit(error)) {
        *error = tr("The synced alarms cannot be saved: %1. They are kept in memory and "
                    "synced again.")
                     .arg(*error);
        return false;
    }
    QString why;
    if (files::saveFile(statePath(), m_state.toJson(), &why))
        return true;
    *error = tr("What was synced cannot be written: %1").arg(why);
    return false;
}

void CalendarSync::finish(const QString& error)
{
    const bool wasRunning = m_running;
    m_running = false;
    m_error = error;
    if (configured()) {
        if (error.isEmpty()) {
            m_failures = 0;
            m_lastSync = now();
        } else if (wasRunning) {
            ++m_failures;
            m_localDirty = true; // what this attempt took along may not have gone out
        }
        if (error.isEmpty() && std::exchange(m_changedMeanwhile, false))
            m_soon->start();
        // Errors wait longer each time: a server that is down is not pressed.
        const qint64 wait =
            error.isEmpty()
                ? pollMs
                : qMin<qint64>(qint64(pollMs) << qBound(0, m_failures - 1, 6), longestWaitMs);
        m_poll->start(int(wait));
    } else {
        m_poll->stop();
        m_soon->stop();
    }
    emit statusChanged();
    const QList<Done> waiting = std::exchange(m_waiting, {});
    for (const Done& done : waiting)
        done(error.isEmpty(), error.isEmpty() ? status() : error);
    if (!m_next.isEmpty()) {
        m_waiting = std::exchange(m_next, {});
        run();
    }
}

} // namespace td
