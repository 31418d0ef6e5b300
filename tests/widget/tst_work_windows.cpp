// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/WallTimer.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerMsgDlg.h"
#include "ui_holidaydialog.h"
#include "work/VacationDlg.h"

using namespace td;

namespace {

enum WorkWindow { Lunch, DayEnd, Holiday, Vacation };

// 2026-12-07 is a Monday; Saturday the 12th is the next day off.
QDateTime at(int day, int h, int m = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(2026, 12, day), QTime(h, m, s, ms));
}

HolidayRecord holiday(const QString& name, const char* date = "")
{
    const QDate d = QDate::fromString(date, Qt::ISODate);
    return {name, TypeHoliday, d, d};
}

HolidayRecord vacation(const QString& name, const char* start, const char* end)
{
    return {name, TypeVacation, QDate::fromString(start, Qt::ISODate),
            QDate::fromString(end, Qt::ISODate)};
}

} // namespace

Q_DECLARE_METATYPE(td::HolidayRecord)

class TestWorkWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainSettingsDlg> main;
    test::FakeSoundPlayer sound;
    test::PromptRecorder prompts;

    template <typename T = QWidget> T* get(const QString& name) const
    {
        return test::child<T>(main.get(), name);
    }
    TimerMsgDlg* window(WorkWindow which) const { return main->workWindows()[which]; }
    QTableWidget* table() const { return get<QTableWidget>("holidaysList"); }
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
    // The tests tick by hand.
    void tick()
    {
        main->updateMainTimer();
        get<WallTimer>("mainTimer")->stop();
    }

private slots:
    void initTestCase()
    {
        clock::setFixed(at(7, 10));
        main = std::make_unique<MainSettingsDlg>();
        get<WallTimer>("mainTimer")->stop();
    }
    // The default week: Monday to Friday 9:00 to 18:00, lunch 13:00 to 14:00.
    void init()
    {
        clock::setFixed(at(7, 10));
        for (const char* box :
             {"workTimerToLunch", "workTimerToDayEnd", "workTimerHoliday", "workTimerVacation"})
            get<QCheckBox>(box)->setChecked(true);
        setList({});
    }

    // A holiday entered before its date this year stays this year. The current row, not the
    // clicked item, names the record edited; the editor keeps what it did not change. A
    // vacation may last one day, not end before it begins. Undo brings a deleted one back.
    void holidays_data()
    {
        QTest::addColumn<QList<HolidayRecord>>("records");
        QTest::addColumn<QString>("action"); // add, edit, delete or undo (a deletion)
        QTest::addColumn<int>("row");
        QTest::addColumn<HolidayRecord>("entered"); // the editor's fields set (null dates: none)
        QTest::addColumn<QString>("shown");         // the table, then the warnings
        using List = QList<HolidayRecord>;
        const List abc{holiday("A", "2027-01-01"), vacation("B", "2027-02-01", "2027-06-01"),
                       holiday("C", "2027-03-01")};
        QTest::newRow("add before its date")
            << List{holiday("A", "2027-01-01")} << "add" << 0 << holiday("Xmas", "2000-12-25")
            << "A Jan 01 2027; Xmas Dec 25 2026 @1";
        QTest::newRow("one-day vacation")
            << List() << "add" << 0 << vacation("Trip", "2027-03-01", "2027-03-01")
            << "Trip Mar 01 2027 - Mar 01 2027 @0";
        QTest::newRow("end before start")
            << List() << "add" << 0 << vacation("Trip", "2027-03-01", "2027-02-26")
            << "@-1 Wrong vacation range: Vacation can not finish before it's begin";
        QTest::newRow("delete the first") << abc << "delete" << 0 << HolidayRecord()
                                          << "B Feb 01 2027 - Jun 01 2027; C Mar 01 2027 @0";
        QTest::newRow("undo") << abc << "undo" << 1 << HolidayRecord()
                              << "A Jan 01 2027; B Feb 01 2027 - Jun 01 2027; C Mar 01 2027 @1";
        QTest::newRow("edit keeps the rest")
            << abc << "edit" << 1 << holiday("Trip")
            << "A Jan 01 2027; Trip Feb 01 2027 - Jun 01 2027; C Mar 01 2027 @1";
    }
    void holidays()
    {
        QFETCH(QList<HolidayRecord>, records);
        QFETCH(QString, action);
        QFETCH(int, row);
        QFETCH(HolidayRecord, entered);
        prompts.prompts.clear();
        setList(records);
        table()->setCurrentCell(row, 1);
        if (action == "add" || action == "edit")
            test::answerEditor<VacationDlg>([=](Ui::HolidayDialog* ui) {
                ui->nameEdit->setText(entered.name);
                if (action == "add")
                    ui->holidayTypeCombo->setCurrentIndex(entered.type);
                ui->holidayDate->setDate(entered.startDate);
                ui->startDate->setDate(entered.startDate);
                if (entered.type == TypeVacation)
                    ui->endDate->setDate(entered.endDate);
            });
        if (action == "add")
            main->addHoliday();
        else if (action == "edit")
            main->editHoliday(table()->item(0, 1));
        else
            QTest::mouseClick(get<QPushButton>("deleteHolidayButton"), Qt::LeftButton);
        if (action == "undo")
            QTest::mouseClick(get<QPushButton>("holidayUndoButton"), Qt::LeftButton);
        QString got = rows();
        for (const QString& prompt : prompts.prompts)
            got += " " + prompt;
        QTEST(got.trimmed(), "shown");
    }

    // Escape unticks a window's box for good and the choice is stored.
    void escapeUnticks()
    {
        QTest::keyClick(window(Lunch), Qt::Key_Escape);
        QVERIFY(!get<QCheckBox>("workTimerToLunch")->isChecked());
        QCOMPARE(test::store().value("work/TimeToLunch", true).toBool(), false);
        tick();
        QVERIFY(!window(Lunch)->isVisible());
    }

    // A window that reached its target reports itself as counting up; at midnight the targets
    // move to the new day and the window counts down again, so it finishes again.
    void midnightRecomputes()
    {
        setList({holiday("Feast", "2026-12-25")});
        QSignalSpy finished(window(Lunch), &TimerMsgDlg::directionChanged);
        clock::setFixed(at(7, 13, 0, 0, 50));
        window(Lunch)->updateTimer();
        QVERIFY(finished.size() == 1 && !window(Lunch)->isVisible());
        clock::setFixed(at(7, 23, 59, 59, 900));
        tick();
        clock::advance(200);
        tick();
        QCOMPARE(
            QList({window(Lunch)->dateTime, window(DayEnd)->dateTime, window(Holiday)->dateTime}),
            QList({at(8, 13), at(8, 18), at(12, 0)}));
        clock::setFixed(at(8, 13, 0, 0, 50));
        window(Lunch)->updateTimer();
        QCOMPARE(finished.size(), 2);
    }

    // Dates in the table follow the locale: never month first where the day comes first,
    // never a month name in another order than the language's.
    void holidayDatesInTheLocale()
    {
        QLocale::setDefault(QLocale("de_DE"));
        setList({holiday("Fest", "2027-05-09"), vacation("Reise", "2027-06-02", "2027-06-04")});
        QLocale::setDefault(QLocale::c());
        QCOMPARE(rows(), "Fest 09.05.27; Reise 02.06.27 - 04.06.27 @-1");
    }
};

TIDRA_TEST_MAIN(TestWorkWindows)
#include "tst_work_windows.moc"
