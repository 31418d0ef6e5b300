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

    void startsAsAnEmptyHoliday()
    {
        VacationDlg dlg;
        QCOMPARE(dlg.windowTitle(), QString("Holiday"));
        QVERIFY(dlg.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(dlg.ui->holidayTypeCombo->currentIndex(), 0);
        QCOMPARE(dlg.ui->startDate->date(), today);
        QCOMPARE(dlg.ui->endDate->date(), today);
        QCOMPARE(dlg.ui->vacationLength->value(), 0);
        QCOMPARE(dlg.ui->holidayDate->date().month(), 1);
        QCOMPARE(dlg.ui->holidayDate->date().day(), 1);
        QCOMPARE(dlg.ui->holidayDate->displayFormat(), QString("dd MMM"));
        QCOMPARE(dlg.ui->vacationLength->maximum(), 99);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.focusWidget(), dlg.ui->nameEdit);
    }

    void typeShowsItsWidgets_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("holiday") << 0;
        QTest::newRow("vacation") << 1;
    }
    void typeShowsItsWidgets()
    {
        QFETCH(int, type);
        VacationDlg dlg;
        dlg.ui->holidayTypeCombo->setCurrentIndex(type);
        dlg.show();
        QApplication::processEvents();
        const bool holiday = type == 0;
        QCOMPARE(dlg.ui->holidayDate->isVisible(), holiday);
        QCOMPARE(dlg.ui->label_2->isVisible(), holiday);
        for (QWidget* w : {(QWidget*)dlg.ui->startDate, (QWidget*)dlg.ui->endDate,
                           (QWidget*)dlg.ui->vacationLength, (QWidget*)dlg.ui->label_3,
                           (QWidget*)dlg.ui->label_4, (QWidget*)dlg.ui->label_5})
            QCOMPARE(w->isVisible(), !holiday);
        QVERIFY(dlg.ui->nameEdit->isVisible());
        // The window takes the size of what is visible.
        const QSize size = dlg.size();
        dlg.ui->holidayTypeCombo->setCurrentIndex(1 - type);
        QTRY_COMPARE(dlg.size().height() > size.height(), holiday);
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
        QTest::newRow("too long from 99") << 99 << 120 << 120 << 99 << true;
        QTest::newRow("before start") << 5 << -3 << 0 << 0 << true;
        QTest::newRow("before start from 0") << 0 << -3 << -3 << 0 << false;
        QTest::newRow("one day") << 4 << 0 << 0 << 0 << true;
    }
    void rangeAndLengthCoupling()
    {
        QFETCH(int, shownLength);
        QFETCH(int, chosenEnd);
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
        QFETCH(bool, accepted);
        QCOMPARE(dlg.result() == QDialog::Accepted, accepted);
        if (accepted) {
            QVERIFY(prompts.prompts.isEmpty());
            const HolidayRecord r = dlg.holiday();
            QCOMPARE(r.type, int(td::TypeVacation));
            QCOMPARE(r.startDate, start);
            QCOMPARE(r.endDate, dlg.ui->endDate->date());
        } else {
            QCOMPARE(prompts.prompts.size(), 1);
            QCOMPARE(prompts.prompts[0].kind, td::prompts::Kind::Warning);
            QCOMPARE(prompts.prompts[0].title, QString("Wrong vacation range"));
            QCOMPARE(prompts.prompts[0].text, QString("Vacation can not finish before it's begin"));
            // The user's input stays.
            QCOMPARE(dlg.ui->endDate->date(), start.addDays(-3));
        }
    }

    void lengthMovesEnd()
    {
        VacationDlg dlg;
        dlg.ui->holidayTypeCombo->setCurrentIndex(1);
        dlg.ui->vacationLength->setValue(13);
        QCOMPARE(dlg.ui->endDate->date(), today.addDays(13));
        // A new start keeps the end and recounts the length.
        dlg.ui->startDate->setDate(today.addDays(3));
        QCOMPARE(dlg.ui->endDate->date(), today.addDays(13));
        QCOMPARE(dlg.ui->vacationLength->value(), 10);
    }

    void fillsFromRecord_data()
    {
        QTest::addColumn<HolidayRecord>("record");
        QTest::addColumn<int>("length");
        QTest::newRow("august") << HolidayRecord{"Sea", 1, QDate(2024, 8, 1), QDate(2024, 8, 14)}
                                << 13;
        // Longer than the length box shows: editing must not cut it.
        QTest::newRow("120 days") << HolidayRecord{"Long", 1, QDate(2027, 1, 1),
                                                   QDate(2027, 1, 1).addDays(120)}
                                  << 99;
        QTest::newRow("inverted") << HolidayRecord{"Bad", 1, QDate(2027, 5, 9), QDate(2027, 5, 1)}
                                  << 0;
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
        QCOMPARE(dlg.ui->startDate->isHidden(), record.type == 0);
        QCOMPARE(dlg.holiday(), record);
    }

    void holidayFallsInCurrentYear_data()
    {
        QTest::addColumn<QDate>("chosen");
        QTest::addColumn<QDate>("clock");
        QTest::addColumn<QDate>("stored");
        QTest::newRow("ahead") << QDate(2000, 12, 25) << today << QDate(2026, 12, 25);
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
        td::clock::setFixed(QDateTime(clock, QTime(12, 0)));
        VacationDlg dlg;
        dlg.ui->holidayDate->setDate(chosen);
        dlg.ui->nameEdit->setText("Day");
        const HolidayRecord r = dlg.holiday();
        QCOMPARE(r.type, int(td::TypeHoliday));
        QTEST(r.startDate, "stored");
        QCOMPARE(r.endDate, r.startDate);
        QCOMPARE(r.name, QString("Day"));
    }

    void buttons()
    {
        VacationDlg dlg;
        QSignalSpy accepted(&dlg, &QDialog::accepted);
        QSignalSpy rejected(&dlg, &QDialog::rejected);
        QTest::mouseClick(dlg.ui->cancelButton, Qt::LeftButton);
        QCOMPARE(rejected.size(), 1);
        QTest::mouseClick(dlg.ui->applyButton, Qt::LeftButton);
        QCOMPARE(accepted.size(), 1);
        QVERIFY(dlg.ui->applyButton->text().isEmpty());
    }
};

TIDRA_TEST_MAIN(TestVacationDialog)
#include "tst_vacation_dialog.moc"
