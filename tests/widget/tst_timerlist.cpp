#include "alarms/AlarmMsgDlg.h"
#include "app/AppSettings.h"
#include "app/Clock.h"
#include "app/MainSettingsDlg.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerDlg.h"
#include "timers/TimerMsgDlg.h"
#include "ui_maindialog.h"
#include "ui_timerdialog.h"

#include <QPointer>

using namespace td;

namespace {

QDateTime at(int d, int h, int m)
{
    return QDateTime(QDate(2026, 6, d), QTime(h, m));
}

TimerRecord record(const QString& name, int type, const QDateTime& moment)
{
    TimerRecord r;
    r.name = name;
    r.type = type;
    r.dateTime = moment;
    return r;
}

// Answers the next editor: fill it, then apply (or cancel).
void answerEditor(std::function<void(Ui::TimerDialog*)> fill, bool apply = true)
{
    test::whenModal([fill, apply](QWidget* w) {
        auto* editor = qobject_cast<TimerDlg*>(w);
        QVERIFY(editor);
        if (fill)
            fill(editor->ui);
        QTest::mouseClick(apply ? editor->ui->applyButton : editor->ui->cancelButton,
                          Qt::LeftButton);
    });
}

} // namespace

class TestTimerList : public QObject
{
    Q_OBJECT

private:
    MainSettingsDlg* main = nullptr;

    TimerMsgDlg* adopt(const TimerRecord& r, bool show = true)
    {
        auto* t = new TimerMsgDlg(main);
        t->setTimerRecord(r);
        main->adoptTimer(t, show);
        return t;
    }
    // The list rows, checked against the windows they stand for.
    QStringList names() const
    {
        QStringList windows;
        for (TimerMsgDlg* t : main->timers)
            windows << t->timerRecord().name;
        return td::test::rowsMatching(main->ui->timersList, windows);
    }
    QString description() const { return main->ui->timerDesc->toPlainText(); }

private slots:
    void initTestCase()
    {
        clock::setFixed(at(10, 12, 0));
        main = new MainSettingsDlg;
    }
    void cleanupTestCase()
    {
        delete main;
        clock::reset();
    }
    void init() { clock::setFixed(at(10, 12, 0)); }
    void cleanup()
    {
        while (!main->timers.isEmpty())
            main->destroyTimerMsg(main->timers.last());
    }

    void addSelectsAndShows()
    {
        answerEditor([](Ui::TimerDialog* ui) { ui->timerName->setText("No"); }, false);
        main->addTimer(); // cancelled: nothing is made
        QCOMPARE(names(), QStringList{});
        answerEditor([](Ui::TimerDialog* ui) { ui->timerName->setText("Tea"); });
        main->addTimer();
        QCOMPARE(names(), QStringList{"Tea"});
        QCOMPARE(main->ui->timersList->currentRow(), 0);
        TimerMsgDlg* t = main->timers[0];
        QVERIFY(t->isVisible() && t->running() && t->tickTimer->isActive());
        QCOMPARE(t->dateTime, at(10, 13, 0));
        // Each new window opens clear of every timer window already shown.
        for (const QString name : {"Egg", "Rice"}) {
            answerEditor([name](Ui::TimerDialog* ui) { ui->timerName->setText(name); });
            main->addTimer();
        }
        const QList<TimerMsgDlg*> shown =
            main->timers + QList<TimerMsgDlg*>{main->lunchTimer, main->dayEndTimer};
        for (TimerMsgDlg* added : main->timers) {
            for (TimerMsgDlg* other : shown) {
                QVERIFY(other->isVisible());
                QVERIFY(added == other || !added->geometry().intersects(other->geometry()));
            }
        }
    }

    void deleteSelectsNeighbour_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("current");
        QTest::newRow("middle of three") << 3 << 1 << QStringList{"T0", "T2"} << 1;
        QTest::newRow("last of three") << 3 << 2 << QStringList{"T0", "T1"} << 1;
        QTest::newRow("only one") << 1 << 0 << QStringList{} << -1;
    }
    void deleteSelectsNeighbour()
    {
        QFETCH(int, count);
        QFETCH(int, row);
        QFETCH(QStringList, left);
        QFETCH(int, current);
        for (int i = 0; i < count; ++i)
            adopt(record(QString("T%1").arg(i), 0, at(11, 9, i)));
        QPointer<TimerMsgDlg> gone = main->timers[row];
        main->ui->timersList->setCurrentRow(row);
        main->delTimer();
        QVERIFY(!gone); // so it can never ring
        QCOMPARE(names(), left);
        QCOMPARE(main->ui->timersList->currentRow(), current);
        // The description follows the new selection.
        QCOMPARE(description(), current < 0 ? QString()
                                            : QString("Timer\nShow time to: 06.11.2026 09:0%1\n")
                                                  .arg(left.value(current).mid(1)));
    }

    // Every way to edit a timer leaves its row and description up to date.
    void editRenamesDescribesAndShows_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("list") << "list";
        QTest::newRow("window, double click") << "double click";
        QTest::newRow("window, menu") << "menu";
    }
    void editRenamesDescribesAndShows()
    {
        QFETCH(QString, path);
        TimerMsgDlg* t = adopt(record("A", 0, at(10, 17, 45)), path != "list");
        adopt(record("B", 0, at(11, 9, 0)));
        t->pause();
        main->ui->timersList->setCurrentRow(0);
        if (main->saveTimer)
            main->saveTimer->stop();
        answerEditor([](Ui::TimerDialog* ui) {
            ui->timerName->setText("Renamed");
            ui->continueExpired->setChecked(true);
        });
        if (path == "list")
            main->editTimer(main->ui->timersList->item(0));
        else if (path == "double click")
            QTest::mouseDClick(t, Qt::LeftButton);
        else
            t->editAction->trigger();
        QCOMPARE(names(), (QStringList{"Renamed", "B"}));
        QCOMPARE(description(), QString("Timer\nShow time to: 17:45\nContinue count as stopwatch "
                                        "after timer finished"));
        QVERIFY(t->isVisible() && t->running());
        QVERIFY(main->saveTimer && main->saveTimer->isActive());
    }

    void editingStopwatchKeepsStart_data()
    {
        QTest::addColumn<bool>("toTimer");
        QTest::addColumn<bool>("fromWindow"); // a double click on the window itself
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("text");
        const QString from = "Stopwatch\nShow time from 06.10.2026 11:00\n";
        QTest::newRow("stays stopwatch") << false << false << at(10, 11, 0) << from;
        QTest::newRow("stays stopwatch, window") << false << true << at(10, 11, 0) << from;
        QTest::newRow("becomes timer")
            << true << false << at(12, 8, 30) << "Timer\nShow time to: 06.12.2026 08:30\n";
    }
    void editingStopwatchKeepsStart()
    {
        QFETCH(bool, toTimer);
        QFETCH(bool, fromWindow);
        QFETCH(QDateTime, moment);
        QFETCH(QString, text);
        TimerMsgDlg* t = adopt(record("Run", 1, at(10, 11, 0)));
        QVERIFY(description().startsWith("Stopwatch"));
        t->pause();
        answerEditor([toTimer](Ui::TimerDialog* ui) {
            if (toTimer) {
                ui->modeTimer->setChecked(true);
                ui->dateTo->setDate(QDate(2026, 6, 12));
                ui->timeTo->setTime(QTime(8, 30));
            }
        });
        if (fromWindow)
            QTest::mouseDClick(t, Qt::LeftButton);
        else
            main->editTimer(nullptr);
        QCOMPARE(t->dateTime, moment);
        QVERIFY(t->running());
        QCOMPARE(description(), text);
    }

    void finishRaisesPopup_data()
    {
        QTest::addColumn<bool>("alarmEnabled");
        QTest::newRow("pop-up") << true;
        QTest::newRow("no pop-up") << false;
    }
    void finishRaisesPopup()
    {
        QFETCH(bool, alarmEnabled);
        appSettings->timerAlarmEnabled = alarmEnabled;
        main->show();
        TimerMsgDlg* t = adopt(record("Egg", 0, at(10, 12, 5)));
        QPointer<AlarmMsgDlg> popup; // raised before the listeners hear of the end
        connect(t, &TimerMsgDlg::directionChanged, this,
                [&] { popup = main->findChild<AlarmMsgDlg*>(); });
        clock::advance(5 * 60000 + 1);
        t->updateTimer();
        appSettings->timerAlarmEnabled = false;
        QCOMPARE(!popup.isNull(), alarmEnabled);
        QVERIFY(main->alarms.isEmpty());
        if (popup) {
            QVERIFY(popup->isVisible());
            QCOMPARE(popup->alarm().name, QString("Timer Egg finished"));
            QCOMPARE(QDateTime(popup->alarm().date, popup->alarm().time), at(10, 12, 5));
            popup->hide();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!popup);
            QVERIFY(main->isVisible()); // hiding the pop-up never closes the main window
        }
        main->hide();
        // Finished, it counts on as a stopwatch from its end; reset, from now.
        QCOMPARE(description(), QString("Stopwatch\nShow time from 06.10.2026 12:05\n"));
        clock::advance(60000);
        t->resetAction->trigger();
        QCOMPARE(description(), QString("Stopwatch\nShow time from 06.10.2026 12:06\n"));
    }
};

TIDRA_TEST_MAIN(TestTimerList)
#include "tst_timerlist.moc"
