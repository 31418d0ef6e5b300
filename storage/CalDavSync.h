// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

/// Two-way sync of the alarms with one CalDAV calendar (RFC 4791), decided
/// without any network: what the server and the alarms hold goes in, a plan
/// of requests and local changes comes out.
namespace td::caldav {

/// An alarm as it was when it last matched the server.
struct Synced
{
    QString href;
    QByteArray etag;
    QByteArray hash; ///< seriesHash() of the record then
    bool operator==(const Synced& o) const
    {
        return href == o.href && etag == o.etag && hash == o.hash;
    }
};

/// A calendar whose events' reminders ring here as alarms, read-only.
struct Subscription
{
    QString url;
    QString name; ///< its alarms carry it as their calendar
    QString token;
    QHash<QString, QByteArray> etags; ///< href -> etag of every member as last read
    QHash<QString, QString> uids;     ///< href -> uid of the alarm it gave, if any
    bool operator==(const Subscription& o) const
    {
        return url == o.url && name == o.name && token == o.token && etags == o.etags &&
               uids == o.uids;
    }
};

/// What the last sync left: kept on disk, so changes made while Tidra was not
/// syncing (or not running) are found by comparing with it.
struct State
{
    QString calendar;                   ///< the collection this state is of
    QString token;                      ///< the collection's sync-token or ctag then
    QHash<QString, Synced> items;       ///< by uid
    QHash<QString, QByteArray> foreign; ///< href -> etag of events Tidra cannot hold
    QList<Subscription> subscriptions;

    QByteArray toJson() const;
    /// False (and `state` untouched) when `json` is not such a state.
    static bool fromJson(const QByteArray& json, State* state);
};

/// The same for two records that stand for the same alarm in a calendar: a
/// repeating alarm moved on by its ringing keeps its hash, so ringing on two
/// machines is no change to send. The sound and the command are not in it.
QByteArray seriesHash(const AlarmRecord& record);

/// An event of the server, read from its body.
struct ServerEvent
{
    QByteArray etag;
    bool holdable = false; ///< an alarm Tidra can hold exactly
    AlarmRecord record;
};

/// The server's members that must be read: new ones and those whose etag is
/// not the one last seen.
QStringList hrefsToFetch(const State& state, const QHash<QString, QByteArray>& listing);

struct Put
{
    QString href;
    QByteArray ifMatch; ///< empty: a new resource (If-None-Match: *)
    AlarmRecord record;
};

struct Delete
{
    QString uid;
    QString href;
    QByteArray ifMatch;
};

struct Plan
{
    QList<Put> puts;
    QList<Delete> deletes;
    QList<AlarmRecord> localAdds; ///< conflict copies among them
    QList<AlarmRecord> localChanges;
    QStringList localDeletes; ///< uids
    QStringList conflicts;    ///< names of the alarms kept twice
    /// What is known once the local changes are made; the requests update it.
    State next;
};

/// The plan for `local` (by uid, every alarm with a uid), the state of the
/// last sync, the server's `listing` (href -> etag) and the `fetched` bodies
/// (by href). `collection` is the calendar's path, ending in "/", where new
/// events go.
Plan plan(const QHash<QString, AlarmRecord>& local, const State& state,
          const QHash<QString, QByteArray>& listing, const QHash<QString, ServerEvent>& fetched,
          const QString& collection);

/// The members of a subscribed calendar that must be read.
QStringList hrefsToFetch(const Subscription& was, const QHash<QString, QByteArray>& listing);

/// The alarms a subscribed calendar gives and takes back.
struct SubscriptionPlan
{
    QList<AlarmRecord> upserts; ///< by uid among the calendar's alarms; labelled with it
    QStringList removes;        ///< uids
    Subscription next;
};

/// What the calendar's `listing` (href -> etag) and its `fetched` members mean
/// for the alarms it gave when it was `was`.
SubscriptionPlan plan(const Subscription& was, const QHash<QString, QByteArray>& listing,
                      const QHash<QString, ServerEvent>& fetched);

/// The name of the copy kept of the server's side of a conflict.
QString conflictName(const QString& name);

/// Why a request failed, as the network layer saw it.
enum class Failure {
    None,
    HostNotFound,
    Refused,
    Timeout,
    Certificate,
    TooLarge,
    Redirects,
    NotCalendar, ///< an answer, but not a calendar server's
    Other
};

/// A failed request in the user's words; empty when it did not fail.
QString describe(int httpStatus, Failure failure, const QString& detail = QString());

/// One <response> of a WebDAV multistatus.
struct DavResponse
{
    QString href;
    int status = 0;                ///< of the response, or of its propstat that was found
    QHash<QString, QString> props; ///< by local name; an href inside a property is its value
};

struct MultiStatus
{
    QString error; ///< set when the answer is not a multistatus
    QList<DavResponse> responses;
};

/// Reads a 207 Multi-Status body. Properties of a propstat that is not 200
/// are left out; resourcetype and supported-calendar-component-set give the
/// names inside them, separated by blanks.
MultiStatus parseMultiStatus(const QByteArray& xml);

/// The path of a member of `collection` for a new event.
QString hrefFor(const QString& collection, const QString& uid);

} // namespace td::caldav
