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

    void proposal_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("proposed");
        QTest::newRow("morning") << at(10, 9, 41, 37) << at(10, 10, 41);
        QTest::newRow("last hour is tomorrow") << at(10, 23, 0) << at(11, 0, 0);
        QTest::newRow("end of month") << QDateTime(QDate(2026, 6, 30), QTime(23, 30))
                                      << QDateTime(QDate(2026, 7, 1), QTime(0, 30));
    }
    void proposal()
    {
        QFETCH(QDateTime, now);
        clock::setFixed(now);
        TimerDlg dlg(nullptr, false);
        QTEST(dlg.timerRecord().dateTime, "proposed");
        QCOMPARE(dlg.timerRecord().type, int(TypeTimer));
        QCOMPARE(dlg.timerRecord().format, int(FormatShort));
    }

    void visibilityRules()
    {
        TimerDlg dlg(nullptr, false);
        dlg.show();
        auto* ui = dlg.ui;
        QVERIFY(ui->groupTimeTo->isVisible() && !ui->groupCountFor->isVisible());
        QVERIFY(!ui->frameFormat->isVisible());
        ui->timerType->setCurrentIndex(1);
        QVERIFY(!ui->groupTimeTo->isVisible() && ui->groupCountFor->isVisible());
        ui->modeStopwatch->setChecked(true);
        QVERIFY(!ui->groupTimeTo->isVisible() && !ui->groupCountFor->isVisible());
        QVERIFY(!ui->continueExpired->isVisible());
        ui->modeTimer->setChecked(true);
        QVERIFY(ui->groupCountFor->isVisible() && ui->continueExpired->isVisible());
        ui->formatCustom->setChecked(true);
        QVERIFY(ui->frameFormat->isVisible());
    }

    void workTimerLocksAllButFormat()
    {
        TimerDlg dlg(nullptr, true);
        auto* ui = dlg.ui;
        for (QWidget* w : QList<QWidget*>{ui->timerName, ui->modeTimer, ui->timerType, ui->dateTo,
                                          ui->timeTo, ui->continueExpired})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        for (QWidget* w : QList<QWidget*>{ui->formatFull, ui->weekFormat, ui->applyButton})
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    }

    void record_data()
    {
        QTest::addColumn<QString>("mode"); // to, gap, for, stopwatch
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<int>("type");
        QTest::newRow("show time to") << "to" << at(12, 7, 5) << 0;
        QTest::newRow("show time to, skipped by the clocks")
            << "gap" << QDateTime(QDate(2027, 3, 28), QTime(3, 30)) << 0;
        QTest::newRow("count for 1 w 2 d 90 min, seconds kept")
            << "for" << QDateTime(QDate(2026, 6, 19), QTime(11, 11, 37)) << 0;
        QTest::newRow("stopwatch starts now") << "stopwatch" << at(10, 9, 41, 37) << 1;
    }
    void record()
    {
        QFETCH(QString, mode);
        TimerDlg dlg(nullptr, false);
        auto* ui = dlg.ui;
        ui->timerName->setText("Pasta");
        ui->dateTo->setDate(mode == "gap" ? QDate(2027, 3, 28) : QDate(2026, 6, 12));
        ui->timeTo->setTime(mode == "gap" ? QTime(2, 30) : QTime(7, 5));
        ui->modeStopwatch->setChecked(mode == "stopwatch");
        if (mode == "for") {
            ui->timerType->setCurrentIndex(1);
            ui->weekFor->setValue(1);
            ui->dayFor->setValue(2);
            ui->hourFor->setValue(0);
            ui->minFor->setValue(90);
        }
        ui->formatCustom->setChecked(true);
        ui->weekFormat->setChecked(true);
        ui->secFormat->setChecked(false);
        ui->continueExpired->setChecked(true);
        const TimerRecord r = dlg.timerRecord();
        QCOMPARE(r.name, QString("Pasta"));
        QTEST(r.type, "type");
        QTEST(r.dateTime, "moment");
        QCOMPARE(r.format, int(FormatCustom));
        QVERIFY(r.continueExpired);
        QVERIFY(r.weekFormat && !r.dayFormat && r.hourFormat && !r.secFormat && r.msecFormat);
    }

    void fillFromRecord_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("format");
        QTest::newRow("stopwatch, custom") << 1 << 2;
        QTest::newRow("timer, full") << 0 << 1;
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
        QCOMPARE(dlg.ui->frameFormat->isVisible(), format == 2);
        QCOMPARE(dlg.ui->groupTimeTo->isVisible(), type == 0);
        TimerRecord back = dlg.timerRecord();
        if (type == 1)
            back.dateTime = r.dateTime; // a stopwatch starts when confirmed
        QCOMPARE(back, r);
    }
};

TIDRA_TEST_MAIN(TestTimerDlg)
#include "tst_timerdlg.moc"
