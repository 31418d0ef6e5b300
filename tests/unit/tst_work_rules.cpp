// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/common/RulesSupport.h"
#include "work/WorkRules.h"

using td::HolidayRecord;
using td::WorkDay;
using td::test::at;
using namespace td::work;

Q_DECLARE_METATYPE(td::WorkDay)
Q_DECLARE_METATYPE(td::HolidayRecord)
Q_DECLARE_METATYPE(td::AppSettings)

namespace {

const WorkDay office{true, QTime(9, 0), QTime(12, 0), QTime(13, 0), QTime(18, 0)};
const WorkDay night{true, QTime(22, 0), QTime(2, 0), QTime(2, 30), QTime(6, 0)};

/// `day` from Monday to Friday.
Timetable week(const WorkDay& day)
{
    Timetable w;
    w.fill(day);
    w[0].enabled = w[6].enabled = false;
    return w;
}

HolidayRecord holiday(const QDate& start, const QDate& end = {})
{
    return HolidayRecord{"h", td::TypeHoliday, start, end.isNull() ? start : end};
}
HolidayRecord vacation(const QDate& start, const QDate& end = {})
{
    return HolidayRecord{"h", td::TypeVacation, start, end.isNull() ? start : end};
}
/// A calendar's holiday that does not come back every year.
HolidayRecord once(const QDate& start)
{
    return HolidayRecord{"h", td::TypeHoliday, start, start, false, "feed"};
}

// Which of the lunch and end-of-day windows show.
enum Shown { None = 0, Lunch = 1, DayEnd = 2, Both = 3 };

int shown(bool lunch, bool dayEnd)
{
    return (lunch ? Lunch : None) | (dayEnd ? DayEnd : None);
}

// How the lunch window is set up.
enum LunchSetting { LunchShown, LunchOffHideTillLunch, NoLunch };

/// `day` from Monday to Friday, every window switched on but as `lunch` says.
td::AppSettings settings(const WorkDay& day, const QList<HolidayRecord>& records = {},
                         LunchSetting lunch = LunchShown)
{
    td::AppSettings s;
    s.workDays = week(day);
    s.holidays = records;
    s.noLunch = lunch == NoLunch;
    s.timeToLunch = lunch != LunchOffHideTillLunch;
    s.hideTillLunch = lunch != LunchShown;
    s.timeToEndDay = s.timeToHoliday = true;
    return s;
}

} // namespace

class TestWorkRules : public QObject
{
    Q_OBJECT
private slots:
    // A later moment not later than the one before falls on the next day. Berlin skips 02:00
    // to 03:00 on 2024-03-31.
    void moments_data()
    {
        QTest::addColumn<WorkDay>("day");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QList<QDateTime>>("moments"); // begin, lunch, end of lunch, end
        const auto row = [](const char* name, const WorkDay& day, const QDate& date,
                            const QStringList& moments) {
            QList<QDateTime> list;
            for (const QString& m : moments)
                list << at(m);
            QTest::newRow(name) << day << date << list;
        };
        row("night shift", night, {2026, 12, 7},
            {"2026-12-07 22:00", "2026-12-08 02:00", "2026-12-08 02:30", "2026-12-08 06:00"});
        row("lunch begins with work", {true, QTime(9, 0), QTime(9, 0), QTime(13, 0), QTime(18, 0)},
            {2026, 12, 7},
            {"2026-12-07 09:00", "2026-12-08 09:00", "2026-12-08 13:00", "2026-12-08 18:00"});
        row("lunch in skipped hour", night, {2024, 3, 30},
            {"2024-03-30 22:00", "2024-03-31 03:00", "2024-03-31 03:30", "2024-03-31 06:00"});
    }
    void moments()
    {
        QFETCH(WorkDay, day);
        QFETCH(QDate, date);
        const WorkMoments m = workMoments(day, date, false);
        QTEST((QList{m.begin, m.lunchBegin, m.lunchEnd, m.end}), "moments");
    }

    // The windows on the tick and on recompute, and the day of the shift that governs (0:
    // none). The tick hides the end of the day before lunch even with the lunch window off. A
    // holiday or vacation day is a day off: no shift of its own, no countdown to a day off; a
    // night shift of the day before still runs into it. Mon 7 Dec to Fri 11 Dec 2026.
    void dayWindows_data()
    {
        QTest::addColumn<td::AppSettings>("settings");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("onTick");
        QTest::addColumn<int>("onUpdate");
        QTest::addColumn<int>("shiftDay");
        QTest::addColumn<bool>("holiday"); // the countdown to a day off shows
        const auto row = [](const char* name, const td::AppSettings& s, const char* now, int tick,
                            int update, int shiftDay, bool holiday) {
            QTest::newRow(name) << s << at(now) << tick << update << shiftDay << holiday;
        };
        const QDate d8(2026, 12, 8), d9(2026, 12, 9);
        row("hide till lunch, lunch off", settings(office, {}, LunchOffHideTillLunch),
            "2026-12-07 10:00", None, DayEnd, 7, true);
        row("work ends", settings(office), "2026-12-07 18:00", None, None, 7, true);
        row("no lunch", settings(office, {}, NoLunch), "2026-12-07 10:00", DayEnd, DayEnd, 7, true);
        row("night ends: today's shift", settings(night), "2026-12-08 06:00", None, None, 8, true);
        row("friday's night on saturday", settings(night), "2026-12-12 04:00", DayEnd, DayEnd, 11,
            false);
        row("sunday", settings(office), "2026-12-13 10:00", None, None, 0, false);
        row("last vacation day", settings(office, {vacation({2026, 11, 30}, d8)}),
            "2026-12-08 10:00", None, None, 0, false);
        row("day after a vacation", settings(office, {vacation({2026, 11, 30}, d8)}),
            "2026-12-09 10:00", Both, Both, 9, true);
        row("one-off holiday of another year", settings(office, {once({2025, 12, 8})}),
            "2026-12-08 10:00", Both, Both, 8, true);
        row("one-off holiday", settings(office, {once(d8)}), "2026-12-08 10:00", None, None, 0,
            false);
        row("range across the new year", settings(office, {holiday({2025, 12, 31}, {2026, 1, 2})}),
            "2027-01-01 10:00", None, None, 0, false);
        row("leap day on the 28th", settings(office, {holiday({2024, 2, 29})}), "2025-02-28 10:00",
            None, None, 0, false);
        row("night into a holiday", settings(night, {holiday(d9)}), "2026-12-09 01:00", Both, Both,
            8, false);
        row("night of a holiday", settings(night, {holiday(d8)}), "2026-12-09 01:00", None, None, 9,
            true);
    }
    void dayWindows()
    {
        QFETCH(td::AppSettings, settings);
        QFETCH(QDateTime, now);
        const WorkWindows tick = shownOnTick(settings, now);
        QTEST(shown(tick.lunch, tick.dayEnd), "onTick");
        QTEST(tick.holiday, "holiday");
        WorkMoments m;
        const bool working =
            currentShift(settings.workDays, settings.holidays, settings.noLunch, now, &m);
        QTEST(working ? m.date.day() : 0, "shiftDay");
        if (!working)
            return;
        const DayWindows onTick = dayWindowsOnTick(m, now, settings);
        QTEST(shown(onTick.lunch, onTick.dayEnd), "onTick");
        const DayWindows onUpdate = dayWindowsOnUpdate(m, now, settings);
        QTEST(shown(onUpdate.lunch, onUpdate.dayEnd), "onUpdate");
    }

    // A passed yearly holiday wins; a vacation day is a day off, but a vacation that began
    // today is past.
    void nextDayOffAndVacation_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QList<HolidayRecord>>("records");
        QTest::addColumn<bool>("weekendWorks");
        QTest::addColumn<QDate>("dayOff");
        QTest::addColumn<QDate>("vacation");
        const QDate d7(2026, 12, 7), d10(2026, 12, 10), sat(2026, 12, 12);
        QTest::newRow("today is off") << sat << QList<HolidayRecord>{} << false << sat << QDate();
        QTest::newRow("passed holiday wins")
            << d10 << QList{holiday({2026, 1, 1})} << false << QDate(2026, 1, 1) << QDate();
        QTest::newRow("vacation before the weekend")
            << d10 << QList{vacation({2026, 12, 11})} << false << QDate(2026, 12, 11)
            << QDate(2026, 12, 11);
        QTest::newRow("inside a vacation")
            << d10 << QList{vacation(d7, {2026, 12, 20})} << true << d10 << QDate();
        QTest::newRow("passed one-off holiday")
            << d7 << QList{once({2026, 12, 1}), once({2026, 12, 9})} << false << QDate(2026, 12, 9)
            << QDate();
        QTest::newRow("began today, another later")
            << d7 << QList{vacation(d7), vacation({2027, 1, 16})} << true << d7
            << QDate(2027, 1, 16);
    }
    void nextDayOffAndVacation()
    {
        QFETCH(QDate, today);
        QFETCH(QList<HolidayRecord>, records);
        QFETCH(bool, weekendWorks);
        Timetable t = week(office);
        t[0].enabled = t[6].enabled = weekendWorks;
        QTEST(nextDayOff(t, records, today), "dayOff");
        QTEST(nextVacation(records, today), "vacation");
    }

    // Moved once a day at most; a leap day moved year by year never gets back to the 29th.
    void moveHolidayForward_data()
    {
        QTest::addColumn<HolidayRecord>("record");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<HolidayRecord>("moved");
        const QDate xmas(2026, 12, 25);
        QTest::newRow("today moves") << holiday(xmas) << xmas << holiday(xmas.addYears(1));
        QTest::newRow("leap day") << holiday({2024, 2, 29}) << QDate(2027, 6, 1)
                                  << holiday({2028, 2, 28});
    }
    void moveHolidayForward()
    {
        QFETCH(HolidayRecord, record);
        QFETCH(QDate, today);
        QVERIFY(td::work::moveHolidayForward(record, today));
        QTEST(record, "moved");
        QVERIFY(!td::work::moveHolidayForward(record, today));
    }
};

TIDRA_RULES_TEST_MAIN(TestWorkRules)
#include "tst_work_rules.moc"
