#include "app/Platform.h"
#include "tests/common/TestSupport.h"

#include <QMenu>
#include <QWidget>

using td::platform::SessionEnvironment;

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void forcedPlatform_data()
    {
        QTest::addColumn<QByteArray>("qpa");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("session");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("expected");

        const QStringList plain{"tidra"};
        QTest::newRow("wayland with xwayland")
            << QByteArray() << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray(":0")
            << plain << QByteArray("xcb");
        QTest::newRow("wayland socket only, session type unknown")
            << QByteArray() << QByteArray("wayland-1") << QByteArray() << QByteArray(":1") << plain
            << QByteArray("xcb");
        QTest::newRow("session type says wayland, socket var missing")
            << QByteArray() << QByteArray() << QByteArray("wayland") << QByteArray(":0") << plain
            << QByteArray("xcb");
        QTest::newRow("session type in capitals")
            << QByteArray() << QByteArray() << QByteArray("Wayland") << QByteArray(":0") << plain
            << QByteArray("xcb");
        QTest::newRow("no xwayland: leave it to the toolkit")
            << QByteArray() << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray()
            << plain << QByteArray();
        QTest::newRow("plain x11 session") << QByteArray() << QByteArray() << QByteArray("x11")
                                           << QByteArray(":0") << plain << QByteArray();
        QTest::newRow("tty, nothing at all") << QByteArray() << QByteArray() << QByteArray("tty")
                                             << QByteArray() << plain << QByteArray();
        QTest::newRow("user chose wayland")
            << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray("wayland")
            << QByteArray(":0") << plain << QByteArray();
        QTest::newRow("user chose a list")
            << QByteArray("wayland;xcb") << QByteArray("wayland-0") << QByteArray("wayland")
            << QByteArray(":0") << plain << QByteArray();
        QTest::newRow("blank variable counts as unset")
            << QByteArray("  ") << QByteArray("wayland-0") << QByteArray("wayland")
            << QByteArray(":0") << plain << QByteArray("xcb");
        QTest::newRow("-platform on the command line")
            << QByteArray() << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray(":0")
            << QStringList{"tidra", "-platform", "wayland"} << QByteArray();
        QTest::newRow("--platform on the command line")
            << QByteArray() << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray(":0")
            << QStringList{"tidra", "--platform", "wayland"} << QByteArray();
        QTest::newRow("dangling -platform is ignored by the toolkit too")
            << QByteArray() << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray(":0")
            << QStringList{"tidra", "-platform"} << QByteArray("xcb");
        QTest::newRow("program named -platform is not an option")
            << QByteArray() << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray(":0")
            << QStringList{"-platform", "wayland"} << QByteArray("xcb");
    }
    void forcedPlatform()
    {
        QFETCH(QByteArray, qpa);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, session);
        QFETCH(QByteArray, display);
        QFETCH(QStringList, args);
        QFETCH(QByteArray, expected);
        const SessionEnvironment env{qpa, wayland, session, display};
        QCOMPARE(td::platform::forcedPlatform(env, args), expected);
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
        QTest::newRow("fast then main")
            << QList<QStringList>{fast, main}
            << QStringList{"Add New Alarm", "Add New Timer", "-", "Home Site", "-",
                           "Date and time", "Alarms",        "-", "About",     "-",
                           "&Quit"};
        QTest::newRow("empty menus add no separators")
            << QList<QStringList>{{}, fast, {}, {}, main, {}}
            << QStringList{"Add New Alarm", "Add New Timer", "-", "Home Site", "-",
                           "Date and time", "Alarms",        "-", "About",     "-",
                           "&Quit"};
        QTest::newRow("one menu is copied as it is") << QList<QStringList>{main} << main;
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
