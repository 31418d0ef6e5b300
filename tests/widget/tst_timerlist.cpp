#include "alarms/AlarmMsgDlg.h"
#include "app/AppSettings.h"
#include "app/Clock.h"
#include "app/MainSettingsDlg.h"
#include "app/WindowPlacement.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerDlg.h"
#include "timers/TimerMsgDlg.h"
#include "ui_maindialog.h"
#include "ui_timerdialog.h"

#include <QPointer>

Q_DECLARE_METATYPE(td::TimerRecord)

using namespace td;

namespace {

QDateTime at(int d, int h, int m)
{
    return QDateTime(QDate(2026, 6, d), QTime(h, m));
}

TimerRecord record(const QString& name, int type, const QDateTime& moment, bool cont = false)
{
    TimerRecord r;
    r.name = name;
    r.type = type;
    r.dateTime = moment;
    r.continueExpired = cont;
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

// A sound setting that plays: an existing (empty) file.
struct RingingSound
{
    test::FakeSoundPlayer player;
    QTemporaryDir dir;
    RingingSound()
    {
        QFile wav(dir.filePath("ring.wav"));
        wav.open(QIODevice::WriteOnly);
        appSettings->timerPlaySound = true;
        appSettings->timerSoundFileName = wav.fileName();
    }
    ~RingingSound() { appSettings->timerPlaySound = false; }
};

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
    QStringList names() const
    {
        QStringList out;
        for (int i = 0; i < main->ui->timersList->count(); ++i)
            out << main->ui->timersList->item(i)->text();
        return out;
    }
    QStringList timerNames() const
    {
        QStringList out;
        for (TimerMsgDlg* t : main->timers)
            out << t->timerRecord().name;
        return out;
    }

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
        answerEditor([](Ui::TimerDialog* ui) { ui->timerName->setText("Tea"); });
        main->addTimer();
        QCOMPARE(main->timers.size(), 1);
        QCOMPARE(names(), QStringList{"Tea"});
        QCOMPARE(main->ui->timersList->currentRow(), 0);
        QVERIFY(!main->ui->timersList->item(0)->icon().isNull());
        TimerMsgDlg* t = main->timers[0];
        QCOMPARE(t->parent(), main);
        QVERIFY(t->isVisible());
        QVERIFY(t->running());
        QCOMPARE(t->tickTimer->interval(), 100);
        QCOMPARE(t->dateTime, at(10, 13, 0));
        QCOMPARE(main->ui->timerDesc->toPlainText(), QString("Timer\nShow time to: 13:00\n"));
    }

    void cancelledAddCreatesNothing()
    {
        answerEditor([](Ui::TimerDialog* ui) { ui->timerName->setText("No"); }, false);
        main->addTimer();
        QVERIFY(main->timers.isEmpty());
        QCOMPARE(main->ui->timersList->count(), 0);
    }

    void deleteKeepsListsParallel_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("current");

        QTest::newRow("middle of three") << 3 << 1 << QStringList{"T0", "T2"} << 1;
        QTest::newRow("last of three") << 3 << 2 << QStringList{"T0", "T1"} << 1;
        QTest::newRow("first of three") << 3 << 0 << QStringList{"T1", "T2"} << 0;
        QTest::newRow("only one") << 1 << 0 << QStringList{} << -1;
    }
    void deleteKeepsListsParallel()
    {
        QFETCH(int, count);
        QFETCH(int, row);
        QFETCH(QStringList, left);
        QFETCH(int, current);
        for (int i = 0; i < count; ++i)
            adopt(record(QString("T%1").arg(i), 0, at(11, 9, i)));
        main->ui->timersList->setCurrentRow(row);
        main->delTimer();
        QCOMPARE(names(), left);
        QCOMPARE(timerNames(), left);
        QCOMPARE(main->ui->timersList->currentRow(), current);
        if (current < 0)
            QVERIFY(main->ui->timerDesc->toPlainText().isEmpty());
        else
            QCOMPARE(main->ui->timerDesc->toPlainText(),
                     QString("Timer\nShow time to: 06.11.2026 09:0%1\n").arg(left[current].mid(1)));
    }

    void deletedCountdownNeverFires()
    {
        RingingSound sound;
        QPointer<TimerMsgDlg> t = adopt(record("Soon", 0, at(10, 12, 1)));
        main->delTimer();
        QVERIFY(!t);
        clock::advance(120000);
        QCoreApplication::processEvents();
        QVERIFY(sound.player.played.isEmpty());
    }

    void editRenamesAndDescribes()
    {
        adopt(record("A", 0, at(10, 17, 45)));
        adopt(record("B", 0, at(11, 9, 0)));
        main->ui->timersList->setCurrentRow(0);
        answerEditor([](Ui::TimerDialog* ui) {
            ui->timerName->setText("Renamed");
            ui->continueExpired->setChecked(true);
        });
        main->editTimer(main->ui->timersList->item(0));
        QCOMPARE(names(), (QStringList{"Renamed", "B"}));
        QCOMPARE(timerNames(), names());
        QCOMPARE(main->ui->timerDesc->toPlainText(),
                 QString("Timer\nShow time to: 17:45\nContinue count as stopwatch after timer "
                         "finished"));
    }

    void editBringsHiddenTimerBack()
    {
        TimerMsgDlg* t = adopt(record("Hidden", 0, at(10, 17, 45)), false);
        QVERIFY(!t->isVisible());
        t->pause();
        answerEditor({});
        main->editTimer(nullptr);
        QVERIFY(t->isVisible());
        QVERIFY(t->running());
    }

    void editingStopwatchKeepsStart_data()
    {
        QTest::addColumn<bool>("toTimer");
        QTest::addColumn<QDateTime>("moment");
        QTest::newRow("stays stopwatch") << false << at(10, 11, 0);
        QTest::newRow("becomes timer") << true << at(12, 8, 30);
    }
    void editingStopwatchKeepsStart()
    {
        QFETCH(bool, toTimer);
        QFETCH(QDateTime, moment);
        TimerMsgDlg* t = adopt(record("Run", 1, at(10, 11, 0)));
        answerEditor([toTimer](Ui::TimerDialog* ui) {
            if (toTimer) {
                ui->modeTimer->setChecked(true);
                ui->dateTo->setDate(QDate(2026, 6, 12));
                ui->timeTo->setTime(QTime(8, 30));
            }
        });
        main->editTimer(nullptr);
        QCOMPARE(t->dateTime, moment);
    }

    void finishRaisesPopup_data()
    {
        QTest::addColumn<bool>("alarmEnabled");
        QTest::addColumn<bool>("continueExpired");
        QTest::newRow("pop-up, continue") << true << true;
        QTest::newRow("no pop-up") << false << false;
    }
    void finishRaisesPopup()
    {
        QFETCH(bool, alarmEnabled);
        QFETCH(bool, continueExpired);
        RingingSound ringing;
        const auto& sound = ringing.player;
        appSettings->timerAlarmEnabled = alarmEnabled;
        appSettings->alarmDeleteExpired = true;
        main->show();

        TimerMsgDlg* t = adopt(record("Egg", 0, at(10, 12, 5), continueExpired));
        int soundsAtPopup = -1;
        int popupsAtSignal = -1;
        connect(t, &TimerMsgDlg::directionChanged, this, [&] {
            const auto popups = main->findChildren<AlarmMsgDlg*>();
            popupsAtSignal = int(popups.size());
            if (!popups.isEmpty()) {
                QVERIFY(popups[0]->isVisible());
                soundsAtPopup = int(sound.played.size());
            }
            QVERIFY(t->countingDown);
        });
        clock::advance(5 * 60000 + 1);
        t->updateTimer();
        QCOMPARE(popupsAtSignal, alarmEnabled ? 1 : 0);
        if (alarmEnabled)
            QCOMPARE(soundsAtPopup, 1);
        QCOMPARE(sound.played.size(), qsizetype(1));
        QCOMPARE(t->running(), continueExpired);

        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const auto popups = main->findChildren<AlarmMsgDlg*>();
        QCOMPARE(popups.size(), qsizetype(alarmEnabled ? 1 : 0));
        QVERIFY(main->alarms.isEmpty());
        if (alarmEnabled) {
            const AlarmRecord r = popups[0]->alarm();
            QCOMPARE(r.name, QString("Timer Egg finished"));
            QCOMPARE(r.date, QDate(2026, 6, 10));
            QCOMPARE(r.time, QTime(12, 5));
            QCOMPARE(r.repeatMode, int(RepeatOnce));
            QVERIFY(r.message.isEmpty());
            QPointer<AlarmMsgDlg> popup = popups[0];
            popup->hide();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            QVERIFY(!popup);
            QVERIFY(main->isVisible()); // hiding the pop-up never closes the main window
        }
        main->hide();
        appSettings->alarmDeleteExpired = false;
        appSettings->timerAlarmEnabled = false;
    }

    void popupStacksAboveListedPopups()
    {
        AlarmRecord listed;
        listed.name = "Listed";
        listed.date = QDate(2026, 6, 10);
        listed.time = QTime(11, 0);
        auto* alarm = new AlarmMsgDlg(listed, main);
        main->alarms.append(alarm);
        main->cornerPlace(alarm);
        alarm->show();
        const QRect area = availableDesktop();
        QCOMPARE(alarm->geometry().bottomRight(), area.bottomRight());

        main->showTimerAlarm(record("Tea", 0, at(10, 11, 0)));
        AlarmMsgDlg* popup = nullptr;
        for (AlarmMsgDlg* a : main->findChildren<AlarmMsgDlg*>())
            if (a != alarm)
                popup = a;
        QVERIFY(popup);
        QCOMPARE(popup->x(), area.x() + area.width() - popup->width());
        QCOMPARE(popup->y(), alarm->y() - alarm->height());
        delete popup;
        main->alarms.clear();
        delete alarm;
    }

    void descriptions_data()
    {
        QTest::addColumn<TimerRecord>("r");
        QTest::addColumn<QString>("text");

        QTest::newRow("today") << record("T", 0, at(10, 17, 45)) << "Timer\nShow time to: 17:45\n";
        QTest::newRow("tomorrow, month first")
            << record("T", 0, at(11, 9, 5)) << "Timer\nShow time to: 06.11.2026 09:05\n";
        QTest::newRow("continues") << record("T", 0, at(12, 0, 0), true)
                                   << "Timer\nShow time to: 06.12.2026 00:00\nContinue count as "
                                      "stopwatch after timer finished";
        QTest::newRow("stopwatch")
            << record("S", 1, at(10, 11, 0)) << "Stopwatch\nShow time from 06.10.2026 11:00\n";
        QTest::newRow("finished timer reads as stopwatch")
            << record("F", 0, at(9, 8, 0)) << "Stopwatch\nShow time from 06.09.2026 08:00\n";
    }
    void descriptions()
    {
        QFETCH(TimerRecord, r);
        QFETCH(QString, text);
        adopt(r);
        QCOMPARE(main->ui->timerDesc->toPlainText(), text);
    }
};

TIDRA_TEST_MAIN(TestTimerList)
#include "tst_timerlist.moc"
