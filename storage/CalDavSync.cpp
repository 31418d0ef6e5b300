// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/CalDavSync.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QUrl>
#include <QUuid>
#include <QXmlStreamReader>

namespace td::caldav {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("td::caldav", text);
}

qint64 positiveMod(qint64 a, qint64 b)
{
    return b <= 0 ? a : ((a % b) + b) % b;
}

/// Where a repeating alarm stands in its cycle, without the base it last
/// moved to: the same for every occurrence of one series.
QString phaseOf(const AlarmRecord& r)
{
    if (!isSound(r) || r.repeatMode == RepeatOnce)
        return r.date.toString(Qt::ISODate) + u' ' + r.time.toString(Qt::ISODate);
    const QString time = r.time.toString(Qt::ISODate);
    if (r.repeatMode == RepeatDayOfWeek)
        return time;
    const qint64 n = r.repeatRange;
    switch (r.repeatMeasure) {
    case Minutes:
    case Hours: {
        const qint64 step = n * (r.repeatMeasure == Minutes ? 60 : 3600) * 1000;
        return QString::number(positiveMod(alarmMoment(r).toMSecsSinceEpoch(), step));
    }
    case Days:
        return time + u' ' + QString::number(positiveMod(r.date.toJulianDay(), n));
    case Weeks:
        return time + u' ' + QString::number(positiveMod(r.date.toJulianDay(), 7 * n));
    case Months:
        return time + u' ' + QString::number(r.date.day()) + u' ' +
               QString::number(positiveMod(r.date.year() * 12 + r.date.month() - 1, n));
    default:
        return time + r.date.toString(QStringLiteral(" MM-dd ")) +
               QString::number(positiveMod(r.date.year(), n));
    }
}

QString textOf(const QString& s)
{
    return s;
}

QString textOf(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes);
}

void fromText(const QString& text, QString* value)
{
    *value = text;
}

void fromText(const QString& text, QByteArray* value)
{
    *value = text.toUtf8();
}

template <typename Value> QJsonObject toJson(const QHash<QString, Value>& map)
{
    QJsonObject o;
    for (auto it = map.begin(); it != map.end(); ++it)
        o.insert(it.key(), textOf(it.value()));
    return o;
}

template <typename Value> QHash<QString, Value> fromJson(const QJsonValue& value)
{
    QHash<QString, Value> map;
    const QJsonObject o = value.toObject();
    for (auto it = o.begin(); it != o.end(); ++it)
        fromText(it->toString(), &map[it.key()]);
    return map;
}

QStringList toFetch(const QHash<QString, QByteArray>& known,
                    const QHash<QString, QByteArray>& listing)
{
    QStringList hrefs;
    for (auto it = listing.begin(); it != listing.end(); ++it) {
        const auto k = known.constFind(it.key());
        if (k == known.cend() || k.value() != it.value() || it.value().isEmpty())
            hrefs << it.key();
    }
    hrefs.sort();
    return hrefs;
}

} // namespace

QByteArray seriesHash(const AlarmRecord& r)
{
    // Only what a calendar carries: the sound and the command stay on each
    // machine, and fields a mode does not use are left out.
    QString days;
    if (r.repeatMode == RepeatDayOfWeek)
        for (bool d : r.days)
            days += d ? u'1' : u'0';
    const bool every = r.repeatMode == RepeatEvery;
    const QStringList parts{r.enabled ? QStringLiteral("1") : QStringLiteral("0"),
                            r.name,
                            phaseOf(r),
                            QString::number(r.repeatMode),
                            days,
                            QString::number(every ? r.repeatRange : 0),
                            QString::number(every ? r.repeatMeasure : 0),
                            r.message,
                            r.uid};
    return QCryptographicHash::hash(parts.join(QChar(0x1f)).toUtf8(), QCryptographicHash::Sha1)
        .toHex()
        .left(20);
}

QByteArray State::toJson() const
{
    QJsonObject items;
    for (auto it = this->items.begin(); it != this->items.end(); ++it)
        items.insert(it.key(), QJsonObject{{QStringLiteral("href"), it->href},
                                           {QStringLiteral("etag"), QString::fromUtf8(it->etag)},
                                           {QStringLiteral("hash"), QString::fromUtf8(it->hash)}});
    QJsonArray subscribed;
    for (const Subscription& sub : subscriptions)
        subscribed.append(QJsonObject{{QStringLiteral("url"), sub.url},
                                      {QStringLiteral("name"), sub.name},
                                      {QStringLiteral("token"), sub.token},
                                      {QStringLiteral("etags"), caldav::toJson(sub.etags)},
                                      {QStringLiteral("uids"), caldav::toJson(sub.uids)}});
    const QJsonObject o{{QStringLiteral("calendar"), calendar},
                        {QStringLiteral("token"), token},
                        {QStringLiteral("items"), items},
                        {QStringLiteral("foreign"), caldav::toJson(foreign)},
                        {QStringLiteral("subscriptions"), subscribed}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

bool State::fromJson(const QByteArray& json, State* state)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject o = doc.object();
    State s;
    s.calendar = o.value(QLatin1String("calendar")).toString();
    s.token = o.value(QLatin1String("token")).toString();
    const QJsonObject items = o.value(QLatin1String("items")).toObject();
    for (auto it = items.begin(); it != items.end(); ++it) {
        const QJsonObject i = it->toObject();
        s.items.insert(it.key(), {i.value(QLatin1String("href")).toString(),
                                  i.value(QLatin1String("etag")).toString().toUtf8(),
                                  i.value(QLatin1String("hash")).toString().toUtf8()});
    }
    s.foreign = caldav::fromJson<QByteArray>(o.value(QLatin1String("foreign")));
    for (const QJsonValue& v : o.value(QLatin1String("subscriptions")).toArray()) {
        const QJsonObject sub = v.toObject();
        s.subscriptions << Subscription{
            sub.value(QLatin1String("url")).toString(), sub.value(QLatin1String("name")).toString(),
            sub.value(QLatin1String("token")).toString(),
            caldav::fromJson<QByteArray>(sub.value(QLatin1String("etags"))),
            caldav::fromJson<QString>(sub.value(QLatin1String("uids")))};
    }
    *state = s;
    return true;
}

QStringList hrefsToFetch(const State& state, const QHash<QString, QByteArray>& listing)
{
    QHash<QString, QByteArray> known = state.foreign;
    for (const Synced& s : state.items)
        known.insert(s.href, s.etag);
    return toFetch(known, listing);
}

QStringList hrefsToFetch(const Subscription& was, const QHash<QString, QByteArray>& listing)
{
    return toFetch(was.etags, listing);
}

SubscriptionPlan plan(const Subscription& was, const QHash<QString, QByteArray>& listing,
                      const QHash<QString, ServerEvent>& fetched)
{
    SubscriptionPlan out;
    out.next = Subscription{was.url, was.name, was.token, {}, {}};
    QSet<QString> given;
    QStringList read;
    for (auto it = listing.begin(); it != listing.end(); ++it) {
        const QString& href = it.key();
        if (fetched.contains(href)) {
            read << href;
            continue;
        }
        // Unchanged, or not read this time: it stands as it was.
        if (!was.etags.contains(href))
            continue;
        out.next.etags.insert(href, was.etags.value(href));
        if (was.uids.contains(href)) {
            out.next.uids.insert(href, was.uids.value(href));
            given << was.uids.value(href);
        }
    }
    // One alarm per uid: an unchanged member keeps it, else the first by address.
    read.sort();
    for (const QString& href : std::as_const(read)) {
        const ServerEvent e = fetched.value(href);
        out.next.etags.insert(href, listing.value(href));
        if (!e.holdable || given.contains(e.record.uid))
            continue;
        AlarmRecord r = e.record;
        r.calendar = was.name;
        r.sound.clear();
        r.command.clear();
        out.upserts << r;
        out.next.uids.insert(href, r.uid);
        given << r.uid;
    }
    for (const QString& uid : was.uids)
        if (!given.contains(uid) && !out.removes.contains(uid))
            out.removes << uid;
    return out;
}

QString conflictName(const QString& name)
{
    return tr("%1 (conflict)").arg(name);
}

QString hrefFor(const QString& collection, const QString& uid)
{
    return collection + QString::fromLatin1(QUrl::toPercentEncoding(uid)) + QLatin1String(".ics");
}

namespace {

/// The server's side of one alarm.
struct Side
{
    QString href;
    QByteArray etag;
    bool read = false; ///< its body was fetched: `record` holds it
    AlarmRecord record;
};

void addConflictCopy(Plan& p, const AlarmRecord& local, const Side& s)
{
    AlarmRecord copy = s.record;
    // The same copy however often the plan is made for this server version.
    copy.uid = QUuid::createUuidV5(QUuid(), local.uid + QString::fromUtf8(s.etag))
                   .toString(QUuid::WithoutBraces);
    copy.enabled = false;
    copy.name = conflictName(s.record.name);
    p.localAdds << copy;
    p.conflicts << local.name;
}

} // namespace

Plan plan(const QHash<QString, AlarmRecord>& local, const State& state,
          const QHash<QString, QByteArray>& listing, const QHash<QString, ServerEvent>& fetched,
          const QString& collection)
{
    Plan p;
    p.next.calendar = state.calendar;
    p.next.token = state.token;
    QHash<QString, QString> uidOfHref;
    for (auto it = state.items.begin(); it != state.items.end(); ++it)
        uidOfHref.insert(it->href, it.key());

    QHash<QString, Side> server;
    QSet<QString> unsure; // listed, changed, but not read: left as they were
    for (auto it = listing.begin(); it != listing.end(); ++it) {
        const QString& href = it.key();
        const auto f = fetched.constFind(href);
        if (f == fetched.cend()) {
            const QString uid = uidOfHref.value(href);
            if (state.foreign.contains(href) && state.foreign.value(href) == it.value())
                p.next.foreign.insert(href, it.value());
            else if (!uid.isEmpty() && state.items.value(uid).etag == it.value())
                server.insert(uid, {href, it.value(), false, {}});
            else if (!uid.isEmpty())
                unsure << uid;
            continue;
        }
        if (!f->holdable || f->record.uid.isEmpty() || server.contains(f->record.uid)) {
            // An alarm of ours that Tidra cannot hold now (a spent one) is not
            // a deletion: it stays as it is here.
            const QString uid = uidOfHref.value(href);
            if (uid.isEmpty())
                p.next.foreign.insert(href, it.value());
            else
                unsure << uid;
            continue;
        }
        server.insert(f->record.uid, {href, it.value(), true, f->record});
    }

    QSet<QString> uids(local.keyBegin(), local.keyEnd());
    for (auto it = state.items.begin(); it != state.items.end(); ++it)
        uids << it.key();
    for (auto it = server.begin(); it != server.end(); ++it)
        uids << it.key();
    QStringList ordered(uids.begin(), uids.end());
    ordered.sort();

    for (const QString& uid : std::as_const(ordered)) {
        const bool inLocal = local.contains(uid), inState = state.items.contains(uid),
                   inServer = server.contains(uid);
        const Synced was = state.items.value(uid);
        if (unsure.contains(uid)) {
            p.next.items.insert(uid, was);
            continue;
        }
        const AlarmRecord mine = local.value(uid);
        const Side s = server.value(uid);
        const QByteArray theirHash = s.read ? seriesHash(s.record) : was.hash;
        const bool localChanged = inLocal && (!inState || seriesHash(mine) != was.hash);
        const bool serverChanged = inServer && (!inState || theirHash != was.hash);
        if (inLocal && inServer) {
            if (localChanged && serverChanged && seriesHash(mine) != theirHash) {
                p.puts << Put{s.href, s.etag, mine};
                addConflictCopy(p, mine, s);
            } else if (localChanged && !serverChanged) {
                p.puts << Put{s.href, s.etag, mine};
            } else if (serverChanged && !localChanged) {
                p.localChanges << s.record;
            }
            p.next.items.insert(uid, {s.href, s.etag, theirHash});
        } else if (inLocal) {
            // Gone from the server: an alarm changed here since is sent again.
            if (!inState || localChanged)
                p.puts << Put{hrefFor(collection, uid), QByteArray(), mine};
            else
                p.localDeletes << uid;
        } else if (inServer) {
            if (inState && !serverChanged)
                p.deletes << Delete{uid, s.href, s.etag};
            else
                p.localAdds << s.record; // changed elsewhere since it was deleted here: kept
            p.next.items.insert(uid, {s.href, s.etag, theirHash});
        }
    }
    return p;
}

QString describe(int status, Failure failure, const QString& detail)
{
    switch (failure) {
    case Failure::HostNotFound:
        return tr("The server was not found; check its address.");
    case Failure::Refused:
        return tr("The server does not answer; it may be down.");
    case Failure::Timeout:
        return tr("The server took too long to answer.");
    case Failure::Certificate:
        return tr("The server's certificate is not trusted (%1).").arg(detail);
    case Failure::TooLarge:
        return tr("The server's answer is too large.");
    case Failure::Redirects:
        return tr("The server sends Tidra from one address to another without end.");
    case Failure::NotCalendar:
        return tr("The server does not answer as a calendar server; check the address.");
    case Failure::Other:
        if (status == 0)
            return tr("The server cannot be reached (%1).").arg(detail);
        break;
    case Failure::None:
        break;
    }
    if (status >= 200 && status < 300)
        return QString();
    switch (status) {
    case 401:
        return tr("The server refused the user name or password.");
    case 403:
        return tr("The server does not allow this user to do that.");
    case 404:
        return tr("The calendar was not found on the server.");
    case 412:
        return tr("An event was changed on the server meanwhile; it is compared again at the "
                  "next sync.");
    case 507:
        return tr("The server is full.");
    default:
        if (status >= 500)
            return tr("The server failed (error %1); Tidra tries again later.").arg(status);
        return tr("The server refused the request (error %1).").arg(status);
    }
}

namespace {

int statusCode(const QString& line)
{
    // "HTTP/1.1 200 OK"
    const QStringList parts = line.simplified().split(u' ');
    return parts.size() >= 2 ? parts.at(1).toInt() : 0;
}

bool isListProperty(QStringView name)
{
    return name == u"resourcetype" || name == u"supported-calendar-component-set";
}

} // namespace

MultiStatus parseMultiStatus(const QByteArray& xml)
{
    MultiStatus m;
    QXmlStreamReader r(xml);
    QStringList path; // local names from the root down
    DavResponse response;
    QHash<QString, QString> props;
    int propstatStatus = 0;
    QString text;
    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::DTD:
            m.error = tr("The server's answer holds a document type, which Tidra does not read.");
            return m;
        case QXmlStreamReader::StartElement: {
            const QString name = r.name().toString();
            if (path.isEmpty() && name != QLatin1String("multistatus")) {
                m.error = tr("The server's answer is not a list of calendar entries.");
                return m;
            }
            // Inside a property: list properties name what they hold.
            if (path.size() >= 5 && path.at(3) == QLatin1String("prop") &&
                isListProperty(path.at(4))) {
                const QString item = path.at(4) == QLatin1String("resourcetype")
                                         ? name
                                         : r.attributes().value(QLatin1String("name")).toString();
                text += u' ' + item;
            }
            if (path.size() == 1 && name == QLatin1String("response")) {
                response = DavResponse();
            } else if (path.size() == 2 && name == QLatin1String("propstat")) {
                props.clear();
                propstatStatus = 0;
            }
            if (path.size() == 4 || path.size() == 2)
                text.clear();
            path << name;
            break;
        }
        case QXmlStreamReader::Characters:
            if (path.size() >= 3 && !(path.size() > 4 && isListProperty(path.at(4))))
                text += r.text();
            break;
        case QXmlStreamReader::EndElement: {
            const QString name = path.takeLast();
            if (path.size() == 2 && name == QLatin1String("href"))
                response.href = text.trimmed();
            else if (path.size() == 2 && name == QLatin1String("status"))
                response.status = statusCode(text);
            else if (path.size() == 3 && name == QLatin1String("status"))
                propstatStatus = statusCode(text);
            else if (path.size() == 4)
                props.insert(name, text.trimmed());
            else if (path.size() == 2 && name == QLatin1String("propstat") &&
                     propstatStatus == 200) {
                response.props.insert(props);
                response.status = 200;
            } else if (path.size() == 1 && name == QLatin1String("response"))
                m.responses << response;
            if (path.size() == 2 || path.size() == 3)
                text.clear();
            break;
        }
        default:
            break;
        }
    }
    if (r.hasError())
        m.error = tr("The server's answer cannot be read (%1).").arg(r.errorString());
    return m;
}

} // namespace td::caldav
