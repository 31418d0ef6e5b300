// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/CalDavSync.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/RulesSupport.h"

using td::AlarmRecord;
using td::test::every;
namespace caldav = td::caldav;

Q_DECLARE_METATYPE(td::AlarmRecord)

enum class Read { NotRead, Alarm, NotAlarm };
Q_DECLARE_METATYPE(Read)

namespace {

const QString calendar = "/cal/";

AlarmRecord alarm(const QString& name, const QDate& date = QDate(2026, 12, 7))
{
    AlarmRecord r = td::test::once(date, QTime(7, 30), name);
    r.uid = "u1";
    return r;
}

} // namespace

class TestCalDavSync : public QObject
{
    Q_OBJECT
private slots:
    // One alarm "u1", last synced as "Tea" with etag e1; each side may have
    // changed it ("" is gone). A server etag e2 means its body was read anew.
    void plan_data()
    {
        QTest::addColumn<QString>("local");
        QTest::addColumn<bool>("synced");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QByteArray>("serverEtag");
        QTest::addColumn<bool>("holdable"); // the server's body is an alarm Tidra can hold
        QTest::addColumn<bool>("put");
        QTest::addColumn<QByteArray>("ifMatch"); // empty: a new event
        QTest::addColumn<bool>("del");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("changed");
        QTest::addColumn<bool>("removed");
        QTest::addColumn<bool>("kept"); // still in the state
        const auto row = [](const char* tag, const QString& local, bool synced,
                            const QString& server, const QByteArray& etag, bool holdable, bool put,
                            const QByteArray& ifMatch, bool del, const QString& added,
                            const QString& changed, bool removed, bool kept) {
            QTest::newRow(tag) << local << synced << server << etag << holdable << put << ifMatch
                               << del << added << changed << removed << kept;
        };
        const QByteArray e1 = "e1", e2 = "e2", none;
        const QString conflict = "Cake (conflict)";
        row("nothing changed", "Tea", true, "Tea", e1, true, false, none, false, "", "", false,
            true);
        row("edited here", "Coffee", true, "Tea", e1, true, true, e1, false, "", "", false, true);
        row("edited there", "Tea", true, "Cake", e2, true, false, none, false, "", "Cake", false,
            true);
        row("same edit both", "Cake", true, "Cake", e2, true, false, none, false, "", "", false,
            true);
        row("conflict", "Coffee", true, "Cake", e2, true, true, e2, false, conflict, "", false,
            true);
        row("body rewritten there, edited here", "Coffee", true, "Tea", e2, true, true, e2, false,
            "", "", false, true);
        row("ours, unreadable there", "Tea", true, "Cake", e2, false, false, none, false, "", "",
            false, true);
        row("new here", "Coffee", false, "", none, true, true, none, false, "", "", false, false);
        row("new there", "", false, "Cake", e2, true, false, none, false, "Cake", "", false, true);
        row("new there, unreadable", "", false, "Cake", e2, false, false, none, false, "", "",
            false, false);
        row("new on both, same", "Tea", false, "Tea", e2, true, false, none, false, "", "", false,
            true);
        row("deleted here", "", true, "Tea", e1, true, false, none, true, "", "", false, true);
        row("deleted here, edited there", "", true, "Cake", e2, true, false, none, false, "Cake",
            "", false, true);
        row("deleted there", "Tea", true, "", none, true, false, none, false, "", "", true, false);
        row("deleted there, edited here", "Coffee", true, "", none, true, true, none, false, "", "",
            false, false);
    }

    void plan()
    {
        QFETCH(QString, local);
        QFETCH(bool, synced);
        QFETCH(QString, server);
        QFETCH(QByteArray, serverEtag);
        QFETCH(bool, holdable);

        QHash<QString, AlarmRecord> mine;
        if (!local.isEmpty())
            mine.insert("u1", alarm(local));
        caldav::State state;
        if (synced)
            state.items.insert("u1", {"/cal/u1.ics", "e1", caldav::seriesHash(alarm("Tea"))});
        QHash<QString, QByteArray> listing;
        QHash<QString, caldav::ServerEvent> fetched;
        if (!server.isEmpty()) {
            listing.insert("/cal/u1.ics", serverEtag);
            QCOMPARE(caldav::hrefsToFetch(state, listing).size(), serverEtag == "e2" ? 1 : 0);
            if (serverEtag == "e2")
                fetched.insert("/cal/u1.ics", {serverEtag, holdable, alarm(server)});
        }

        const caldav::Plan p = caldav::plan(mine, state, listing, fetched, calendar);
        QTEST(!p.puts.isEmpty(), "put");
        QTEST(p.puts.value(0).ifMatch, "ifMatch");
        QVERIFY(p.puts.isEmpty() ||
                (p.puts[0].record.name == local && p.puts[0].href == "/cal/u1.ics"));
        QTEST(p.deletes.size() == 1 && p.deletes[0].ifMatch == "e1", "del");
        QTEST(p.localAdds.value(0).name, "added");
        if (!p.localAdds.isEmpty()) {
            // A conflict copy is a new alarm, switched off; a restored one is the same.
            const bool copy = p.localAdds[0].name.endsWith("(conflict)");
            QCOMPARE(p.localAdds[0].enabled, !copy);
            QCOMPARE(p.localAdds[0].uid != "u1", copy);
            QCOMPARE(p.conflicts, copy ? QStringList{local} : QStringList());
        }
        QTEST(p.localChanges.value(0).name, "changed");
        QTEST(p.localDeletes.contains("u1"), "removed");
        QTEST(p.next.items.contains("u1"), "kept");
    }

    void seriesHash_data()
    {
        QTest::addColumn<AlarmRecord>("a");
        QTest::addColumn<AlarmRecord>("b");
        QTest::addColumn<bool>("same");

        const QDate mon(2026, 12, 7);
        const QTime t(7, 30);
        QTest::newRow("daily, rung")
            << every(1, td::Days, mon, t) << every(1, td::Days, mon.addDays(3), t) << true;
        QTest::newRow("every 2 days, off by one")
            << every(2, td::Days, mon, t) << every(2, td::Days, mon.addDays(1), t) << false;
        QTest::newRow("every 3 hours, rung")
            << every(3, td::Hours, mon, t) << every(3, td::Hours, mon, t.addSecs(3 * 3600)) << true;
        QTest::newRow("every 3 hours, other phase")
            << every(3, td::Hours, mon, t) << every(3, td::Hours, mon, t.addSecs(3600)) << false;
        QTest::newRow("monthly, rung")
            << every(1, td::Months, mon, t) << every(1, td::Months, mon.addMonths(2), t) << true;
        QTest::newRow("once, moved") << alarm("Tea", mon) << alarm("Tea", mon.addDays(1)) << false;
        AlarmRecord off = every(1, td::Days, mon, t);
        off.enabled = false;
        QTest::newRow("switched off") << every(1, td::Days, mon, t) << off << false;
        AlarmRecord local = alarm("Tea", mon);
        local.command = QStringList{"notify-send", "x"};
        local.days[3] = true;
        QTest::newRow("what no calendar carries") << alarm("Tea", mon) << local << true;
        AlarmRecord wed = alarm("Tea", mon), thu = wed;
        wed.repeatMode = thu.repeatMode = td::RepeatDayOfWeek;
        wed.days[3] = thu.days[4] = true;
        QTest::newRow("other weekdays") << wed << thu << false;
    }

    void seriesHash()
    {
        QFETCH(AlarmRecord, a);
        QFETCH(AlarmRecord, b);
        QFETCH(bool, same);
        QCOMPARE(caldav::seriesHash(a) == caldav::seriesHash(b), same);
    }

    void multiStatus_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("property"); // of /cal/a.ics; empty: the answer is unreadable
        QTest::addColumn<QString>("value");

        const auto row = [](const char* tag, const QByteArray& prop, const char* property,
                            const char* value, const QByteArray& status = "200 OK") {
            QTest::newRow(tag) << "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\" "
                                  "xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:response>"
                                  "<d:href>/cal/a.ics</d:href><d:propstat><d:prop>" +
                                      prop + "</d:prop><d:status>HTTP/1.1 " + status +
                                      "</d:status></d:propstat></d:response></d:multistatus>"
                               << QString(property) << QString(value);
        };
        row("etag", "<d:getetag>\"e1\"</d:getetag>", "getetag", "\"e1\"");
        row("href inside",
            "<d:current-user-principal>\n <d:href>/p/user/</d:href></d:current-user-principal>",
            "current-user-principal", "/p/user/");
        row("resource type", "<d:resourcetype><d:collection/><c:calendar/></d:resourcetype>",
            "resourcetype", "collection calendar");
        row("not found property", "<d:displayname/>", "displayname", "", "404 Not Found");
        QTest::newRow("web page") << QByteArray("<html><body>Login</body></html>") << QString()
                                  << QString();
        QTest::newRow("entities") << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE m [<!ENTITY a "
                                                "\"aaaa\">]><multistatus xmlns=\"DAV:\"/>")
                                  << QString() << QString();
    }

    void multiStatus()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, property);
        QFETCH(QString, value);
        const caldav::MultiStatus m = caldav::parseMultiStatus(xml);
        QCOMPARE(m.error.isEmpty(), !property.isEmpty());
        if (property.isEmpty())
            return;
        QCOMPARE(m.responses.size(), 1);
        QCOMPARE(m.responses[0].href, "/cal/a.ics");
        QCOMPARE(m.responses[0].props.value(property), value);
        QCOMPARE(m.responses[0].props.contains(property), !value.isEmpty());
    }

    // A subscribed calendar "Work" last gave alarm "A" from a.ics (e1); b.ics (e1)
    // gave none. c.ics may be new there.
    void subscription_data()
    {
        QTest::addColumn<QByteArray>("etagA"); // empty: gone
        QTest::addColumn<Read>("readA");
        QTest::addColumn<QString>("uidC"); // empty: no c.ics
        QTest::addColumn<QStringList>("fetch");
        QTest::addColumn<QStringList>("upserted");
        QTest::addColumn<QStringList>("removed");
        const QByteArray e1 = "e1", e2 = "e2";
        const QStringList none, a{"a.ics"}, c{"c.ics"}, uidA{"A"};
        QTest::newRow("unchanged") << e1 << Read::NotRead << "" << none << none << none;
        QTest::newRow("edited there") << e2 << Read::Alarm << "" << a << uidA << none;
        QTest::newRow("deleted there")
            << QByteArray() << Read::NotRead << "" << none << none << uidA;
        QTest::newRow("no longer rings") << e2 << Read::NotAlarm << "" << a << none << uidA;
        QTest::newRow("new there") << e1 << Read::NotRead << "C" << c << QStringList{"C"} << none;
        QTest::newRow("a uid given twice") << e1 << Read::NotRead << "A" << c << none << none;
    }

    void subscription()
    {
        QFETCH(QByteArray, etagA);
        QFETCH(Read, readA);
        QFETCH(QString, uidC);
        const caldav::Subscription was{
            "/work/", "Work", "t1", {{"a.ics", "e1"}, {"b.ics", "e1"}}, {{"a.ics", "A"}}};
        QHash<QString, QByteArray> listing{{"b.ics", "e1"}};
        QHash<QString, caldav::ServerEvent> fetched;
        AlarmRecord meeting = alarm("Meeting");
        meeting.sound = "/home/me/ring.ogg";
        if (!etagA.isEmpty())
            listing.insert("a.ics", etagA);
        if (readA != Read::NotRead) {
            meeting.uid = "A";
            fetched.insert("a.ics", {etagA, readA == Read::Alarm, meeting});
        }
        if (!uidC.isEmpty()) {
            listing.insert("c.ics", "e1");
            meeting.uid = uidC;
            fetched.insert("c.ics", {"e1", true, meeting});
        }
        QTEST(caldav::hrefsToFetch(was, listing), "fetch");

        const caldav::SubscriptionPlan p = caldav::plan(was, listing, fetched);
        QStringList upserted;
        for (const AlarmRecord& r : p.upserts) {
            upserted << r.uid;
            QCOMPARE(r.calendar, "Work");
            QVERIFY(r.sound.isEmpty());
        }
        QTEST(upserted, "upserted");
        QTEST(p.removes, "removed");
        QCOMPARE(p.next.etags, listing);
        caldav::State state, back;
        state.subscriptions << p.next;
        QVERIFY(caldav::State::fromJson(state.toJson(), &back));
        QCOMPARE(back.subscriptions, state.subscriptions);
    }
};

TIDRA_RULES_TEST_MAIN(TestCalDavSync)
#include "tst_caldavsync.moc"
