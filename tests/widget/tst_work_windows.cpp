// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerDlg.h"
#include "timers/TimerMsgDlg.h"
#include "ui_holidaydialog.h"
#include "ui_maindialog.h"
#include "ui_timerdialog.h"
#include "work/VacationDlg.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSettings>
#include <QStackedWidget>
#include <QTimeEdit>

using namespace td;

namespace {

// 2026-12-07 is a Monday; Saturday the 12th is the next day off.
QDateTime at(int day, int h, int m = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(2026, 12, day), QTime(h, m, s, ms));
}

// Answers the next holiday editor: fill it, then apply.
void answerEditor(std::function<void(Ui::HolidayDialog*)> fill)
{
    test::whenModal([fill](QWidget* w) {
        auto* editor = qobject_cast<VacationDlg*>(w);
        QVERIFY(editor);
        fill(editor->ui.get());
        QTest::mouseClick(editor->ui->applyButton, Qt::LeftButton);
    });
}

} // namespace

class TestWorkWindows : public QObject
{
    Q_OBJECT

    MainSettingsDlg* main = nullptr;
    test::FakeSoundPlayer sound;
    test::PromptRecorder prompts;

    QTableWidget* table() const { return main->ui->holidaysList; }
    QString column(int c) const
    {
        QStringList out;
        for (int r = 0; r < table()->rowCount(); ++r)
            out << table()->item(r, c)->text();
        return out.join(", ");
    }
    QString names() const
    {
        QStringList out;
        for (const HolidayRecord& h : appSettings->holidays)
            out << h.name;
        return out.join(", ");
    }
    void setList(const QList<HolidayRecord>& list)
    {
        appSettings->holidays = list;
        main->updateHolidays();
    }
    // Which windows are visible, as "lunch dayEnd holiday vacation" in 0/1.
    QString shown() const
    {
        QString s;
        for (TimerMsgDlg* w :
             {main->lunchTimer, main->dayEndTimer, main->holidayTimer, main->vacationTimer})
            s += w->isVisible() ? '1' : '0';
        return s;
    }

private slots:
    void initTestCase()
    {
        clock::setFixed(at(7, 10));
        main = new MainSettingsDlg;
        main->mainTimer->stop(); // the tests tick by hand
    }
    void cleanupTestCase()
    {
        delete main;
        clock::reset();
    }
    // Monday to Friday 9:00 to 18:00, lunch 12 to 13, set as the user sets it.
    void init()
    {
        clock::setFixed(at(7, 10));
        for (const char* p : {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}) {
            main->findChild<QCheckBox*>(QString("day%1Enable").arg(p))
                ->setChecked(QString("SunSat").indexOf(p) < 0);
            for (const auto& [edit, h] :
                 {std::pair{"BeginWork", 9}, {"BeginLunch", 12}, {"EndLunch", 13}, {"EndWork", 18}})
                main->findChild<QTimeEdit*>(QString("day%1%2").arg(p, edit))->setTime(QTime(h, 0));
        }
        main->ui->noLunchDay->setChecked(false);
        for (QCheckBox* box : {main->ui->workTimerToLunch, main->ui->workTimerToDayEnd,
                               main->ui->workTimerHoliday, main->ui->workTimerVacation})
            box->setChecked(true);
        main->ui->workTimerNoDayEndTillLunch->setChecked(false);
        setList({});
    }

    // A passed holiday moves on a year (a leap day to the 28th), a passed
    // vacation stays.
    void tableRows()
    {
        setList({{"Sea", TypeVacation, QDate(2024, 8, 1), QDate(2024, 8, 14)},
                 {"Spring", TypeHoliday, QDate(2026, 3, 8), QDate(2026, 3, 8)},
                 {"Leap", TypeHoliday, QDate(2024, 2, 29), QDate(2024, 2, 29)},
                 {"Lost", TypeHoliday, QDate(), QDate()}});
        QCOMPARE(column(2), QString("Aug 01 2024 - Aug 14 2024, Mar 08 2027, Feb 28 2027, "));
        QCOMPARE(column(1), QString("Sea, Spring, Leap, Lost"));
    }

    // Entered before its date this year a holiday stays this year; after it,
    // next year. The new row is selected, the windows follow.
    void addAppendsInOrder()
    {
        for (const auto& [date, name] :
             {std::pair{QDate(2000, 12, 25), "Christmas"}, {QDate(2000, 1, 1), "New Year"}}) {
            answerEditor([date = date, name = name](Ui::HolidayDialog* ui) {
                ui->holidayDate->setDate(date);
                ui->nameEdit->setText(name);
            });
            main->addHoliday();
        }
        answerEditor([](Ui::HolidayDialog* ui) {
            ui->holidayTypeCombo->setCurrentIndex(1);
            ui->startDate->setDate(QDate(2027, 8, 1));
            ui->endDate->setDate(QDate(2027, 8, 14));
            ui->nameEdit->setText("Sea");
        });
        main->addHoliday();
        QCOMPARE(names(), QString("Christmas, New Year, Sea"));
        QCOMPARE(column(2), QString("Dec 25 2026, Jan 01 2027, Aug 01 2027 - Aug 14 2027"));
        QCOMPARE(table()->currentRow(), 2);
        QCOMPARE(main->vacationTimer->dateTime, QDateTime(QDate(2027, 8, 1), QTime(0, 0)));
        QCOMPARE(main->holidayTimer->dateTime, at(12, 0));
        QCOMPARE(shown(), QString("1111"));
    }

    // Deleting selects the next row; editing keeps the row and all the
    // editor did not change (the 120 days of a vacation); the clicked item is
    // not used: the current row names the record.
    void deleteAndEdit()
    {
        const QList<HolidayRecord> abc{{"A", 0, QDate(2027, 1, 1), QDate(2027, 1, 1)},
                                       {"B", 1, QDate(2027, 2, 1), QDate(2027, 6, 1)},
                                       {"C", 0, QDate(2027, 3, 1), QDate(2027, 3, 1)}};
        for (const auto& [row, left, current] : {std::tuple{0, "B, C", 0}, {2, "A, B", 1}}) {
            setList(abc);
            table()->setCurrentCell(row, 1);
            QTest::mouseClick(main->ui->deleteHolidayButton, Qt::LeftButton);
            QCOMPARE(names(), QString(left));
            QCOMPARE(column(1), QString(left));
            QCOMPARE(table()->currentRow(), current);
        }
        setList(abc);
        table()->setCurrentCell(1, 1);
        answerEditor([](Ui::HolidayDialog* ui) { ui->nameEdit->setText("Long trip"); });
        main->editHoliday(table()->item(0, 1));
        QCOMPARE(names(), QString("A, Long trip, C"));
        QCOMPARE(appSettings->holidays[1].endDate, QDate(2027, 6, 1));
        QCOMPARE(table()->currentRow(), 1);
    }

    // Escape unticks a window's box for good and the choice is stored; the
    // menu's hide lasts one tick. On a day off the day windows go, the
    // vacation window stays.
    void hideAndEscape()
    {
        setList({{"Sea", TypeVacation, QDate(2027, 7, 1), QDate(2027, 7, 14)}});
        QCOMPARE(main->vacationTimer->timerRecord().name, QString("Time to vacation"));
        QTest::keyClick(main->lunchTimer, Qt::Key_Escape);
        QVERIFY(!main->ui->workTimerToLunch->isChecked());
        QCOMPARE(QSettings("Morvane", "Tidra").value("work/TimeToLunch", true).toBool(), false);
        main->holidayTimer->hideAction->trigger();
        QCOMPARE(shown(), QString("0101"));
        QVERIFY(main->ui->workTimerHoliday->isChecked());
        main->updateWorkingTimersVisibility();
        QCOMPARE(shown(), QString("0111"));
        clock::setFixed(at(12, 10));
        main->updateWorkingTimersVisibility();
        QCOMPARE(shown(), QString("0001"));
    }

    // The editor of a work window changes only its format, until the next
    // recompute restores the short one.
    void editorChangesFormatUntilNextUpdate()
    {
        test::whenModal([](QWidget* w) {
            auto* editor = qobject_cast<TimerDlg*>(w);
            QVERIFY(editor && !editor->ui->timerName->isEnabled());
            editor->ui->formatFull->setChecked(true);
            QTest::mouseClick(editor->ui->applyButton, Qt::LeftButton);
        });
        main->lunchTimer->editTimer();
        QCOMPARE(main->lunchTimer->timerRecord().format, int(FormatFull));
        main->updateWorkingTimersVisibility();
        QCOMPARE(main->lunchTimer->timerRecord().format, int(FormatFull));
        main->updateWorkingTimer(main->dayEndTimer);
        QCOMPARE(main->lunchTimer->timerRecord().format, int(FormatShort));
    }

    // A window that reached its target reports itself as counting up; the next
    // target must make it count down again, so it finishes again.
    void finishedWindowCountsDownAgain()
    {
        QSignalSpy finished(main->lunchTimer, &TimerMsgDlg::directionChanged);
        clock::setFixed(at(7, 12, 0, 0, 50));
        main->lunchTimer->updateTimer();
        QCOMPARE(finished.size(), 1);
        QVERIFY(!main->lunchTimer->isVisible());
        clock::setFixed(at(8, 10));
        main->updateSettings();
        QCOMPARE(main->lunchTimer->timerRecord().type, int(TypeTimer));
        QCOMPARE(main->lunchTimer->dateTime, at(8, 12));
        clock::setFixed(at(8, 12, 0, 0, 50));
        main->lunchTimer->updateTimer();
        QCOMPARE(finished.size(), 2);
    }

    // At midnight the targets move to the new day and a holiday of today
    // moves on a year; within the day the tick recomputes nothing.
    void midnightRecomputes()
    {
        setList({{"Feast", TypeHoliday, QDate(2026, 12, 8), QDate(2026, 12, 8)}});
        QCOMPARE(main->holidayTimer->dateTime, at(8, 0));
        clock::setFixed(at(7, 23, 59, 59, 900));
        main->updateWorkingTimersVisibility();
        QCOMPARE(main->lunchTimer->dateTime, at(7, 12));
        clock::advance(200);
        main->updateWorkingTimersVisibility();
        QCOMPARE(main->lunchTimer->dateTime, at(8, 12));
        QCOMPARE(main->dayEndTimer->dateTime, at(8, 18));
        QCOMPARE(appSettings->holidays[0].startDate, QDate(2027, 12, 8));
        QCOMPARE(main->holidayTimer->dateTime, at(12, 0));
        main->lunchTimer->setTimerRecord({"Mark", TypeTimer, at(9, 1), false, FormatShort});
        clock::advance(3600 * 1000);
        main->updateWorkingTimersVisibility();
        QCOMPARE(main->lunchTimer->timerRecord().name, QString("Mark"));
    }

    // length shown | end chosen, days after the start | where the end ends up
    // | the length | accepted. The length box holds 0 to 99 days; an end
    // before the start is refused with a warning.
    void vacationRange_data()
    {
        QTest::addColumn<QList<int>>("f");
        QTest::newRow("within range") << QList<int>{10, 20, 20, 20, 1};
        QTest::newRow("too long from 10") << QList<int>{10, 120, 99, 99, 1};
        QTest::newRow("before start") << QList<int>{5, -3, 0, 0, 1};
        QTest::newRow("before start from 0") << QList<int>{0, -3, -3, 0, 0};
    }
    void vacationRange()
    {
        QFETCH(QList<int>, f);
        prompts.prompts.clear();
        VacationDlg dlg;
        dlg.ui->holidayTypeCombo->setCurrentIndex(1);
        const QDate start(2027, 3, 1);
        dlg.ui->startDate->setDate(start);
        dlg.ui->endDate->setDate(start);
        dlg.ui->vacationLength->setValue(f[0]);
        QCOMPARE(dlg.ui->endDate->date(), start.addDays(f[0]));
        dlg.ui->endDate->setDate(start.addDays(f[1]));
        QCOMPARE(int(start.daysTo(dlg.ui->endDate->date())), f[2]);
        QCOMPARE(dlg.ui->vacationLength->value(), f[3]);
        dlg.ui->nameEdit->setText("Trip");
        dlg.apply();
        QCOMPARE(dlg.result() == QDialog::Accepted, f[4] == 1);
        QCOMPARE(prompts.titles(), f[4] ? QStringList() : QStringList{"Wrong vacation range"});
        QCOMPARE(prompts.prompts.value(0).text,
                 f[4] ? QString() : QString("Vacation can not finish before it's begin"));
        // Filled back from its record, it yields the same, longer than the box
        // shows or not; a holiday keeps its padded name.
        for (const HolidayRecord& r :
             {dlg.holiday(), HolidayRecord{"Long", 1, start, start.addDays(120)},
              HolidayRecord{" Padded  ", 0, QDate(2026, 12, 25), QDate(2026, 12, 25)}}) {
            VacationDlg again;
            again.setHoliday(r);
            QCOMPARE(again.holiday(), r);
            QCOMPARE(again.ui->holidayTypeCombo->currentIndex(), r.type);
            QCOMPARE(again.ui->vacationLength->value(),
                     r.type ? int(qMin<qint64>(99, qMax<qint64>(0, r.startDate.daysTo(r.endDate))))
                            : 0);
        }
    }
};

TIDRA_TEST_MAIN(TestWorkWindows)
#include "tst_work_windows.moc"
