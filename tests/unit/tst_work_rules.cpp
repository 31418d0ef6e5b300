// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/common/RulesSupport.h"
#include "work/WorkRules.h"

using td::HolidayRecord;
using namespace td::work;

namespace {

using td::test::addRows;
using td::test::at;

QDate date(const QString& s) // "yyyy-MM-dd", the year may be negative
{
    const int n = int(s.size());
    return n < 10 ? QDate()
                  : QDate(s.left(n - 6).toInt(), s.mid(n - 5, 2).toInt(), s.right(2).toInt());
}

// Monday to Friday at "9:00 12:00 13:00 18:00" (work, lunch, end of lunch, end of work).
Timetable week(const QString& times)
{
    const QStringList t = times.split(' ');
    auto time = [&](int i) { return QTime::fromString(t[i], "h:mm"); };
    Timetable w;
    w.fill(td::WorkDay{true, time(0), time(1), time(2), time(3)});
    w[0].enabled = w[6].enabled = false;
    return w;
}

// "2026-12-25" a holiday, "2025-12-24/2025-12-26" one over days, "v" before a vacation, "-"
// no date; space between records.
QList<HolidayRecord> records(const QString& s)
{
    QList<HolidayRecord> out;
    for (QString r : s.split(' ', Qt::SkipEmptyParts)) {
        const int type = r.startsWith('v') ? td::TypeVacation : td::TypeHoliday;
        const QStringList d = r.remove('v').split('/');
        out << HolidayRecord{"h", type, date(d[0]), date(d.last())};
    }
    return out;
}

QString iso(const QDate& d, const QDate& other)
{
    auto one = [](const QDate& d) { return d.isValid() ? d.toString(Qt::ISODate) : "-"; };
    return one(d) + " " + one(other);
}

} // namespace

class TestWorkRules : public QObject
{
    Q_OBJECT
private slots:
    // timetable | date | begin, lunch, end of lunch, end. A later moment not
    // later than the one before falls on the next day. Berlin skips 02:00 to
    // 03:00 on 2024-03-31.
    void moments_data()
    {
        addRows(R"(
office day              | 9:00 12:00 13:00 18:00 | 2026-12-07 | 12-07 09:00, 12-07 12:00, 12-07 13:00, 12-07 18:00
night shift             | 22:00 2:00 2:30 6:00   | 2026-12-07 | 12-07 22:00, 12-08 02:00, 12-08 02:30, 12-08 06:00
lunch begins with work  | 9:00 9:00 13:00 18:00  | 2026-12-07 | 12-07 09:00, 12-08 09:00, 12-08 13:00, 12-08 18:00
lunch in skipped hour   | 22:00 2:00 2:30 6:00   | 2024-03-30 | 03-30 22:00, 03-31 03:00, 03-31 03:30, 03-31 06:00)");
    }
    void moments()
    {
        QFETCH(QStringList, f);
        const WorkMoments m = workMoments(week(f[0])[1], date(f[1]), false);
        QStringList got;
        for (const QDateTime& t : {m.begin, m.lunchBegin, m.lunchEnd, m.end})
            got << t.toString("MM-dd HH:mm");
        QCOMPARE(got.join(", "), f[2]);
    }

    // timetable | now | no lunch, time to lunch, hide till lunch | the
    // windows "lunch dayEnd" on the tick and on recompute, and the day of the
    // shift that governs. The tick hides the end of the day before lunch even
    // with the lunch window off.
    void dayWindows_data()
    {
        addRows(R"(
hide till lunch, lunch off | 9:00 12:00 13:00 18:00 | 2026-12-07 10:00 | 0 0 1 | 00 01 7
lunch                      | 9:00 12:00 13:00 18:00 | 2026-12-07 12:30 | 0 1 0 | 01 01 7
work ends                  | 9:00 12:00 13:00 18:00 | 2026-12-07 18:00 | 0 1 0 | 00 00 7
no lunch                   | 9:00 12:00 13:00 18:00 | 2026-12-07 10:00 | 1 1 1 | 01 01 7
night, after midnight      | 22:00 2:00 2:30 6:00   | 2026-12-08 01:00 | 0 1 0 | 11 11 7
night ends: today's shift  | 22:00 2:00 2:30 6:00   | 2026-12-08 06:00 | 0 1 0 | 00 00 8
friday's night on saturday | 22:00 2:00 2:30 6:00   | 2026-12-12 04:00 | 0 1 0 | 01 01 11
sunday                     | 9:00 12:00 13:00 18:00 | 2026-12-13 10:00 | 0 1 0 | 00 00 -)");
    }
    void dayWindows()
    {
        QFETCH(QStringList, f);
        td::AppSettings s;
        s.workDays = week(f[0]);
        s.noLunch = f[2][0] == '1';
        s.timeToLunch = f[2][2] == '1';
        s.hideTillLunch = f[2][4] == '1';
        s.timeToEndDay = true;
        const QDateTime now = at(f[1]);
        auto pair = [](auto w) { return QString("%1%2").arg(int(w.lunch)).arg(int(w.dayEnd)); };
        WorkMoments m;
        QString got = pair(shownOnTick(s, now));
        if (currentShift(s.workDays, s.noLunch, now, &m)) {
            QCOMPARE(pair(dayWindowsOnTick(m, now, s)), got);
            got += " " + pair(dayWindowsOnUpdate(m, now, s)) + " " + QString::number(m.date.day());
        } else {
            got += " 00 -";
        }
        QCOMPARE(got, f[3]);
    }

    // today | holidays | whether the weekend works | the next day off and the
    // next vacation. A passed holiday wins; vacations and undated records are
    // no day off; the earliest vacation is the next, one that began today is past.
    void nextDayOffAndVacation_data()
    {
        addRows(R"(
today is off               | 2026-12-12 |                           | 0 | 2026-12-12 -
passed holiday wins        | 2026-12-10 | 2026-01-01                | 0 | 2026-01-01 -
earliest holiday wins      | 2026-12-07 | 2026-12-09 2026-12-08     | 0 | 2026-12-08 -
vacation is no day off     | 2026-12-10 | v2026-12-11               | 0 | 2026-12-12 2026-12-11
undated records ignored    | 2026-12-10 | - v-                      | 0 | 2026-12-12 -
every day works            | 2026-12-10 |                           | 1 | - -
began today, another later | 2026-12-07 | v2026-12-07 v2027-01-16   | 1 | - 2027-01-16
earliest vacation          | 2026-12-07 | v2027-03-07 v2027-01-06   | 1 | - 2027-01-06)");
    }
    void nextDayOffAndVacation()
    {
        QFETCH(QStringList, f);
        Timetable t = week("9:00 12:00 13:00 18:00");
        t[0].enabled = t[6].enabled = f[2] == "1";
        const QList<HolidayRecord> list = records(f[1]);
        const QDate today = date(f[0]);
        QCOMPARE(iso(nextDayOff(t, list, today), nextVacation(list, today)), f[3]);
    }

    // record | today | start/end after moving. A leap day moved year by year
    // never gets back to the 29th.
    void moveHolidayForward_data()
    {
        addRows(R"(
today moves         | 2026-12-25               | 2026-12-25 | 2027-12-25 2027-12-25
leap day            | 2024-02-29               | 2027-06-01 | 2028-02-28 2028-02-28
ages back           | -2000000-03-01           | 2026-12-06 | 2027-03-01 2027-03-01
range moves whole   | 2025-12-24/2025-12-26    | 2026-12-07 | 2026-12-24 2026-12-26
undated end stays   | 2025-01-01/-             | 2026-12-07 | 2027-01-01 -)");
    }
    void moveHolidayForward()
    {
        QFETCH(QStringList, f);
        HolidayRecord h = records(f[0])[0];
        const HolidayRecord before = h;
        const bool moved = td::work::moveHolidayForward(h, date(f[1]));
        QCOMPARE(moved, !(h == before));
        QCOMPARE(iso(h.startDate, h.endDate), f[2]);
        QVERIFY(!td::work::moveHolidayForward(h, date(f[1]))); // once a day
    }
};

TIDRA_RULES_TEST_MAIN(TestWorkRules)
#include "tst_work_rules.moc"
