#include "alarms/AlarmDlg.h"
#include "app/Clock.h"
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

AlarmRecord filled(int mode)
{
    AlarmRecord r;
    r.enabled = true;
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

    void newAlarmDefaults()
    {
        AlarmDlg d;
        QCOMPARE(d.windowTitle(), QString("Alarm"));
        QVERIFY(d.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(d.ui->alarmEnabled->isChecked());
        QCOMPARE(d.ui->alarmDate->date(), QDate(2024, 5, 6));
        QCOMPARE(d.ui->alarmTime->time(), QTime(11, 20)); // one hour on, whole minute
        QCOMPARE(d.ui->alarmMode->currentIndex(), 0);
        QVERIFY(d.ui->stackedWidget->isHidden());
        QCOMPARE(d.ui->alarmTime->displayFormat(), QString("H:mm"));
        QCOMPARE(d.ui->alarmMode->count(), 3);
        QCOMPARE(d.ui->alarmMode->itemText(1), QString("Repeat every ..."));
        QCOMPARE(d.ui->repeatRange->minimum(), 1);
        QCOMPARE(d.ui->repeatRange->maximum(), 100);
        QCOMPARE(d.ui->repeatMeasure->itemText(5), QString("Years"));
    }

    void lateEveningProposesTomorrow()
    {
        td::clock::setFixed(QDateTime(QDate(2024, 12, 31), QTime(23, 30, 10)));
        AlarmDlg d;
        QCOMPARE(d.ui->alarmDate->date(), QDate(2025, 1, 1));
        QCOMPARE(d.ui->alarmTime->time(), QTime(0, 30));
    }

    void modeSwitchesPage_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<QString>("page");
        QTest::newRow("once") << 0 << false << QString();
        QTest::newRow("every") << 1 << true << "page";
        QTest::newRow("weekdays") << 2 << true << "page_2";
    }
    void modeSwitchesPage()
    {
        QFETCH(int, mode);
        QFETCH(bool, visible);
        QFETCH(QString, page);
        AlarmDlg d;
        d.show();
        d.ui->alarmMode->setCurrentIndex(2);
        d.ui->alarmMode->setCurrentIndex(mode);
        QCOMPARE(d.ui->stackedWidget->isVisible(), visible);
        if (visible)
            QCOMPARE(d.ui->stackedWidget->currentWidget()->objectName(), page);
    }

    void roundTrip_data()
    {
        QTest::addColumn<AlarmRecord>("record");
        QTest::newRow("once") << filled(td::RepeatOnce);
        QTest::newRow("every 15 months") << filled(td::RepeatEvery);
        QTest::newRow("weekdays") << filled(td::RepeatDayOfWeek);
        AlarmRecord off = filled(td::RepeatEvery);
        off.enabled = false;
        QTest::newRow("disabled") << off;
    }
    void roundTrip()
    {
        QFETCH(AlarmRecord, record);
        AlarmDlg d;
        d.fillFrom(record);
        QCOMPARE(d.result(), record);
        QCOMPARE(d.ui->alarmName->isEnabled(), record.enabled);
        QCOMPARE(d.ui->alarmMode->isEnabled(), record.enabled);
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
        QCOMPARE(r.repeatMode, int(td::RepeatOnce));
        QCOMPARE(r.days, (std::array<bool, 7>{}));
        QCOMPARE(r.repeatRange, 0);
    }

    void togglingEnabledTogglesFields()
    {
        AlarmDlg d;
        d.ui->alarmEnabled->setChecked(false);
        for (QWidget* x :
             {static_cast<QWidget*>(d.ui->alarmName), static_cast<QWidget*>(d.ui->alarmDate),
              static_cast<QWidget*>(d.ui->alarmTime), static_cast<QWidget*>(d.ui->stackedWidget),
              static_cast<QWidget*>(d.ui->alarmMessage), static_cast<QWidget*>(d.ui->alarmMode)})
            QVERIFY(!x->isEnabled());
        d.ui->alarmEnabled->setChecked(true);
        QVERIFY(d.ui->alarmName->isEnabled());
    }

    void validation_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minutesFromNow"); // of the whole minute 10:20
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("anyDay");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("fine") << true << "Ok" << 60 << 0 << false << QStringList{} << true;
        QTest::newRow("empty name")
            << true << "" << 60 << 0 << false << QStringList{"Empty name"} << false;
        QTest::newRow("blank name")
            << true << "   " << 60 << 0 << false << QStringList{"Empty name"} << false;
        QTest::newRow("name is checked first")
            << true << "" << -60 << 2 << false << QStringList{"Empty name"} << false;
        QTest::newRow("past, once")
            << true << "A" << -1 << 0 << false << QStringList{"Back in time!"} << false;
        QTest::newRow("past, every")
            << true << "A" << -1 << 1 << false << QStringList{"Back in time!"} << false;
        QTest::newRow("past, weekdays")
            << true << "A" << -1 << 2 << true << QStringList{"Back in time!"} << false;
        QTest::newRow("this minute is past")
            << true << "A" << 0 << 0 << false << QStringList{"Back in time!"} << false;
        QTest::newRow("past before no-day")
            << true << "A" << -1 << 2 << false << QStringList{"Back in time!"} << false;
        QTest::newRow("no day") << true << "A" << 5 << 2 << false << QStringList{"Play once"}
                                << false;
        QTest::newRow("weekday set") << true << "A" << 5 << 2 << true << QStringList{} << true;
        QTest::newRow("disabled skips checks")
            << false << "" << -60 << 2 << false << QStringList{} << true;
    }
    void validation()
    {
        QFETCH(bool, enabled);
        QFETCH(QString, name);
        QFETCH(int, minutesFromNow);
        QFETCH(int, mode);
        QFETCH(bool, anyDay);
        QFETCH(QStringList, warnings);
        QFETCH(bool, accepted);
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
        QCOMPARE(prompts.titles(), warnings);
        QCOMPARE(d.isVisible(), !accepted);
        QCOMPARE(d.QDialog::result(), accepted ? int(QDialog::Accepted) : int(QDialog::Rejected));
        if (!warnings.isEmpty()) {
            const QString expectedFocus = warnings.first() == "Empty name"      ? "alarmName"
                                          : warnings.first() == "Back in time!" ? "alarmDate"
                                                                                : QString();
            if (!expectedFocus.isEmpty() && QApplication::focusWidget())
                QVERIFY(QApplication::focusWidget()->objectName() == expectedFocus ||
                        QApplication::focusWidget()->parentWidget()->objectName() == expectedFocus);
        }
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

    void messagesAreExact()
    {
        td::test::PromptRecorder prompts;
        AlarmDlg d;
        d.apply();
        d.ui->alarmName->setText("A");
        d.ui->alarmTime->setTime(QTime(10, 0));
        d.ui->alarmDate->setDate(QDate(2024, 5, 6));
        d.apply();
        QCOMPARE(prompts.prompts.size(), 2);
        QCOMPARE(prompts.prompts[0].text,
                 QString("Alarm can not be unnamed.\nPlease write alarm's name."));
        QCOMPARE(prompts.prompts[1].text, QString("Alarm can not be placed in the past.\nPlease "
                                                  "enter date and time in the future."));
        QCOMPARE(prompts.prompts[1].kind, td::prompts::Kind::Warning);
    }

    void cancelRejects()
    {
        AlarmDlg d;
        d.show();
        QTest::mouseClick(d.ui->cancelButton, Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.QDialog::result(), int(QDialog::Rejected));
    }
};

TIDRA_TEST_MAIN(TestAlarmEditor)
#include "tst_alarmeditor.moc"
