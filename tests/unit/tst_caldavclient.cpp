// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HolidayFeed.h"
#include "common/Clock.h"
#include "storage/CalDavClient.h"
#include "tests/common/TestSupport.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

namespace caldav = td::caldav;
using td::HolidayFeed;
using td::HolidayRecord;

Q_DECLARE_METATYPE(td::HolidayRecord)

namespace {

/// A server that gives every request the same answer (none: it keeps quiet).
class FakeServer : public QTcpServer
{
public:
    QByteArray answer;

    explicit FakeServer(const QByteArray& first) : answer(first)
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, s, [this, s] { serve(s); });
        });
    }
    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path));
    }

private:
    void serve(QTcpSocket* s)
    {
        QByteArray& in = m_read[s];
        in += s->readAll();
        const qsizetype end = in.indexOf("\r\n\r\n");
        const qsizetype length = in.toLower().indexOf("content-length:");
        const int body = length < 0 ? 0 : in.mid(length + 15, 12).trimmed().split('\r')[0].toInt();
        if (end < 0 || in.size() < end + 4 + body || answer.isEmpty())
            return;
        in.clear();
        s->write(answer);
    }
    QHash<QTcpSocket*, QByteArray> m_read;
};

QByteArray answer(const QByteArray& status, const QByteArray& body,
                  const QByteArray& headers = QByteArray())
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\n" + headers + "\r\n" + body;
}

const QByteArray listing = "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\"><response>"
                           "<href>/cal/a.ics</href><propstat><prop><getetag>\"e1\"</getetag>"
                           "</prop><status>HTTP/1.1 200 OK</status></propstat></response>"
                           "</multistatus>";

QByteArray fixture()
{
    QFile f(QStringLiteral(TIDRA_SOURCE_DIR "/tests/unit/data/holidays_2027.ics"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// What Tidra fetches over the web: a CalDAV account, a feed of days off.
class TestWebClients : public QObject
{
    Q_OBJECT
private slots:
    void init() { td::clock::setFixed(QDateTime(QDate(2027, 1, 1), QTime(9, 0))); }
    void cleanup() { td::clock::reset(); }
    // What the user reads for each way a server can fail; a failed listing lists nothing.
    void badServers_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("write"); // a PUT, not a listing
        QTest::addColumn<QString>("expected");

        QTest::newRow("a listing") << answer("207 Multi-Status", listing) << false << QString();
        QTest::newRow("wrong password")
            << answer("401 Unauthorized", "", "WWW-Authenticate: Basic realm=\"x\"\r\n") << false
            << caldav::describe(401, caldav::Failure::None);
        QTest::newRow("changed meanwhile") << answer("412 Precondition Failed", "") << true
                                           << caldav::describe(412, caldav::Failure::None);
        QTest::newRow("a web page") << answer("200 OK", "<html>Log in</html>") << false
                                    << caldav::describe(0, caldav::Failure::NotCalendar);
        QTest::newRow("cut-off XML") << answer("207 Multi-Status", listing.left(90)) << false
                                     << caldav::parseMultiStatus(listing.left(90)).error;
        QTest::newRow("huge") << QByteArray("HTTP/1.1 207 Multi-Status\r\nContent-Length: 99999999"
                                            "\r\n\r\n<multistatus>")
                              << false << caldav::describe(0, caldav::Failure::TooLarge);
        QTest::newRow("silent") << QByteArray() << false
                                << caldav::describe(0, caldav::Failure::Timeout);
    }

    void badServers()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, write);
        QFETCH(QString, expected);
        FakeServer server(answer);
        caldav::Client client;
        client.setAccount("alice", "pw");
        client.setTimeout(300);
        bool done = false;
        QString error;
        int members = -1;
        if (write)
            client.put(server.url("/cal/a.ics"), "\"e1\"", "BEGIN:VCALENDAR",
                       [&](const caldav::Response& r) { error = r.error, done = true; });
        else
            client.list(server.url("/cal/"),
                        [&](const QString& e, const QHash<QString, QByteArray>& found) {
                            error = e, members = int(found.size()), done = true;
                        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
        QCOMPARE(error, expected);
        if (!write)
            QCOMPARE(members, expected.isEmpty() ? 1 : 0);
    }

    // A good fetch replaces the days and the copy; a later fetch that fails in any way
    // leaves both as they were, and the copy stands in at the next start.
    void holidayFeed_data()
    {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("days"); // after the second fetch; -1: unchanged
        const QByteArray good = fixture();
        QByteArray fewer = good;
        fewer.replace("SUMMARY:Neujahr", "SUMMARY:Neujahr\r\nRRULE:FREQ=WEEKLY");
        QTest::newRow("a new version") << QByteArray("200 OK") << fewer << 3;
        QTest::newRow("not found") << QByteArray("404 Not Found") << QByteArray("gone") << -1;
        QTest::newRow("truncated") << QByteArray("200 OK") << good.left(good.size() / 2) << -1;
    }

    void holidayFeed()
    {
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, body);
        QFETCH(int, days);
        FakeServer server(answer("200 OK", fixture()));
        const QString copy = td::test::homePath() + "/feed.ics";
        QFile::remove(copy);
        HolidayFeed feed(copy);
        QSignalSpy changed(&feed, &HolidayFeed::daysChanged);
        QSignalSpy failed(&feed, &HolidayFeed::failed);
        feed.setSource(server.url("/holidays_2027.ics").toString());
        QVERIFY(changed.wait(10000));
        const auto first = changed.last().at(0).value<QList<HolidayRecord>>();
        QCOMPARE(first.size(), 4);
        QCOMPARE(first.at(0).calendar, QString("holidays_2027"));
        QCOMPARE(td::test::fileBytes(copy), fixture());

        server.answer = answer(status, body);
        feed.refresh();
        QVERIFY(days >= 0 ? changed.wait(10000) : failed.wait(10000));
        QCOMPARE(changed.size(), days >= 0 ? 2 : 1);
        if (days >= 0) {
            QCOMPARE(changed.last().at(0).value<QList<HolidayRecord>>().size(), days);
            QCOMPARE(td::test::fileBytes(copy), body);
            return;
        }
        QCOMPARE(td::test::fileBytes(copy), fixture());
        // The next start shows the copy's days before anything is fetched.
        HolidayFeed next(copy);
        QSignalSpy fromCopy(&next, &HolidayFeed::daysChanged);
        next.start(server.url("/holidays_2027.ics").toString());
        QCOMPARE(fromCopy.size(), 1);
        QCOMPARE(fromCopy.at(0).at(0).value<QList<HolidayRecord>>(), first);
    }
};

TIDRA_TEST_MAIN(TestWebClients)
#include "tst_caldavclient.moc"
