// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/CalDavClient.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>

namespace td::caldav {

namespace {

const char* const tooLargeProperty = "tidraTooLarge";
/// Members read per calendar-multiget: a few hundred keep each answer small.
constexpr int fetchBatch = 200;

QByteArray propfindBody(const QByteArray& props)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\" "
           "xmlns:cs=\"http://calendarserver.org/ns/\"><d:prop>" +
           props + "</d:prop></d:propfind>";
}

Failure failureOf(QNetworkReply::NetworkError e)
{
    switch (e) {
    case QNetworkReply::HostNotFoundError:
        return Failure::HostNotFound;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
        return Failure::Refused;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return Failure::Timeout;
    case QNetworkReply::SslHandshakeFailedError:
        return Failure::Certificate;
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
        return Failure::Redirects;
    default:
        return Failure::Other;
    }
}

/// A server's href as a path, whatever form it came in.
QString pathOf(const QUrl& base, const QString& href)
{
    return base.resolved(QUrl(href)).path(QUrl::FullyEncoded);
}

/// The answer of a multistatus request, or why there is none.
MultiStatus readMultiStatus(const Response& r)
{
    if (!r.error.isEmpty())
        return MultiStatus{r.error, {}};
    if (r.status != 207)
        return MultiStatus{describe(0, Failure::NotCalendar), {}};
    return parseMultiStatus(r.body);
}

} // namespace

Client::Client(QObject* parent) : QObject(parent), m_network(nullptr)
{
    setAccount(QString(), QString());
}

void Client::setAccount(const QString& user, const QString& password)
{
    // A new manager forgets the credentials the old one cached.
    if (m_network)
        m_network->deleteLater();
    m_network = new QNetworkAccessManager(this);
    connect(m_network, &QNetworkAccessManager::authenticationRequired, this,
            [user, password](QNetworkReply* reply, QAuthenticator* auth) {
                // Asked again: the credentials were refused, and the 401 stands.
                if (reply->property("tidraAsked").toBool())
                    return;
                reply->setProperty("tidraAsked", true);
                auth->setUser(user);
                auth->setPassword(password);
            });
}

void Client::send(const QByteArray& method, const QUrl& url,
                  const QList<QPair<QByteArray, QByteArray>>& headers, const QByteArray& body,
                  const Done& done)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(m_timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    if (!m_authorities.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(m_authorities);
        request.setSslConfiguration(tls);
    }
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    QNetworkReply* reply = m_network->sendCustomRequest(request, method, body);
    ++m_pending;
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64 total) {
        if (received > maxResponseBytes || total > maxResponseBytes) {
            reply->setProperty(tooLargeProperty, true);
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, done] { finished(reply, done); });
}

void Client::finished(QNetworkReply* reply, const Done& done)
{
    reply->deleteLater();
    --m_pending;
    Response r;
    r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    r.etag = reply->rawHeader("ETag");
    const QNetworkReply::NetworkError e = reply->error();
    if (reply->property(tooLargeProperty).toBool()) {
        r.error = describe(0, Failure::TooLarge);
    } else if (e != QNetworkReply::NoError && e < QNetworkReply::ProxyConnectionRefusedError) {
        // The connection failed (a redirect loop too, whatever the last status).
        r.error = describe(0, failureOf(e), reply->errorString());
    } else if (r.status >= 300 || (r.status == 0 && e != QNetworkReply::NoError)) {
        r.error = describe(r.status, Failure::None, reply->errorString());
    } else {
        r.body = reply->read(maxResponseBytes + 1);
        if (r.body.size() > maxResponseBytes)
            r.error = describe(0, Failure::TooLarge);
    }
    done(r);
}

void Client::propfind(const QUrl& url, int depth, const QByteArray& props, const Done& done)
{
    send("PROPFIND", url,
         {{"Depth", QByteArray::number(depth)}, {"Content-Type", "application/xml; charset=utf-8"}},
         propfindBody(props), done);
}

void Client::report(const QUrl& url, int depth, const QByteArray& body, const Done& done)
{
    send("REPORT", url,
         {{"Depth", QByteArray::number(depth)}, {"Content-Type", "application/xml; charset=utf-8"}},
         body, done);
}

void Client::put(const QUrl& url, const QByteArray& ifMatch, const QByteArray& body,
                 const Done& done)
{
    QList<QPair<QByteArray, QByteArray>> headers{{"Content-Type", "text/calendar; charset=utf-8"}};
    headers << (ifMatch.isEmpty() ? qMakePair(QByteArray("If-None-Match"), QByteArray("*"))
                                  : qMakePair(QByteArray("If-Match"), ifMatch));
    send("PUT", url, headers, body, done);
}

void Client::remove(const QUrl& url, const QByteArray& ifMatch, const Done& done)
{
    send("DELETE", url, {{"If-Match", ifMatch}}, QByteArray(), done);
}

void Client::discover(const QUrl& server,
                      const std::function<void(const QString&, const QList<Calendar>&)>& done)
{
    if (!server.isValid() ||
        (server.scheme() != QLatin1String("http") && server.scheme() != QLatin1String("https"))) {
        done(tr("The server's address must begin with https:// (or http://)."), {});
        return;
    }
    auto calendars = [this, done](const QUrl& home) {
        propfind(home, 1, "<d:resourcetype/><d:displayname/><c:supported-calendar-component-set/>",
                 [home, done](const Response& r) {
                     const MultiStatus m = readMultiStatus(r);
                     QList<Calendar> found;
                     for (const DavResponse& d : m.responses) {
                         const QStringList types = d.props.value("resourcetype").split(u' ');
                         const QString comps = d.props.value("supported-calendar-component-set");
                         if (!types.contains(QLatin1String("calendar")) ||
                             !(comps.isEmpty() || comps.split(u' ').contains("VEVENT")))
                             continue;
                         const QUrl url = home.resolved(QUrl(d.href));
                         const QString name = d.props.value("displayname");
                         found << Calendar{url, name.isEmpty() ? url.path() : name};
                     }
                     done(m.error, found);
                 });
    };
    auto home = [this, done, calendars](const QUrl& principal) {
        propfind(principal, 0, "<c:calendar-home-set/>",
                 [principal, done, calendars](const Response& r) {
                     const MultiStatus m = readMultiStatus(r);
                     const QString href = m.responses.isEmpty()
                                              ? QString()
                                              : m.responses[0].props.value("calendar-home-set");
                     if (!m.error.isEmpty() || href.isEmpty())
                         done(m.error.isEmpty() ? describe(404, Failure::None) : m.error, {});
                     else
                         calendars(principal.resolved(QUrl(href)));
                 });
    };
    propfind(server, 0, "<d:current-user-principal/><d:resourcetype/><d:displayname/>",
             [server, done, home](const Response& r) {
                 const MultiStatus m = readMultiStatus(r);
                 if (!m.error.isEmpty() || m.responses.isEmpty()) {
                     done(m.error.isEmpty() ? describe(404, Failure::None) : m.error, {});
                     return;
                 }
                 const DavResponse& d = m.responses[0];
                 // The address of a calendar itself is a choice of one.
                 if (d.props.value("resourcetype").split(u' ').contains("calendar")) {
                     const QString name = d.props.value("displayname");
                     done(QString(), {Calendar{server, name.isEmpty() ? server.path() : name}});
                     return;
                 }
                 const QString principal = d.props.value("current-user-principal");
                 home(principal.isEmpty() ? server : server.resolved(QUrl(principal)));
             });
}

void Client::list(
    const QUrl& calendar,
    const std::function<void(const QString&, const QHash<QString, QByteArray>&)>& done)
{
    propfind(calendar, 1, "<d:getetag/><d:resourcetype/>", [calendar, done](const Response& r) {
        const MultiStatus m = readMultiStatus(r);
        QHash<QString, QByteArray> members;
        const QString self = calendar.path(QUrl::FullyEncoded);
        for (const DavResponse& d : m.responses) {
            const QString path = pathOf(calendar, d.href);
            if (d.status != 200 || path == self ||
                d.props.value("resourcetype").contains(QLatin1String("collection")))
                continue;
            members.insert(path, d.props.value("getetag").toUtf8());
        }
        done(m.error, members);
    });
}

void Client::token(const QUrl& calendar,
                   const std::function<void(const QString&, const QString&)>& done)
{
    propfind(calendar, 0, "<d:sync-token/><cs:getctag/>", [done](const Response& r) {
        const MultiStatus m = readMultiStatus(r);
        QString token;
        if (!m.responses.isEmpty()) {
            token = m.responses[0].props.value("sync-token");
            if (token.isEmpty())
                token = m.responses[0].props.value("getctag");
        }
        done(m.error, token);
    });
}

void Client::fetch(
    const QUrl& calendar, const QStringList& hrefs,
    const std::function<void(const QString&, const QHash<QString, QPair<QByteArray, QByteArray>>&)>&
        done)
{
    auto bodies = std::make_shared<QHash<QString, QPair<QByteArray, QByteArray>>>();
    auto next = std::make_shared<std::function<void(int)>>();
    // Each pending batch holds the step that reads the next one.
    *next = [this, calendar, hrefs, done, bodies, self = std::weak_ptr(next)](int from) {
        if (from >= hrefs.size()) {
            done(QString(), *bodies);
            return;
        }
        QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                          "<c:calendar-multiget xmlns:d=\"DAV:\" "
                          "xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
                          "<d:prop><d:getetag/><c:calendar-data/></d:prop>";
        for (const QString& href : hrefs.mid(from, fetchBatch))
            body += "<d:href>" + href.toHtmlEscaped().toUtf8() + "</d:href>";
        body += "</c:calendar-multiget>";
        report(calendar, 1, body,
               [calendar, done, bodies, next = self.lock(), from](const Response& r) {
                   const MultiStatus m = readMultiStatus(r);
                   if (!m.error.isEmpty()) {
                       done(m.error, {});
                       return;
                   }
                   for (const DavResponse& d : m.responses)
                       if (d.status == 200)
                           bodies->insert(pathOf(calendar, d.href),
                                          {d.props.value("getetag").toUtf8(),
                                           d.props.value("calendar-data").toUtf8()});
                   (*next)(from + fetchBatch);
               });
    };
    (*next)(0);
}

} // namespace td::caldav
