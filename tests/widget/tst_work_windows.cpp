// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerMsgDlg.h"
#include "ui_holidaydialog.h"
#include "ui_maindialog.h"
#include "work/VacationDlg.h"

using namespace td;

namespace {

using td::test::addRows;

// 2026-12-07 is a Monday; Saturday the 12th is the next day off.
QDateTime at(int day, int h, int m = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(2026, 12, day), QTime(h, m, s, ms));
}

// "Name date [end]" records ("-" no date), "; " between; an end makes a vacation.
QList<HolidayRecord> records(const QString& s)
{
    QList<HolidayRecord> out;
    for (const QString& r : s.split("; ", Qt::SkipEmptyParts)) {
        const QStringList w = r.split(' ');
        const QDate start = QDate::fromString(w.value(1), Qt::ISODate);
        out << HolidayRecord{w[0], w.size() > 2 ? TypeVacation : TypeHoliday, start,
                             w.size() > 2 ? QDate::fromString(w[2], Qt::ISODate) : start};
    }
    return out;
}

} // namespace

class TestWorkWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainSettingsDlg> main;
    test::FakeSoundPlayer sound;
    test::PromptRecorder prompts;

    QTableWidget* table() const { return main->ui->holidaysList; }
    // The table as "name dates; ..." and "@" the current row.
    QString rows() const
    {
        QStringList out;
        for (int r = 0; r < table()->rowCount(); ++r)
            out << table()->item(r, 1)->text() + ' ' + table()->item(r, 2)->text();
        return out.join("; ") + QString(" @%1").arg(table()->currentRow());
    }
    void setList(const QList<HolidayRecord>& list)
    {
        appSettings->holidays = list;
        main->updateHolidays();
    }
private slots:
    void initTestCase()
    {
        clock::setFixed(at(7, 10));
        main = std::make_unique<MainSettingsDlg>();
        main->mainTimer->stop(); // the tests tick by hand
    }
    // The default week: Monday to Friday 9:00 to 18:00, lunch 13:00 to 14:00.
    void init()
    {
        clock::setFixed(at(7, 10));
        main->ui->noLunchDay->setChecked(false);
        for (QCheckBox* box : {main->ui->workTimerToLunch, main->ui->workTimerToDayEnd,
                               main->ui->workTimerHoliday, main->ui->workTimerVacation})
            box->setChecked(true);
        main->ui->workTimerNoDayEndTillLunch->setChecked(false);
        setList({});
    }

    // records | what the user does: "del row", "edit row name", "add name date [end|+length]"
    // (an end or a length makes a vacation) | the table after and the warnings. A passed
    // holiday moves on a year (a leap day to the 28th), a passed vacation stays; a holiday
    // entered before its date this year stays this year. The current row, not the clicked
    // item, names the record edited; the editor keeps what it did not change (120 days of a
    // vacation, more than its length box holds). A vacation may last one day, not end before
    // it begins.
    void holidays_data()
    {
        addRows(R"(
passed ones move on | Lost -; Sea 2024-08-01 2024-08-14; Spring 2026-03-08; Leap 2024-02-29 | show | Lost ; Sea Aug 01 2024 - Aug 14 2024; Spring Mar 08 2027; Leap Feb 28 2027 @0
add before its date | A 2027-01-01 | add Xmas 2000-12-25 | A Jan 01 2027; Xmas Dec 25 2026 @1
add after its date  |              | add NY 2000-01-01   | NY Jan 01 2027 @0
one-day vacation    |              | add Trip 2027-03-01 2027-03-01 | Trip Mar 01 2027 - Mar 01 2027 @0
length up to 99     |              | add Trip 2027-03-01 +120 | Trip Mar 01 2027 - Jun 08 2027 @0
end before start    |              | add Trip 2027-03-01 2027-02-26 | @-1 Wrong vacation range: Vacation can not finish before it's begin
delete the first    | A 2027-01-01; B 2027-02-01 2027-06-01; C 2027-03-01 | del 0 | B Feb 01 2027 - Jun 01 2027; C Mar 01 2027 @0
delete the last     | A 2027-01-01; B 2027-02-01 2027-06-01; C 2027-03-01 | del 2 | A Jan 01 2027; B Feb 01 2027 - Jun 01 2027 @1
edit keeps the rest | A 2027-01-01; B 2027-02-01 2027-06-01; C 2027-03-01 | edit 1 Trip | A Jan 01 2027; Trip Feb 01 2027 - Jun 01 2027; C Mar 01 2027 @1)");
    }
    void holidays()
    {
        QFETCH(QStringList, f);
        const QStringList a = f[1].split(' ');
        prompts.prompts.clear();
        setList(records(f[0]));
        table()->setCurrentCell(a.value(1).toInt(), 1);
        if (a[0] != "show" && a[0] != "del")
            test::answerEditor<VacationDlg>([a](Ui::HolidayDialog* ui) {
                const QDate start = QDate::fromString(a.value(2), Qt::ISODate);
                ui->nameEdit->setText(a[a[0] == "add" ? 1 : 2]);
                if (a[0] == "add")
                    ui->holidayTypeCombo->setCurrentIndex(a.size() > 3);
                ui->holidayDate->setDate(start);
                ui->startDate->setDate(start);
                if (a.value(3).startsWith('+'))
                    ui->vacationLength->setValue(a[3].toInt());
                else
                    ui->endDate->setDate(QDate::fromString(a.value(3), Qt::ISODate));
            });
        if (a[0] == "add")
            main->addHoliday();
        else if (a[0] == "edit")
            main->editHoliday(table()->item(0, 1));
        else if (a[0] == "del")
            QTest::mouseClick(main->ui->deleteHolidayButton, Qt::LeftButton);
        QString got = rows();
        for (const auto& p : prompts.prompts)
            got += " " + p.title + ": " + p.text;
        QCOMPARE(got.trimmed(), f[2]);
    }

    // Escape unticks a window's box for good and the choice is stored; the
    // menu's hide lasts one tick. On a day off the day windows go, the
    // vacation window stays.
    void hideAndEscape()
    {
        auto shown = [this] { // "lunch dayEnd holiday vacation" in 0/1
            QString s;
            for (TimerMsgDlg* w :
                 {main->lunchTimer, main->dayEndTimer, main->holidayTimer, main->vacationTimer})
                s += w->isVisible() ? '1' : '0';
            return s;
        };
        setList(records("Sea 2027-07-01 2027-07-14"));
        QCOMPARE(main->vacationTimer->timerRecord().name, QString("Time to vacation"));
        QCOMPARE(main->vacationTimer->dateTime, QDateTime(QDate(2027, 7, 1), QTime(0, 0)));
        QTest::keyClick(main->lunchTimer, Qt::Key_Escape);
        QVERIFY(!main->ui->workTimerToLunch->isChecked());
        QCOMPARE(test::store().value("work/TimeToLunch", true).toBool(), false);
        main->holidayTimer->hideAction->trigger();
        QCOMPARE(shown(), QString("0101"));
        QVERIFY(main->ui->workTimerHoliday->isChecked());
        main->updateWorkingTimersVisibility();
        QCOMPARE(shown(), QString("0111"));
        clock::setFixed(at(12, 10));
        main->updateWorkingTimersVisibility();
        QCOMPARE(shown(), QString("0001"));
    }

    // A window that reached its target reports itself as counting up; at midnight the targets
    // move to the new day, a holiday of today moves on a year, and the window counts down again,
    // so it finishes again.
    void midnightRecomputes()
    {
        setList(records("Feast 2026-12-08"));
        QSignalSpy finished(main->lunchTimer, &TimerMsgDlg::directionChanged);
        clock::setFixed(at(7, 13, 0, 0, 50));
        main->lunchTimer->updateTimer();
        QVERIFY(finished.size() == 1 && !main->lunchTimer->isVisible());
        clock::setFixed(at(7, 23, 59, 59, 900));
        main->updateWorkingTimersVisibility();
        clock::advance(200);
        main->updateWorkingTimersVisibility();
        QCOMPARE(QList({main->lunchTimer->dateTime, main->dayEndTimer->dateTime,
                        main->holidayTimer->dateTime}),
                 QList({at(8, 13), at(8, 18), at(12, 0)}));
        QCOMPARE(appSettings->holidays[0].startDate, QDate(2027, 12, 8));
        clock::setFixed(at(8, 13, 0, 0, 50));
        main->lunchTimer->updateTimer();
        QCOMPARE(finished.size(), 2);
    }
};

TIDRA_TEST_MAIN(TestWorkWindows)
#include "tst_work_windows.moc"
