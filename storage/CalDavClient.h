// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "storage/CalDavSync.h"

#include <QObject>
#include <QSslCertificate>
#include <QUrl>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace td::caldav {

/// One calendar of the user's, as discovery found it.
struct Calendar
{
    QUrl url;
    QString name;
};

/// What a request came back with: the error is in the user's words and empty
/// when the request did what was asked.
struct Response
{
    int status = 0;
    QByteArray body;
    QByteArray etag;
    QString error;
};

/// The requests of a CalDAV sync, each asynchronous, bounded in time and in
/// the size of what it reads.
class Client : public QObject
{
    Q_OBJECT
public:
    /// The largest answer read; more is refused as an error.
    static constexpr qint64 maxResponseBytes = 16 * 1024 * 1024;

    explicit Client(QObject* parent = nullptr);

    void setAccount(const QString& user, const QString& password);
    /// Certificate authorities trusted besides the system's (a server with its own CA).
    void setExtraAuthorities(const QList<QSslCertificate>& authorities)
    {
        m_authorities = authorities;
    }
    /// Milliseconds a request may wait for the server before it fails.
    void setTimeout(int msecs) { m_timeoutMs = msecs; }
    /// Requests that have not finished.
    int pending() const { return m_pending; }

    using Done = std::function<void(const Response&)>;
    void propfind(const QUrl& url, int depth, const QByteArray& props, const Done& done);
    void report(const QUrl& url, int depth, const QByteArray& body, const Done& done);
    /// `ifMatch` empty: the event must be new (If-None-Match: *).
    void put(const QUrl& url, const QByteArray& ifMatch, const QByteArray& body, const Done& done);
    void remove(const QUrl& url, const QByteArray& ifMatch, const Done& done);

    /// The user's calendars that hold events, from the server's address:
    /// current-user-principal, then calendar-home-set, then its calendars.
    void discover(const QUrl& server,
                  const std::function<void(const QString& error, const QList<Calendar>&)>& done);
    /// The members of `calendar` with their etags (href -> etag).
    void
    list(const QUrl& calendar,
         const std::function<void(const QString& error, const QHash<QString, QByteArray>&)>& done);
    /// The collection's sync-token (or ctag): one small request.
    void token(const QUrl& calendar,
               const std::function<void(const QString& error, const QString& token)>& done);
    /// The bodies of `hrefs`, read in batches (href -> etag and body).
    void
    fetch(const QUrl& calendar, const QStringList& hrefs,
          const std::function<void(const QString& error,
                                   const QHash<QString, QPair<QByteArray, QByteArray>>&)>& done);

private:
    void send(const QByteArray& method, const QUrl& url,
              const QList<QPair<QByteArray, QByteArray>>& headers, const QByteArray& body,
              const Done& done);
    void finished(QNetworkReply* reply, const Done& done);

    QNetworkAccessManager* m_network;
    QList<QSslCertificate> m_authorities;
    int m_timeoutMs = 30000;
    int m_pending = 0;
};

} // namespace td::caldav
