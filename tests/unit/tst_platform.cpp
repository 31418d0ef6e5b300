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

    // Empty menus add no separators; a menu not created yet is skipped.
    void combinedMenu()
    {
        QWidget owner;
        QList<QMenu*> parts{nullptr};
        for (const QStringList& texts : QList<QStringList>{{}, {"A", "-", "B"}, {}, {"C"}, {}}) {
            auto* m = new QMenu(&owner);
            for (const QString& t : texts)
                t == "-" ? m->addSeparator() : m->addAction(t);
            parts << m;
        }
        QMenu* combined = td::platform::combinedMenu(&owner, parts);
        QCOMPARE(combined->parent(), &owner);
        QStringList got;
        for (QAction* a : combined->actions())
            got << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(got, (QStringList{"A", "-", "B", "-", "C"}));
        // Shared, not copied: triggering from the host's menu runs the same action.
        QCOMPARE(combined->actions().first(), parts[2]->actions().first());
        QCOMPARE(combined->actions().last(), parts[4]->actions().first());
    }
};

TIDRA_TEST_MAIN(TestPlatform)
#include "tst_platform.moc"
