// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HolidayFeed.h"
#include "common/Clock.h"
#include "tests/common/TestSupport.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

using td::HolidayFeed;
using td::HolidayRecord;

Q_DECLARE_METATYPE(td::HolidayRecord)

namespace {

QByteArray fixture()
{
    QFile f(QStringLiteral(TIDRA_SOURCE_DIR "/tests/unit/data/holidays_2027.ics"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// A web server on 127.0.0.1 that answers every request with one response.
class Server : public QTcpServer
{
public:
    int status = 200;
    QByteArray body;

    Server()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    if (!s->readAll().contains("\r\n\r\n"))
                        return;
                    s->write("HTTP/1.1 " + QByteArray::number(status) +
                             " X\r\nContent-Type: text/calendar\r\nContent-Length: " +
                             QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
                             body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/holidays_2027.ics").arg(serverPort());
    }
};

} // namespace

class TestHolidayFeed : public QObject
{
    Q_OBJECT
private slots:
    void init() { td::clock::setFixed(QDateTime(QDate(2027, 1, 1), QTime(9, 0))); }
    void cleanup() { td::clock::reset(); }

    // A good fetch replaces the days and the copy; a later fetch that fails in any way
    // leaves both as they were, and the copy stands in at the next start.
    void refresh_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("days"); // after the second fetch; -1: unchanged
        const QByteArray good = fixture();
        QByteArray fewer = good;
        fewer.replace("SUMMARY:Neujahr", "SUMMARY:Neujahr\r\nRRULE:FREQ=WEEKLY");
        QTest::newRow("a new version") << 200 << fewer << 5;
        QTest::newRow("not found") << 404 << QByteArray("gone") << -1;
        QTest::newRow("truncated") << 200 << good.left(good.size() / 2) << -1;
    }
    void refresh()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, days);
        Server server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        server.body = fixture();
        const QString copy = td::test::homePath() + "/feed.ics";
        QFile::remove(copy);
        HolidayFeed feed(copy);
        QSignalSpy changed(&feed, &HolidayFeed::daysChanged);
        QSignalSpy failed(&feed, &HolidayFeed::failed);
        feed.setSource(server.url());
        QVERIFY(changed.wait(10000));
        const auto first = changed.last().at(0).value<QList<HolidayRecord>>();
        QCOMPARE(first.size(), 6);
        QCOMPARE(first.at(0).calendar, QString("holidays_2027"));
        QCOMPARE(td::test::fileBytes(copy), fixture());

        server.status = status;
        server.body = body;
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
        next.start(server.url());
        QCOMPARE(fromCopy.size(), 1);
        QCOMPARE(fromCopy.at(0).at(0).value<QList<HolidayRecord>>(), first);
    }
};

TIDRA_TEST_MAIN(TestHolidayFeed)
#include "tst_holidayfeed.moc"
