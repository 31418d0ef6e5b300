#include "tests/common/TestSupport.h"
#include "work/WorkRules.h"

using td::HolidayRecord;
Q_DECLARE_METATYPE(td::HolidayRecord)
using td::WorkDay;
using namespace td::work;

namespace {

WorkDay day(const char* begin, const char* lunchBegin, const char* lunchEnd, const char* end)
{
    WorkDay d;
    d.enabled = true;
    d.workBegin = QTime::fromString(begin, "h:mm");
    d.lunchBegin = QTime::fromString(lunchBegin, "h:mm");
    d.lunchEnd = QTime::fromString(lunchEnd, "h:mm");
    d.workEnd = QTime::fromString(end, "h:mm");
    return d;
}

/// Monday to Friday share one timetable; Saturday and Sunday are off.
Timetable week(const WorkDay& workday)
{
    Timetable t{};
    for (int i = 1; i <= 5; ++i)
        t[size_t(i)] = workday;
    for (int i : {0, 6}) {
        t[size_t(i)] = workday;
        t[size_t(i)].enabled = false;
    }
    return t;
}

HolidayRecord holiday(const QDate& date, int type = td::TypeHoliday, QDate end = QDate())
{
    return HolidayRecord{"h", type, date, end.isValid() ? end : date};
}

QDateTime at(int y, int m, int d, int h, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

// 2026-12-07 is a Monday.
const QDate monday(2026, 12, 7);

} // namespace

class TestWorkRules : public QObject
{
    Q_OBJECT
private slots:
    void moments_data()
    {
        QTest::addColumn<WorkDay>("workday");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<bool>("noLunch");
        QTest::addColumn<QDateTime>("b");
        QTest::addColumn<QDateTime>("l1");
        QTest::addColumn<QDateTime>("l2");
        QTest::addColumn<QDateTime>("e");

        QTest::newRow("office day")
            << day("9:00", "12:00", "13:00", "18:00") << monday << false << at(2026, 12, 7, 9)
            << at(2026, 12, 7, 12) << at(2026, 12, 7, 13) << at(2026, 12, 7, 18);
        QTest::newRow("night shift")
            << day("22:00", "2:00", "2:30", "6:00") << monday << false << at(2026, 12, 7, 22)
            << at(2026, 12, 8, 2) << at(2026, 12, 8, 2, 30) << at(2026, 12, 8, 6);
        QTest::newRow("lunch begins with work")
            << day("9:00", "9:00", "13:00", "18:00") << monday << false << at(2026, 12, 7, 9)
            << at(2026, 12, 8, 9) << at(2026, 12, 8, 13) << at(2026, 12, 8, 18);
        // Europe/Berlin: 2024-03-31 02:00 jumps to 03:00.
        QTest::newRow("lunch in skipped hour")
            << day("22:00", "2:00", "2:30", "6:00") << QDate(2024, 3, 30) << false
            << at(2024, 3, 30, 22) << at(2024, 3, 31, 3) << at(2024, 3, 31, 3, 30)
            << at(2024, 3, 31, 6);
    }
    void moments()
    {
        QFETCH(WorkDay, workday);
        QFETCH(QDate, date);
        QFETCH(bool, noLunch);
        const WorkMoments m = workMoments(workday, date, noLunch);
        QTEST(m.begin, "b");
        QTEST(m.lunchBegin, "l1");
        QTEST(m.lunchEnd, "l2");
        QTEST(m.end, "e");
        QVERIFY(m.end.isValid());
    }

    void dayWindows_data()
    {
        QTest::addColumn<WorkDay>("workday");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("noLunch");
        QTest::addColumn<bool>("timeToLunch");
        QTest::addColumn<bool>("hideTillLunch");
        // Expected "lunch dayEnd" windows as 0/1: on the tick, then on recompute.
        QTest::addColumn<QString>("shown");

        const WorkDay office = day("9:00", "12:00", "13:00", "18:00");
        const WorkDay night = day("22:00", "2:00", "2:30", "6:00");
        const QDateTime ten = at(2026, 12, 7, 10);
        // The tick hides the end of the day before lunch even with the lunch window off.
        QTest::newRow("hide till lunch, lunch window off")
            << office << ten << false << false << true << "00 01";
        QTest::newRow("lunch") << office << at(2026, 12, 7, 12, 30) << false << true << false
                               << "01 01";
        QTest::newRow("work ends")
            << office << at(2026, 12, 7, 18) << false << true << false << "00 00";
        QTest::newRow("no lunch") << office << ten << true << true << true << "01 01";
        QTest::newRow("night, after midnight")
            << night << at(2026, 12, 8, 1) << false << true << false << "11 11";
        QTest::newRow("friday's night on saturday")
            << night << at(2026, 12, 12, 4) << false << true << false << "01 01";
    }
    void dayWindows()
    {
        QFETCH(WorkDay, workday);
        QFETCH(QDateTime, now);
        QFETCH(bool, noLunch);
        QFETCH(bool, timeToLunch);
        QFETCH(bool, hideTillLunch);
        QFETCH(QString, shown);
        const QString tick = shown.left(2);
        const QString update = shown.right(2);

        td::AppSettings s;
        s.workDays = week(workday);
        s.noLunch = noLunch;
        s.timeToLunch = timeToLunch;
        s.hideTillLunch = hideTillLunch;
        s.timeToEndDay = true;
        auto pair = [](const DayWindows& w) {
            return QString("%1%2").arg(int(w.lunch)).arg(int(w.dayEnd));
        };
        WorkMoments shift;
        const bool working = currentShift(s.workDays, s.noLunch, now, &shift);
        QCOMPARE(working ? pair(dayWindowsOnUpdate(shift, now, s)) : QString("00"), update);
        QCOMPARE(working ? pair(dayWindowsOnTick(shift, now, s)) : QString("00"), tick);
        const WorkWindows all = shownOnTick(s, now);
        QCOMPARE(pair(DayWindows{all.lunch, all.dayEnd}), tick);
    }

    void nextDayOff_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QList<HolidayRecord>>("holidays");
        QTest::addColumn<bool>("allWork");
        QTest::addColumn<QDate>("expected");

        const QDate thursday(2026, 12, 10);
        const QDate saturday(2026, 12, 12);
        using L = QList<HolidayRecord>;
        QTest::newRow("weekend") << thursday << L{} << false << saturday;
        QTest::newRow("today is off") << saturday << L{} << false << saturday;
        QTest::newRow("passed holiday wins")
            << thursday << L{holiday(QDate(2026, 1, 1))} << false << QDate(2026, 1, 1);
        QTest::newRow("vacation is no day off")
            << thursday << L{holiday(QDate(2026, 12, 11), td::TypeVacation)} << false << saturday;
        QTest::newRow("undated holiday ignored")
            << thursday << L{holiday(QDate())} << false << saturday;
        QTest::newRow("every day works") << thursday << L{} << true << QDate();
    }
    void nextDayOff()
    {
        QFETCH(QDate, today);
        QFETCH(QList<HolidayRecord>, holidays);
        QFETCH(bool, allWork);
        Timetable t = week(day("9:00", "12:00", "13:00", "18:00"));
        if (allWork)
            for (auto& d : t)
                d.enabled = true;
        QTEST(td::work::nextDayOff(t, holidays, today), "expected");
    }

    void nextVacation_data()
    {
        QTest::addColumn<QList<HolidayRecord>>("holidays");
        QTest::addColumn<QDate>("expected");
        using L = QList<HolidayRecord>;
        const QDate today = monday;
        QTest::newRow("began today, another later")
            << L{holiday(today, td::TypeVacation), holiday(today.addDays(40), td::TypeVacation)}
            << today.addDays(40);
        // Holidays and undated entries are no vacation.
        QTest::newRow("earliest, not first")
            << L{holiday(today.addDays(90), td::TypeVacation), holiday(today.addDays(3)),
                 holiday(QDate(), td::TypeVacation), holiday(today.addDays(30), td::TypeVacation)}
            << today.addDays(30);
    }
    void nextVacation()
    {
        QFETCH(QList<HolidayRecord>, holidays);
        QTEST(td::work::nextVacation(holidays, monday), "expected");
    }

    void moveHolidayForward_data()
    {
        QTest::addColumn<HolidayRecord>("record");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<HolidayRecord>("expected"); // the record itself when it stays
        const QDate xmas(2026, 12, 25);
        QTest::newRow("today moves") << holiday(xmas) << xmas << holiday(QDate(2027, 12, 25));
        QTest::newRow("years back, not yet this year")
            << holiday(QDate(1990, 5, 1)) << QDate(2026, 4, 30) << holiday(QDate(2026, 5, 1));
        // Moved year by year it never gets back to the 29th, even in a leap year.
        QTest::newRow("leap day into a leap year")
            << holiday(QDate(2024, 2, 29)) << QDate(2027, 6, 1) << holiday(QDate(2028, 2, 28));
        QTest::newRow("ages back")
            << holiday(QDate(-2000000, 3, 1)) << QDate(2026, 12, 6) << holiday(QDate(2027, 3, 1));
        QTest::newRow("undated end stays undated")
            << HolidayRecord{"h", 0, QDate(2025, 1, 1), QDate()} << monday
            << HolidayRecord{"h", 0, QDate(2027, 1, 1), QDate()};
        const HolidayRecord trip = holiday(QDate(2020, 8, 1), td::TypeVacation, QDate(2020, 8, 14));
        QTest::newRow("vacation never moves") << trip << monday << trip;
    }
    void moveHolidayForward()
    {
        QFETCH(HolidayRecord, record);
        QFETCH(QDate, today);
        QFETCH(HolidayRecord, expected);
        QCOMPARE(td::work::moveHolidayForward(record, today), !(record == expected));
        QCOMPARE(record, expected);
        // A second pass on the same day leaves it.
        QVERIFY(!td::work::moveHolidayForward(record, today));
    }

    void localMomentInGap()
    {
        // Europe/Berlin: 2024-03-31 02:00 CET becomes 03:00 CEST.
        QCOMPARE(localMoment(QDate(2024, 3, 31), QTime(2, 30)), at(2024, 3, 31, 3, 30));
        QCOMPARE(localMoment(QDate(2024, 3, 31), QTime()), at(2024, 3, 31, 0));
    }
};

TIDRA_TEST_MAIN(TestWorkRules)
#include "tst_work_rules.moc"
