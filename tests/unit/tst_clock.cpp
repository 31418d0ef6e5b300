#include "app/Clock.h"
#include "tests/common/TestSupport.h"

class TestClock : public QObject
{
    Q_OBJECT
private slots:
    void pinnedClockAdvances()
    {
        const QDateTime t(QDate(2024, 3, 31), QTime(1, 59, 59));
        td::clock::setFixed(t);
        QCOMPARE(td::now(), t);
        td::clock::advance(1000);
        // Europe/Berlin springs forward at 02:00 to 03:00.
        QCOMPARE(td::now().time(), QTime(3, 0, 0));
        td::clock::reset();
        QVERIFY(!td::clock::isFixed());
        QVERIFY(qAbs(td::now().msecsTo(QDateTime::currentDateTime())) < 5000);
    }
};

TIDRA_TEST_MAIN(TestClock)
#include "tst_clock.moc"
