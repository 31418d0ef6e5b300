#include "tests/common/TestSupport.h"
#include "work/WorkRules.h"

using td::HolidayRecord;

class TestHolidayRules : public QObject
{
    Q_OBJECT
private slots:
    void moveForward_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<QDate>("newStart");
        QTest::addColumn<QDate>("newEnd");

        const int H = td::TypeHoliday;
        const QDate xmas(2026, 12, 25);
        QTest::newRow("today moves")
            << H << xmas << xmas << xmas << true << QDate(2027, 12, 25) << QDate(2027, 12, 25);
        QTest::newRow("years back, not yet this year")
            << H << QDate(1990, 5, 1) << QDate(1990, 5, 1) << QDate(2026, 4, 30) << true
            << QDate(2026, 5, 1) << QDate(2026, 5, 1);
        QTest::newRow("years back, passed this year")
            << H << QDate(1990, 5, 1) << QDate(1990, 5, 1) << QDate(2026, 12, 6) << true
            << QDate(2027, 5, 1) << QDate(2027, 5, 1);
        // Moved year by year it never gets back to the 29th, even in a leap year.
        QTest::newRow("leap day into a leap year")
            << H << QDate(2024, 2, 29) << QDate(2024, 2, 29) << QDate(2027, 6, 1) << true
            << QDate(2028, 2, 28) << QDate(2028, 2, 28);
        QTest::newRow("undated") << H << QDate() << QDate() << QDate(2026, 12, 6) << false
                                 << QDate() << QDate();
        QTest::newRow("vacation never moves")
            << int(td::TypeVacation) << QDate(2020, 8, 1) << QDate(2020, 8, 14)
            << QDate(2026, 12, 6) << false << QDate(2020, 8, 1) << QDate(2020, 8, 14);
        QTest::newRow("undated end stays undated")
            << H << QDate(2025, 1, 1) << QDate() << QDate(2026, 12, 6) << true << QDate(2027, 1, 1)
            << QDate();
        QTest::newRow("ages back")
            << H << QDate(-2000000, 3, 1) << QDate(-2000000, 3, 1) << QDate(2026, 12, 6) << true
            << QDate(2027, 3, 1) << QDate(2027, 3, 1);
    }
    void moveForward()
    {
        QFETCH(int, type);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QDate, today);
        HolidayRecord r{"Day", type, start, end};
        QTEST(td::work::moveHolidayForward(r, today), "moved");
        QTEST(r.startDate, "newStart");
        QTEST(r.endDate, "newEnd");
        // A moved holiday lies ahead, so a second pass on the same day leaves it.
        if (r.type == td::TypeHoliday && r.startDate.isValid())
            QVERIFY(r.startDate > today);
        const HolidayRecord once = r;
        QVERIFY(!td::work::moveHolidayForward(r, today));
        QCOMPARE(r, once);
    }

    void localMomentInGap_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QDateTime>("expected");
        // Europe/Berlin: 2024-03-31 02:00 CET becomes 03:00 CEST.
        QTest::newRow("in the gap")
            << QDate(2024, 3, 31) << QTime(2, 30) << QDateTime(QDate(2024, 3, 31), QTime(3, 30));
        QTest::newRow("null time")
            << QDate(2024, 3, 31) << QTime() << QDateTime(QDate(2024, 3, 31), QTime(0, 0));
    }
    void localMomentInGap()
    {
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        const QDateTime m = td::work::localMoment(date, time);
        QVERIFY(m.isValid());
        QTEST(m, "expected");
    }
};

TIDRA_TEST_MAIN(TestHolidayRules)
#include "tst_holiday_rules.moc"
