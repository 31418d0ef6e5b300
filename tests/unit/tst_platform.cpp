// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Platform.h"
#include "common/Contrast.h"
#include "common/Placement.h"
#include "tests/common/TestSupport.h"

#include <QMenu>
#include <QWidget>

using namespace td;

// The desktop: what the window system, the screens and the theme give us.
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
        auto row = [](const char* name, const char* env, const char* args, const char* expected) {
            QTest::newRow(name) << env << args << QByteArray(expected);
        };
        row("wayland with xwayland", "|wayland-0|wayland|:0", "tidra", "xcb");
        row("wayland socket only", "|wayland-1||:1", "tidra", "xcb");
        row("session type in capitals", "||Wayland|:0", "tidra", "xcb");
        row("no xwayland: leave it to the toolkit", "|wayland-0|wayland|", "tidra", "");
        row("plain x11 session", "||x11|:0", "tidra", "");
        row("user chose a list", "wayland;xcb|wayland-0|wayland|:0", "tidra", "");
        row("blank variable counts as unset", "  |wayland-0|wayland|:0", "tidra", "xcb");
        row("-platform on the command line", "|wayland-0|wayland|:0", "tidra -platform wayland",
            "");
        row("dangling -platform", "|wayland-0|wayland|:0", "tidra -platform", "xcb");
        row("program named -platform", "|wayland-0|wayland|:0", "-platform wayland", "xcb");
    }
    void forcedPlatform()
    {
        QFETCH(QString, env);
        QFETCH(QString, args);
        const QList<QByteArray> v = env.toUtf8().split('|');
        QTEST(platform::forcedPlatform({v[0], v[1], v[2], v[3]}, args.split(' ')), "expected");
    }

    // Empty menus add no separators; a menu not created yet is skipped.
    void combinedMenu()
    {
        QWidget owner;
        QList<QMenu*> parts{nullptr};
        for (const QStringList& texts : QList<QStringList>{{}, {"A", "-", "B"}, {}, {"C"}, {}}) {
            parts << new QMenu(&owner);
            for (const QString& t : texts)
                t == "-" ? parts.last()->addSeparator() : parts.last()->addAction(t);
        }
        QMenu* combined = platform::combinedMenu(&owner, parts);
        QCOMPARE(combined->parent(), &owner);
        QStringList got;
        for (QAction* a : combined->actions())
            got << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(got, (QStringList{"A", "-", "B", "-", "C"}));
        // Shared, not copied: triggering from the host's menu runs the same action.
        QCOMPARE(combined->actions().first(), parts[2]->actions().first());
        QCOMPARE(combined->actions().last(), parts[4]->actions().first());
    }

    void savedCentreComesBackOnScreen_data()
    {
        QTest::addColumn<QPoint>("saved");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("restored");
        const QSize s(200, 100);
        QTest::newRow("on the primary screen") << QPoint(640, 120) << s << QPoint(640, 120);
        QTest::newRow("monitor to the left is gone") << QPoint(-800, 300) << s << QPoint(100, 300);
        QTest::newRow("far below") << QPoint(500, 5000) << s << QPoint(500, 1030);
        QTest::newRow("beyond the far corner") << QPoint(99999, -99999) << s << QPoint(1180, 80);
        QTest::newRow("off the far edge of the second screen")
            << QPoint(3190, 1070) << s << QPoint(3100, 1030);
        QTest::newRow("window bigger than the desktop")
            << QPoint(-5000, 0) << QSize(3000, 2000) << QPoint(1500, 1030);
    }
    void savedCentreComesBackOnScreen()
    {
        QFETCH(QPoint, saved);
        QFETCH(QSize, size);
        // Two monitors side by side; the primary one has a 30-pixel panel on top.
        const QRect primary(0, 30, 1280, 1050);
        QTEST(onScreenCentre(saved, size, {primary, QRect(1280, 0, 1920, 1080)}, primary),
              "restored");
    }

    void contrastOfKnownColours_data()
    {
        QTest::addColumn<quint32>("a");
        QTest::addColumn<quint32>("b");
        QTest::addColumn<double>("ratio");
        QTest::newRow("black on white") << 0xff000000u << 0xffffffffu << 21.0;
        QTest::newRow("same colour") << 0xff777777u << 0xff777777u << 1.0;
        QTest::newRow("order does not count") << 0xffffffffu << 0xff000000u << 21.0;
        QTest::newRow("alpha ignored") << 0x00000000u << 0x80ffffffu << 21.0;
        QTest::newRow("AA grey on white") << 0xff767676u << 0xffffffffu << 4.54;
        QTest::newRow("light grey on white fails") << 0xffaaaaaau << 0xffffffffu << 2.32;
        QTest::newRow("pure red on black") << 0xffff0000u << 0xff000000u << 5.25;
        QTest::newRow("pure green on black") << 0xff00ff00u << 0xff000000u << 15.3;
        QTest::newRow("low channel, linear part") << 0xff0a0a0au << 0xff000000u << 1.06;
    }
    void contrastOfKnownColours()
    {
        QFETCH(quint32, a);
        QFETCH(quint32, b);
        QTEST(qRound(contrast::ratio(a, b) * 100) / 100.0, "ratio");
    }

    // A skin's ink against the theme's window ground and text colour.
    void inkDecidesTheGround_data()
    {
        QTest::addColumn<quint32>("ink");
        QTest::addColumn<quint32>("ground");
        QTest::addColumn<quint32>("text");
        QTest::addColumn<bool>("swap");
        QTest::newRow("dark ink, light theme")
            << 0xff203040u << 0xffefefefu << 0xff000000u << false;
        QTest::newRow("dark ink, dark theme") << 0xff203040u << 0xff353535u << 0xffffffffu << true;
        QTest::newRow("orange ink, light theme")
            << 0xfff0a830u << 0xffefefefu << 0xff000000u << true;
        QTest::newRow("orange ink, dark theme")
            << 0xfff0a830u << 0xff353535u << 0xffffffffu << false;
        // Mid grey is no better on either: the theme stays.
        QTest::newRow("no gain") << 0xff808080u << 0xff707070u << 0xff909090u << false;
        QTest::newRow("just enough") << 0xff949494u << 0xff000000u << 0xffffffffu << false;
    }
    void inkDecidesTheGround()
    {
        QFETCH(quint32, ink);
        QFETCH(quint32, ground);
        QFETCH(quint32, text);
        QTEST(contrast::swapForInk(ink, ground, text), "swap");
    }

    void groundMovesAwayFromTheText_data()
    {
        QTest::addColumn<quint32>("text");
        QTest::addColumn<quint32>("ground");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("already enough") << 0xffffffffu << 0xff000080u << 4.5 << 0xff000080u;
        QTest::newRow("Fusion selection darkened")
            << 0xffffffffu << 0xff308cc6u << 4.5 << 0xff2977a9u;
        QTest::newRow("dark text lightens") << 0xff000000u << 0xff303030u << 4.5 << 0xff787878u;
        QTest::newRow("out of reach: as far as it goes")
            << 0xff808080u << 0xff808080u << 21.0 << 0xffffffffu;
    }
    void groundMovesAwayFromTheText()
    {
        QFETCH(quint32, text);
        QFETCH(quint32, ground);
        QFETCH(double, minimum);
        QFETCH(quint32, expected);
        QCOMPARE(QString::number(contrast::groundFor(text, ground, minimum), 16),
                 QString::number(expected, 16)); // hex, to read a failure
    }
};

TIDRA_TEST_MAIN(TestPlatform)
#include "tst_platform.moc"
