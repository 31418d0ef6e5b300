#include "storage/Placement.h"
#include "tests/common/TestSupport.h"

class TestStoragePlacement : public QObject
{
    Q_OBJECT
private slots:
    void savedCentreComesBackOnScreen_data()
    {
        QTest::addColumn<QPoint>("saved");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("restored");
        // Two monitors side by side; the primary one has a 30-pixel panel on top.
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
        QFETCH(QPoint, restored);
        const QRect primary(0, 30, 1280, 1050);
        const QList<QRect> areas{primary, QRect(1280, 0, 1920, 1080)};
        QCOMPARE(td::onScreenCentre(saved, size, areas, primary), restored);
    }
};

TIDRA_TEST_MAIN(TestStoragePlacement)
#include "tst_storage_placement.moc"
