#include "tests/common/TestSupport.h"
#include "timers/TimerPlacement.h"

class TestTimerPlacement : public QObject
{
    Q_OBJECT

private slots:
    void freePlace_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<QRect>>("taken");
        QTest::addColumn<QPoint>("preferred");
        QTest::addColumn<QPoint>("place");

        const QRect desktop(0, 0, 800, 600);
        const QSize window(200, 100);
        const QPoint middle(300, 250);
        QTest::newRow("preferred place taken: the nearest beside it, below on a tie")
            << desktop << window << QList<QRect>{{middle, window}} << middle << QPoint(300, 354);
        QTest::newRow("below and above taken too: beside it, right on a tie")
            << desktop << window
            << QList<QRect>{{middle, window}, {300, 354, 200, 100}, {300, 146, 200, 100}} << middle
            << QPoint(504, 250);
        QTest::newRow("the one gap between two columns")
            << desktop << window << QList<QRect>{{0, 0, 296, 600}, {504, 0, 296, 600}}
            << QPoint(0, 0) << QPoint(300, 0);
        QTest::newRow("kept inside an area with a panel")
            << QRect(0, 30, 800, 570) << window << QList<QRect>{} << QPoint(-50, 0)
            << QPoint(0, 30);
        // No room anywhere: the windows cascade.
        const QRect small(0, 0, 400, 300);
        const QSize big(300, 200);
        QTest::newRow("no room: past the steps taken")
            << small << big << QList<QRect>{{50, 50, 300, 200}, {74, 74, 300, 200}}
            << QPoint(50, 50) << QPoint(98, 98);
        QTest::newRow("no room: steps wrap round inside the area")
            << small << big << QList<QRect>{{100, 100, 300, 200}} << QPoint(100, 100)
            << QPoint(23, 23);
        QTest::newRow("bigger than the area: its corner")
            << small << QSize(500, 400) << QList<QRect>{} << QPoint(80, 80) << QPoint(0, 0);
    }
    void freePlace()
    {
        QFETCH(QRect, area);
        QFETCH(QSize, size);
        QFETCH(QList<QRect>, taken);
        QFETCH(QPoint, preferred);
        QTEST(td::freePlace(area, size, taken, preferred), "place");
    }
};

TIDRA_TEST_MAIN(TestTimerPlacement)
#include "tst_timerplacement.moc"
