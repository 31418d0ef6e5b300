#include "app/Clock.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerDlg.h"
#include "ui_timerdialog.h"

using namespace td;

namespace {
QDateTime at(int d, int h, int m, int s = 0)
{
    return QDateTime(QDate(2026, 6, d), QTime(h, m, s));
}
} // namespace

class TestTimerDlg : public QObject
{
    Q_OBJECT

private slots:
    void init() { clock::setFixed(at(10, 9, 41, 37)); }
    void cleanup() { clock::reset(); }

    void defaults()
    {
        TimerDlg dlg(nullptr, false);
        dlg.show();
        const auto* ui = dlg.ui;
        QCOMPARE(dlg.windowTitle(), QString("Timer/Stopwatch"));
        QVERIFY(dlg.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(ui->modeTimer->isChecked());
        QCOMPARE(ui->timerType->currentIndex(), 0);
        QCOMPARE(ui->timerType->itemText(1), QString("Count for"));
        QVERIFY(ui->groupTimeTo->isVisible());
        QVERIFY(!ui->groupCountFor->isVisible());
        QVERIFY(ui->formatShort->isChecked());
        QVERIFY(!ui->frameFormat->isVisible());
        QVERIFY(!ui->continueExpired->isChecked());
        QCOMPARE(ui->timeTo->time(), QTime(10, 41));
        QCOMPARE(ui->dateTo->date(), QDate(2026, 6, 10));
        QCOMPARE(ui->timeTo->displayFormat(), QString("H:mm"));
        QCOMPARE(ui->hourFor->value(), 1);
        QCOMPARE(ui->hourFor->maximum(), 1000);
        QCOMPARE(ui->weekFor->maximum(), 99);
        QCOMPARE(ui->weekFor->value() + ui->dayFor->value() + ui->minFor->value(), 0);
        QVERIFY(ui->hourFormat->isChecked() && ui->minFormat->isChecked() &&
                ui->secFormat->isChecked() && ui->msecFormat->isChecked());
        QVERIFY(!ui->weekFormat->isChecked() && !ui->dayFormat->isChecked());
        QCOMPARE(dlg.focusWidget(), ui->timerName);
    }

    void proposal_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("proposed");
        QTest::newRow("morning") << at(10, 9, 41, 37) << at(10, 10, 41);
        QTest::newRow("22:59") << at(10, 22, 59, 59) << at(10, 23, 59);
        QTest::newRow("last hour is tomorrow") << at(10, 23, 0) << at(11, 0, 0);
        QTest::newRow("end of month") << QDateTime(QDate(2026, 6, 30), QTime(23, 30))
                                      << QDateTime(QDate(2026, 7, 1), QTime(0, 30));
    }
    void proposal()
    {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, proposed);
        clock::setFixed(now);
        TimerDlg dlg(nullptr, false);
        QCOMPARE(dlg.timerRecord().dateTime, proposed);
    }

    void visibilityRules()
    {
        TimerDlg dlg(nullptr, false);
        dlg.show();
        auto* ui = dlg.ui;
        ui->timerType->setCurrentIndex(1);
        QVERIFY(!ui->groupTimeTo->isVisible());
        QVERIFY(ui->groupCountFor->isVisible());
        ui->modeStopwatch->setChecked(true);
        QVERIFY(!ui->groupTimeTo->isVisible());
        QVERIFY(!ui->groupCountFor->isVisible());
        QVERIFY(!ui->continueExpired->isVisible());
        QVERIFY(!ui->timerType->isVisible());
        QVERIFY(!ui->label_12->isVisible());
        ui->modeTimer->setChecked(true);
        QVERIFY(ui->groupCountFor->isVisible());
        QVERIFY(!ui->groupTimeTo->isVisible());
        QVERIFY(ui->continueExpired->isVisible());
        ui->formatCustom->setChecked(true);
        QVERIFY(ui->frameFormat->isVisible());
        ui->formatFull->setChecked(true);
        QVERIFY(!ui->frameFormat->isVisible());
    }

    void workTimerLocksAllButFormat()
    {
        TimerDlg dlg(nullptr, true);
        auto* ui = dlg.ui;
        for (QWidget* w :
             QList<QWidget*>{ui->timerName, ui->modeTimer, ui->modeStopwatch, ui->timerType,
                             ui->dateTo, ui->timeTo, ui->continueExpired})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        for (QWidget* w : QList<QWidget*>{ui->formatShort, ui->formatFull, ui->formatCustom,
                                          ui->weekFormat, ui->msecFormat, ui->applyButton})
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        TimerDlg normal(nullptr, false);
        QVERIFY(normal.ui->timerName->isEnabled());
        QVERIFY(normal.ui->dateTo->isEnabled());
    }

    void record_data()
    {
        QTest::addColumn<QString>("mode"); // timer-to, count-for, stopwatch
        QTest::addColumn<QList<int>>("span");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("formatCode");

        const QList<int> none{0, 0, 0, 0};
        QTest::newRow("show time to") << "to" << none << "short" << at(12, 7, 5) << 0 << 0;
        QTest::newRow("show time to, skipped by the clocks")
            << "gap" << none << "short" << QDateTime(QDate(2027, 3, 28), QTime(3, 30)) << 0 << 0;
        QTest::newRow("count for 90 min, seconds kept")
            << "for" << QList<int>{0, 0, 0, 90} << "full" << at(10, 11, 11, 37) << 0 << 1;
        QTest::newRow("count for nothing")
            << "for" << none << "custom" << at(10, 9, 41, 37) << 0 << 2;
        QTest::newRow("count for 1 w 2 d")
            << "for" << QList<int>{1, 2, 0, 0} << "short" << at(19, 9, 41, 37) << 0 << 0;
        QTest::newRow("stopwatch starts now")
            << "stopwatch" << none << "full" << at(10, 9, 41, 37) << 1 << 1;
    }
    void record()
    {
        QFETCH(QString, mode);
        QFETCH(QList<int>, span);
        QFETCH(QString, format);
        QFETCH(QDateTime, moment);
        QFETCH(int, type);
        QFETCH(int, formatCode);
        TimerDlg dlg(nullptr, false);
        auto* ui = dlg.ui;
        ui->timerName->setText("Pasta");
        ui->dateTo->setDate(QDate(2026, 6, 12));
        ui->timeTo->setTime(QTime(7, 5));
        if (mode == "gap") {
            ui->dateTo->setDate(QDate(2027, 3, 28));
            ui->timeTo->setTime(QTime(2, 30));
        }
        if (mode == "stopwatch")
            ui->modeStopwatch->setChecked(true);
        if (mode == "for") {
            ui->timerType->setCurrentIndex(1);
            ui->weekFor->setValue(span[0]);
            ui->dayFor->setValue(span[1]);
            ui->hourFor->setValue(span[2]);
            ui->minFor->setValue(span[3]);
        }
        (format == "custom" ? ui->formatCustom
         : format == "full" ? ui->formatFull
                            : ui->formatShort)
            ->setChecked(true);
        ui->weekFormat->setChecked(true);
        ui->secFormat->setChecked(false);
        ui->continueExpired->setChecked(true);
        const TimerRecord r = dlg.timerRecord();
        QCOMPARE(r.name, QString("Pasta"));
        QCOMPARE(r.type, type);
        QCOMPARE(r.dateTime, moment);
        QCOMPARE(r.format, formatCode);
        QVERIFY(r.continueExpired);
        QVERIFY(r.weekFormat && !r.dayFormat && r.hourFormat && r.minFormat && !r.secFormat &&
                r.msecFormat);
    }

    void fillFromRecord_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("format");
        QTest::newRow("stopwatch, custom") << 1 << 2;
        QTest::newRow("timer, full") << 0 << 1;
        QTest::newRow("timer, short") << 0 << 0;
    }
    void fillFromRecord()
    {
        QFETCH(int, type);
        QFETCH(int, format);
        TimerRecord r;
        r.name = "Old";
        r.type = type;
        r.format = format;
        r.dateTime = at(9, 17, 45);
        r.weekFormat = true;
        r.hourFormat = false;
        r.continueExpired = true;
        TimerDlg dlg(nullptr, false);
        dlg.show();
        dlg.setTimerRecord(r);
        auto* ui = dlg.ui;
        QCOMPARE(ui->modeStopwatch->isChecked(), type == 1);
        QCOMPARE(ui->dateTo->date(), QDate(2026, 6, 9));
        QCOMPARE(ui->timeTo->time(), QTime(17, 45));
        QCOMPARE(ui->timerType->currentIndex(), 0);
        QCOMPARE(ui->frameFormat->isVisible(), format == 2);
        QCOMPARE(ui->groupTimeTo->isVisible(), type == 0);
        TimerRecord back = dlg.timerRecord();
        if (type == 1)
            back.dateTime = r.dateTime; // a stopwatch starts when confirmed
        QCOMPARE(back, r);
    }

    void applyAndCancel()
    {
        TimerDlg dlg(nullptr, false);
        test::whenModal([](QWidget* w) {
            QTest::mouseClick(static_cast<TimerDlg*>(w)->ui->applyButton, Qt::LeftButton);
        });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        test::whenModal([](QWidget* w) {
            QTest::mouseClick(static_cast<TimerDlg*>(w)->ui->cancelButton, Qt::LeftButton);
        });
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    }
};

TIDRA_TEST_MAIN(TestTimerDlg)
#include "tst_timerdlg.moc"
