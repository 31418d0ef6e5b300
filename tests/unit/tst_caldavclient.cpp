// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/CalDavClient.h"
#include "tests/common/RulesSupport.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace caldav = td::caldav;

namespace {

/// A server that gives every request the same answer (none: it keeps quiet).
class FakeServer : public QTcpServer
{
public:
    explicit FakeServer(const QByteArray& answer) : m_answer(answer)
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
        if (end < 0 || in.size() < end + 4 + body || m_answer.isEmpty())
            return;
        in.clear();
        s->write(m_answer);
    }
    QByteArray m_answer;
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

} // namespace

Q_DECLARE_METATYPE(caldav::Failure)

class TestCalDavClient : public QObject
{
    Q_OBJECT
private slots:
    void badServers_data();
    void badServers();
};

// What the user reads for each way a server can fail; a failed listing lists nothing.
void TestCalDavClient::badServers_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("write"); // a PUT, not a listing
    QTest::addColumn<QString>("expected");

    const auto words = [](int status) { return caldav::describe(status, caldav::Failure::None); };
    QTest::newRow("a listing") << answer("207 Multi-Status", listing) << false << QString();
    QTest::newRow("wrong password") << answer("401 Unauthorized", "",
                                              "WWW-Authenticate: Basic "
                                              "realm=\"x\"\r\n")
                                    << false << words(401);
    QTest::newRow("forbidden") << answer("403 Forbidden", "") << false << words(403);
    QTest::newRow("no calendar") << answer("404 Not Found", "") << false << words(404);
    QTest::newRow("changed meanwhile")
        << answer("412 Precondition Failed", "") << true << words(412);
    QTest::newRow("server error") << answer("500 Internal Server Error", "") << false << words(500);
    QTest::newRow("full") << answer("507 Insufficient Storage", "") << true << words(507);
    QTest::newRow("a web page") << answer("200 OK", "<html>Log in</html>") << false
                                << caldav::describe(0, caldav::Failure::NotCalendar);
    QTest::newRow("cut-off XML") << answer("207 Multi-Status", listing.left(90)) << false
                                 << caldav::parseMultiStatus(listing.left(90)).error;
    QTest::newRow("redirect loop") << answer("307 Temporary Redirect", "", "Location: /loop\r\n")
                                   << false << caldav::describe(0, caldav::Failure::Redirects);
    QTest::newRow("huge") << QByteArray("HTTP/1.1 207 Multi-Status\r\nContent-Length: 99999999"
                                        "\r\n\r\n<multistatus>")
                          << false << caldav::describe(0, caldav::Failure::TooLarge);
    QTest::newRow("silent") << QByteArray() << false
                            << caldav::describe(0, caldav::Failure::Timeout);
}

void TestCalDavClient::badServers()
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

TIDRA_RULES_TEST_MAIN(TestCalDavClient)
#include "tst_caldavclient.moc"
