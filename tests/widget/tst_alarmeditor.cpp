// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmDlg.h"
#include "common/Clock.h"
#include "tests/common/TestSupport.h"
#include "ui_alarmdialog.h"

using td::AlarmDlg;
using td::AlarmRecord;
Q_DECLARE_METATYPE(td::AlarmRecord)

namespace {

QDateTime at(int h, int mi, int s = 0)
{
    return QDateTime(QDate(2024, 5, 6), QTime(h, mi, s));
}

AlarmRecord filled(int mode, bool enabled = true)
{
    AlarmRecord r;
    r.enabled = enabled;
    r.name = "Standup";
    r.date = QDate(2024, 6, 3);
    r.time = QTime(9, 15);
    r.repeatMode = mode;
    if (mode == td::RepeatEvery) {
        r.repeatRange = 15;
        r.repeatMeasure = td::Months;
    } else if (mode == td::RepeatDayOfWeek) {
        r.days = {false, true, false, true, false, true, false};
    }
    r.message = "Line one\nLine two";
    return r;
}

} // namespace

class TestAlarmEditor : public QObject
{
    Q_OBJECT
private slots:
    void init() { td::clock::setFixed(at(10, 20, 45)); }
    void cleanup() { td::clock::reset(); }

    void newAlarmIsAnHourAhead_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("proposed");
        QTest::newRow("whole minute") << at(10, 20, 45) << at(11, 20);
        QTest::newRow("new year's eve") << QDateTime(QDate(2024, 12, 31), QTime(23, 30, 10))
                                        << QDateTime(QDate(2025, 1, 1), QTime(0, 30));
    }
    void newAlarmIsAnHourAhead()
    {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, proposed);
        td::clock::setFixed(now);
        AlarmDlg d;
        QVERIFY(d.ui->alarmEnabled->isChecked());
        QCOMPARE(d.ui->alarmMode->currentIndex(), int(td::RepeatOnce));
        QCOMPARE(QDateTime(d.ui->alarmDate->date(), d.ui->alarmTime->time()), proposed);
    }

    void roundTrip_data()
    {
        QTest::addColumn<AlarmRecord>("record");
        QTest::newRow("once") << filled(td::RepeatOnce);
        QTest::newRow("every 15 months") << filled(td::RepeatEvery);
        QTest::newRow("weekdays") << filled(td::RepeatDayOfWeek);
        QTest::newRow("disabled") << filled(td::RepeatEvery, false);
    }
    void roundTrip()
    {
        QFETCH(AlarmRecord, record);
        AlarmDlg d;
        d.fillFrom(record);
        QCOMPARE(d.result(), record);
        QCOMPARE(d.ui->alarmName->isEnabled(), record.enabled);
        QCOMPARE(d.ui->stackedWidget->isHidden(), record.repeatMode == td::RepeatOnce);
    }

    void resultDropsSecondsAndForeignFields()
    {
        AlarmDlg d;
        d.fillFrom(filled(td::RepeatDayOfWeek));
        d.ui->alarmTime->setTime(QTime(7, 45, 33));
        d.ui->alarmMode->setCurrentIndex(td::RepeatOnce);
        const AlarmRecord r = d.result();
        QCOMPARE(r.time, QTime(7, 45));
        QCOMPARE(r.days, (std::array<bool, 7>{}));
        QCOMPARE(r.repeatRange, 0);
    }

    void validation_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minutesFromNow"); // of the whole minute 10:20
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("anyDay");
        QTest::addColumn<QString>("warning");
        const QString none;
        QTest::newRow("fine") << true << "Ok" << 60 << 0 << false << none;
        QTest::newRow("blank name") << true << "   " << 60 << 0 << false << "Empty name";
        QTest::newRow("past, once") << true << "A" << -1 << 0 << false << "Back in time!";
        QTest::newRow("past, every") << true << "A" << -1 << 1 << false << "Back in time!";
        QTest::newRow("past, weekdays") << true << "A" << -1 << 2 << true << "Back in time!";
        QTest::newRow("this minute is past") << true << "A" << 0 << 0 << false << "Back in time!";
        QTest::newRow("no day") << true << "A" << 5 << 2 << false << "Play once";
        QTest::newRow("disabled skips checks") << false << "" << -60 << 2 << false << none;
    }
    void validation()
    {
        QFETCH(bool, enabled);
        QFETCH(QString, name);
        QFETCH(int, minutesFromNow);
        QFETCH(int, mode);
        QFETCH(bool, anyDay);
        QFETCH(QString, warning);
        td::test::PromptRecorder prompts;
        AlarmDlg d;
        d.show();
        const QDateTime moment = at(10, 20).addSecs(minutesFromNow * 60);
        d.ui->alarmEnabled->setChecked(enabled);
        d.ui->alarmName->setText(name);
        d.ui->alarmDate->setDate(moment.date());
        d.ui->alarmTime->setTime(moment.time());
        d.ui->alarmMode->setCurrentIndex(mode);
        d.ui->alarmDay3->setChecked(anyDay);
        QTest::mouseClick(d.ui->applyButton, Qt::LeftButton);
        QCOMPARE(prompts.titles(), warning.isEmpty() ? QStringList() : QStringList{warning});
        QCOMPARE(d.isVisible(), !warning.isEmpty());
    }

    void noDaySwitchesToOnceThenApplies()
    {
        td::test::PromptRecorder prompts;
        AlarmDlg d;
        d.show();
        d.ui->alarmName->setText("Gym");
        d.ui->alarmMode->setCurrentIndex(td::RepeatDayOfWeek);
        d.apply();
        QCOMPARE(prompts.titles(), QStringList{"Play once"});
        QCOMPARE(prompts.prompts.first().text,
                 QString("No one day of week is selected, repeat mode will be set to 'Once'"));
        QCOMPARE(d.ui->alarmMode->currentIndex(), int(td::RepeatOnce));
        QVERIFY(d.isVisible());
        d.apply();
        QCOMPARE(prompts.prompts.size(), 1);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result().repeatMode, int(td::RepeatOnce));
    }
};

TIDRA_TEST_MAIN(TestAlarmEditor)
#include "tst_alarmeditor.moc"
