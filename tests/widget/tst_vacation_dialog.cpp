#include "app/Clock.h"
#include "tests/common/TestSupport.h"
#include "ui_holidaydialog.h"
#include "work/VacationDlg.h"

using td::HolidayRecord;
using td::VacationDlg;

class TestVacationDialog : public QObject
{
    Q_OBJECT

    const QDate today{2026, 12, 7};

private slots:
    void init() { td::clock::setFixed(QDateTime(today, QTime(10, 0))); }
    void cleanup() { td::clock::reset(); }

    void typeShowsItsWidgets()
    {
        VacationDlg dlg;
        QCOMPARE(dlg.holiday().type, int(td::TypeHoliday));
        QCOMPARE(dlg.ui->startDate->date(), today);
        QCOMPARE(dlg.ui->endDate->date(), today);
        dlg.show();
        QApplication::processEvents();
        QVERIFY(dlg.ui->holidayDate->isVisible());
        QVERIFY(!dlg.ui->startDate->isVisible() && !dlg.ui->vacationLength->isVisible());
        const QSize holidaySize = dlg.size();
        dlg.ui->holidayTypeCombo->setCurrentIndex(1);
        QVERIFY(!dlg.ui->holidayDate->isVisible());
        QVERIFY(dlg.ui->startDate->isVisible() && dlg.ui->vacationLength->isVisible());
        // The window takes the size of what is visible.
        QTRY_VERIFY(dlg.size().height() > holidaySize.height());
    }

    void rangeAndLengthCoupling_data()
    {
        QTest::addColumn<int>("shownLength");
        QTest::addColumn<int>("chosenEnd"); // days after the start; the user's choice
        QTest::addColumn<int>("endAfter");  // where the end date ends up
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("within range") << 10 << 20 << 20 << 20 << true;
        QTest::newRow("too long from 10") << 10 << 120 << 99 << 99 << true;
        QTest::newRow("before start") << 5 << -3 << 0 << 0 << true;
        QTest::newRow("before start from 0") << 0 << -3 << -3 << 0 << false;
    }
    void rangeAndLengthCoupling()
    {
        QFETCH(int, shownLength);
        QFETCH(int, chosenEnd);
        QFETCH(bool, accepted);
        td::test::PromptRecorder prompts;
        VacationDlg dlg;
        dlg.ui->holidayTypeCombo->setCurrentIndex(1);
        const QDate start(2027, 3, 1);
        dlg.ui->startDate->setDate(start);
        dlg.ui->endDate->setDate(start);
        dlg.ui->vacationLength->setValue(shownLength);
        QCOMPARE(dlg.ui->endDate->date(), start.addDays(shownLength));
        dlg.ui->endDate->setDate(start.addDays(chosenEnd));
        QTEST(int(start.daysTo(dlg.ui->endDate->date())), "endAfter");
        QTEST(dlg.ui->vacationLength->value(), "length");

        dlg.ui->nameEdit->setText("Trip");
        dlg.apply();
        QCOMPARE(dlg.result() == QDialog::Accepted, accepted);
        QCOMPARE(prompts.titles(), accepted ? QStringList() : QStringList{"Wrong vacation range"});
        if (!accepted)
            QCOMPARE(prompts.prompts[0].text, QString("Vacation can not finish before it's begin"));
        if (accepted)
            QCOMPARE(dlg.holiday(),
                     (HolidayRecord{"Trip", td::TypeVacation, start, dlg.ui->endDate->date()}));
    }

    void newStartKeepsTheEnd()
    {
        VacationDlg dlg;
        dlg.ui->holidayTypeCombo->setCurrentIndex(1);
        dlg.ui->vacationLength->setValue(13);
        QCOMPARE(dlg.ui->endDate->date(), today.addDays(13));
        dlg.ui->startDate->setDate(today.addDays(3));
        QCOMPARE(dlg.ui->endDate->date(), today.addDays(13));
        QCOMPARE(dlg.ui->vacationLength->value(), 10);
    }

    void fillsFromRecord_data()
    {
        QTest::addColumn<HolidayRecord>("record");
        QTest::addColumn<int>("length");
        // Longer than the length box shows: editing must not cut it.
        QTest::newRow("120 days") << HolidayRecord{"Long", 1, QDate(2027, 1, 1),
                                                   QDate(2027, 1, 1).addDays(120)}
                                  << 99;
        QTest::newRow("holiday") << HolidayRecord{" Padded  ", 0, QDate(2026, 12, 25),
                                                  QDate(2026, 12, 25)}
                                 << 0;
    }
    void fillsFromRecord()
    {
        QFETCH(HolidayRecord, record);
        VacationDlg dlg;
        dlg.setHoliday(record);
        QTEST(dlg.ui->vacationLength->value(), "length");
        QCOMPARE(dlg.ui->holidayTypeCombo->currentIndex(), record.type);
        QCOMPARE(dlg.holiday(), record);
    }

    void holidayFallsInCurrentYear_data()
    {
        QTest::addColumn<QDate>("chosen");
        QTest::addColumn<QDate>("clock");
        QTest::addColumn<QDate>("stored");
        // Moving it past today is left to the list refresh.
        QTest::newRow("passed") << QDate(2000, 3, 8) << today << QDate(2026, 3, 8);
        QTest::newRow("leap day, plain year") << QDate(2024, 2, 29) << today << QDate(2026, 2, 28);
        QTest::newRow("leap day, leap year")
            << QDate(2024, 2, 29) << QDate(2028, 1, 5) << QDate(2028, 2, 29);
    }
    void holidayFallsInCurrentYear()
    {
        QFETCH(QDate, chosen);
        QFETCH(QDate, clock);
        QFETCH(QDate, stored);
        td::clock::setFixed(QDateTime(clock, QTime(12, 0)));
        VacationDlg dlg;
        dlg.ui->holidayDate->setDate(chosen);
        dlg.ui->nameEdit->setText("Day");
        QCOMPARE(dlg.holiday(), (HolidayRecord{"Day", td::TypeHoliday, stored, stored}));
    }
};

TIDRA_TEST_MAIN(TestVacationDialog)
#include "tst_vacation_dialog.moc"
