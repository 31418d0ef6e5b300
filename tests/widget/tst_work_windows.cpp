#include "app/AppSettings.h"
#include "app/Clock.h"
#include "app/MainSettingsDlg.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerDlg.h"
#include "timers/TimerMsgDlg.h"
#include "ui_maindialog.h"
#include "ui_timerdialog.h"

#include <QSettings>
#include <QTimeEdit>

using namespace td;

namespace {

// 2026-12-07 is a Monday; Saturday the 12th is the next day off.
QDateTime at(int day, int h, int m = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(2026, 12, day), QTime(h, m, s, ms));
}

const char* const dayPrefixes[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

} // namespace

class TestWorkWindows : public QObject
{
    Q_OBJECT

    MainSettingsDlg* main = nullptr;
    test::FakeSoundPlayer* sound = nullptr;
    test::PromptRecorder* prompts = nullptr;

    QTimeEdit* edit(const char* prefix, const char* suffix) const
    {
        return main->findChild<QTimeEdit*>(QString("day%1%2").arg(prefix, suffix));
    }
    /// Monday to Friday from `begin` to `end` with lunch, as the user sets it.
    void setWeek(QTime begin, QTime lunchBegin, QTime lunchEnd, QTime end)
    {
        for (int i = 0; i < 7; ++i) {
            const char* p = dayPrefixes[i];
            main->findChild<QCheckBox*>(QString("day%1Enable").arg(p))
                ->setChecked(i >= 1 && i <= 5);
            edit(p, "BeginWork")->setTime(begin);
            edit(p, "BeginLunch")->setTime(lunchBegin);
            edit(p, "EndLunch")->setTime(lunchEnd);
            edit(p, "EndWork")->setTime(end);
        }
    }
    QList<TimerMsgDlg*> windows() const
    {
        return {main->lunchTimer, main->dayEndTimer, main->holidayTimer, main->vacationTimer};
    }
    /// Which windows are visible, as "lunch dayEnd holiday vacation" in 0/1.
    QString shown() const
    {
        QString s;
        for (TimerMsgDlg* w : windows())
            s += w->isVisible() ? '1' : '0';
        return s;
    }

private slots:
    void initTestCase()
    {
        sound = new test::FakeSoundPlayer;
        prompts = new test::PromptRecorder;
        clock::setFixed(at(7, 10));
        main = new MainSettingsDlg;
        main->mainTimer->stop(); // the tests tick by hand
    }
    void cleanupTestCase()
    {
        delete main;
        delete prompts;
        delete sound;
        clock::reset();
    }
    void init()
    {
        clock::setFixed(at(7, 10));
        appSettings->holidays.clear();
        main->ui->noLunchDay->setChecked(false);
        setWeek(QTime(9, 0), QTime(12, 0), QTime(13, 0), QTime(18, 0));
        main->ui->workTimerToLunch->setChecked(true);
        main->ui->workTimerToDayEnd->setChecked(true);
        main->ui->workTimerNoDayEndTillLunch->setChecked(false);
        main->ui->workTimerHoliday->setChecked(true);
        main->ui->workTimerVacation->setChecked(false);
        main->updateHolidays();
    }

    void vacationWindowAndEscape()
    {
        appSettings->holidays = {{"Sea", TypeVacation, QDate(2027, 7, 1), QDate(2027, 7, 14)}};
        main->ui->workTimerVacation->setChecked(true);
        QCOMPARE(shown(), QString("1111"));
        const TimerRecord r = main->vacationTimer->timerRecord();
        QCOMPARE(r.name, QString("Time to vacation"));
        QCOMPARE(r.dateTime, QDateTime(QDate(2027, 7, 1), QTime(0, 0)));
        // Escape unticks the window's box for good; the others stay.
        QTest::keyClick(main->lunchTimer, Qt::Key_Escape);
        QVERIFY(!main->ui->workTimerToLunch->isChecked());
        QCOMPARE(QSettings("Morvane", "Tidra").value("work/TimeToLunch", true).toBool(), false);
        main->updateWorkingTimersVisibility();
        QCOMPARE(shown(), QString("0111"));
        // On a day off the day windows go, the vacation window stays.
        clock::setFixed(at(12, 10));
        main->updateWorkingTimersVisibility();
        QCOMPARE(shown(), QString("0001"));
    }

    void menuHideLastsOneTick()
    {
        main->holidayTimer->hideAction->trigger();
        QVERIFY(!main->holidayTimer->isVisible());
        QVERIFY(main->ui->workTimerHoliday->isChecked());
        main->updateWorkingTimersVisibility();
        QVERIFY(main->holidayTimer->isVisible());
    }

    void editorChangesFormatUntilNextUpdate()
    {
        test::whenModal([](QWidget* w) {
            auto* editor = qobject_cast<TimerDlg*>(w);
            QVERIFY(editor);
            QVERIFY(!editor->ui->timerName->isEnabled());
            editor->ui->formatFull->setChecked(true);
            QTest::mouseClick(editor->ui->applyButton, Qt::LeftButton);
        });
        main->lunchTimer->editTimer();
        QCOMPARE(main->lunchTimer->timerRecord().format, int(FormatFull));
        // The tick leaves it alone; the next recompute restores the short format.
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
        QCOMPARE(main->lunchTimer->timerRecord().type, int(TypeStopwatch));

        clock::setFixed(at(8, 10));
        main->updateSettings();
        QCOMPARE(main->lunchTimer->timerRecord().type, int(TypeTimer));
        QCOMPARE(main->lunchTimer->dateTime, at(8, 12));
        clock::setFixed(at(8, 12, 0, 0, 50));
        main->lunchTimer->updateTimer();
        QCOMPARE(finished.size(), 2);
    }

    void midnightRecomputes()
    {
        appSettings->holidays = {{"Feast", TypeHoliday, QDate(2026, 12, 8), QDate(2026, 12, 8)}};
        main->updateHolidays();
        QCOMPARE(main->holidayTimer->dateTime, at(8, 0));

        clock::setFixed(at(7, 23, 59, 59, 900));
        main->updateWorkingTimersVisibility();
        QCOMPARE(main->lunchTimer->dateTime, at(7, 12));
        QCOMPARE(main->dayEndTimer->dateTime, at(7, 18));

        clock::advance(200);
        main->updateWorkingTimersVisibility();
        QCOMPARE(main->lunchTimer->dateTime, at(8, 12));
        QCOMPARE(main->dayEndTimer->dateTime, at(8, 18));
        // The feast is today: it moves on a year and the weekend comes first.
        QCOMPARE(appSettings->holidays[0].startDate, QDate(2027, 12, 8));
        QCOMPARE(main->holidayTimer->dateTime, at(12, 0));

        // Within the day the tick recomputes nothing.
        main->lunchTimer->setTimerRecord({"Mark", TypeTimer, at(9, 1), false, FormatShort});
        clock::advance(3600 * 1000);
        main->updateWorkingTimersVisibility();
        QCOMPARE(main->lunchTimer->timerRecord().name, QString("Mark"));
    }

    void toleratesMissingWindows()
    {
        const QList<TimerMsgDlg*> saved = windows();
        main->lunchTimer = main->dayEndTimer = main->holidayTimer = main->vacationTimer = nullptr;
        clock::setFixed(at(9, 10));
        main->updateWorkingTimersVisibility();
        main->updateWorkingTimer(nullptr);
        main->updateWorkingTimer(saved[0]);
        main->updateWorkingTimerVisibility(saved[0]);
        main->updateHolidays();
        main->updateSettings();
        main->lunchTimer = saved[0];
        main->dayEndTimer = saved[1];
        main->holidayTimer = saved[2];
        main->vacationTimer = saved[3];
        QVERIFY(main->ui->workTimerToLunch->isChecked());
    }
};

TIDRA_TEST_MAIN(TestWorkWindows)
#include "tst_work_windows.moc"
