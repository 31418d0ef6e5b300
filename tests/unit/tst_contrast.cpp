#include "app/Contrast.h"

#include <QtTest>

using namespace td;

class TestContrast : public QObject
{
    Q_OBJECT

private slots:
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
        QFETCH(double, ratio);
        QCOMPARE(qRound(contrast::ratio(a, b) * 100) / 100.0, ratio);
    }

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
        QFETCH(bool, swap);
        QCOMPARE(contrast::swapForInk(ink, ground, text), swap);
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
        const quint32 result = contrast::groundFor(text, ground, minimum);
        QCOMPARE(QString::number(result, 16), QString::number(expected, 16));
        QVERIFY(contrast::ratio(text, result) >= minimum || result == expected);
    }
};

QTEST_GUILESS_MAIN(TestContrast)
#include "tst_contrast.moc"
