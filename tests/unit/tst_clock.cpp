#include "app/Clock.h"
#include "app/Names.h"
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
    void namesByIndex_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("weekday");
        QTest::addColumn<QString>("singular");
        QTest::addColumn<QString>("plural");
        QTest::newRow("first") << 0 << "Sunday"
                               << "Minute"
                               << "Minutes";
        QTest::newRow("last unit") << 5 << "Friday"
                                   << "Year"
                                   << "Years";
        QTest::newRow("saturday") << 6 << "Saturday" << QString() << QString();
        QTest::newRow("negative") << -1 << QString() << QString() << QString();
    }
    void namesByIndex()
    {
        QFETCH(int, index);
        QFETCH(QString, weekday);
        QFETCH(QString, singular);
        QFETCH(QString, plural);
        QCOMPARE(td::weekdayName(index), weekday);
        QCOMPARE(td::unitName(index, false), singular);
        QCOMPARE(td::unitName(index, true), plural);
    }
};

TIDRA_TEST_MAIN(TestClock)
#include "tst_clock.moc"
