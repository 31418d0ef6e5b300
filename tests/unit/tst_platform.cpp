#include "app/Platform.h"
#include "tests/common/TestSupport.h"

#include <QMenu>
#include <QWidget>

using td::platform::SessionEnvironment;
static const QByteArray xcb("xcb");

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void forcedPlatform_data()
    {
        // The environment as "QT_QPA_PLATFORM|WAYLAND_DISPLAY|XDG_SESSION_TYPE|DISPLAY".
        QTest::addColumn<QString>("env");
        QTest::addColumn<QString>("args");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray none;
        QTest::newRow("wayland with xwayland") << "|wayland-0|wayland|:0"
                                               << "tidra" << xcb;
        QTest::newRow("wayland socket only") << "|wayland-1||:1"
                                             << "tidra" << xcb;
        QTest::newRow("session type in capitals") << "||Wayland|:0"
                                                  << "tidra" << xcb;
        QTest::newRow("no xwayland: leave it to the toolkit") << "|wayland-0|wayland|"
                                                              << "tidra" << none;
        QTest::newRow("plain x11 session") << "||x11|:0"
                                           << "tidra" << none;
        QTest::newRow("user chose a list") << "wayland;xcb|wayland-0|wayland|:0"
                                           << "tidra" << none;
        QTest::newRow("blank variable counts as unset") << "  |wayland-0|wayland|:0"
                                                        << "tidra" << xcb;
        QTest::newRow("-platform on the command line") << "|wayland-0|wayland|:0"
                                                       << "tidra -platform wayland" << none;
        QTest::newRow("dangling -platform") << "|wayland-0|wayland|:0"
                                            << "tidra -platform" << xcb;
        QTest::newRow("program named -platform") << "|wayland-0|wayland|:0"
                                                 << "-platform wayland" << xcb;
    }
    void forcedPlatform()
    {
        QFETCH(QString, env);
        QFETCH(QString, args);
        const QList<QByteArray> v = env.toUtf8().split('|');
        const SessionEnvironment session{v[0], v[1], v[2], v[3]};
        QTEST(td::platform::forcedPlatform(session, args.split(' ')), "expected");
    }

    void chooseWindowSystemSetsTheVariable()
    {
        const QByteArray saved[] = {qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"),
                                    qgetenv("XDG_SESSION_TYPE"), qgetenv("DISPLAY")};
        qunsetenv("QT_QPA_PLATFORM");
        qputenv("WAYLAND_DISPLAY", "wayland-0");
        qputenv("XDG_SESSION_TYPE", "wayland");
        qputenv("DISPLAY", ":5");
        char arg0[] = "tidra";
        char* argv[] = {arg0, nullptr};
        td::platform::chooseWindowSystem(1, argv);
        const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");

        qputenv("QT_QPA_PLATFORM", "wayland");
        td::platform::chooseWindowSystem(1, argv);
        const QByteArray kept = qgetenv("QT_QPA_PLATFORM");

        const char* names[] = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "DISPLAY"};
        for (int i = 0; i < 4; ++i)
            saved[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
        QCOMPARE(chosen, QByteArray("xcb"));
        QCOMPARE(kept, QByteArray("wayland"));
    }

    // Each menu is given as its action texts, "-" standing for a separator.
    void combinedMenu_data()
    {
        QTest::addColumn<QList<QStringList>>("menus");
        QTest::addColumn<QStringList>("expected");
        const QStringList fast{"Add New Alarm", "Add New Timer", "-", "Home Site"};
        const QStringList main{"Date and time", "Alarms", "-", "About", "-", "&Quit"};
        QTest::newRow("empty menus add no separators")
            << QList<QStringList>{{}, fast, {}, {}, main, {}}
            << QStringList{"Add New Alarm", "Add New Timer", "-", "Home Site", "-",
                           "Date and time", "Alarms",        "-", "About",     "-",
                           "&Quit"};
        QTest::newRow("nothing") << QList<QStringList>{} << QStringList{};
    }
    void combinedMenu()
    {
        QFETCH(QList<QStringList>, menus);
        QFETCH(QStringList, expected);
        QWidget owner;
        QList<QMenu*> parts;
        for (const QStringList& texts : menus) {
            auto* m = new QMenu(&owner);
            for (const QString& t : texts)
                t == "-" ? m->addSeparator() : m->addAction(t);
            parts << m;
        }
        parts.prepend(nullptr); // a menu not created yet is skipped
        QMenu* combined = td::platform::combinedMenu(&owner, parts);
        QCOMPARE(combined->parent(), &owner);
        QStringList got;
        for (QAction* a : combined->actions())
            got << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(got, expected);
        // Shared, not copied: triggering from the host's menu runs the same action.
        for (QAction* a : combined->actions()) {
            if (a->isSeparator())
                continue;
            bool owned = false;
            for (QMenu* m : parts)
                owned = owned || (m && m->actions().contains(a));
            QVERIFY2(owned, qPrintable(a->text()));
        }
    }
};

TIDRA_TEST_MAIN(TestPlatform)
#include "tst_platform.moc"
