// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmDlg.h"
#include "alarms/AlarmModel.h"
#include "alarms/AlarmMsgDlg.h"
#include "app/AlarmPopups.h"
#include "app/InstanceCommands.h"
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/SoundChoice.h"
#include "common/SoundFile.h"
#include "common/WallTimer.h"
#include "common/WindowPlacement.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerRecord.h"
#include "ui_alarmdialog.h"

using namespace td;

namespace {

/// Monday 6 May 2024 at `time`, local.
QDateTime monday(const QTime& time)
{
    return QDateTime(QDate(2024, 5, 6), time);
}

void flushDeletes()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestAlarms : public QObject
{
    Q_OBJECT

    std::unique_ptr<AlarmModel> model;
    std::unique_ptr<AlarmPopups> popups;
    test::FakeSoundPlayer sound;
    QStringList balloons; // "title; text; ms", or "mirror"
    AppSettings& settings() { return *appSettings; }
    // A sound file that plays.
    static QString bell()
    {
        const QString bell = test::homePath() + "/bell.wav";
        QFile::copy(TIDRA_SOURCE_DIR "/resources/oldphone.wav", bell);
        return bell;
    }

    AlarmMsgDlg* popupOf(quint64 id) { return popups->existing(id); }
    // One round of firing with the clock at `time` on Monday 6 May 2024.
    void fireAt(const QTime& time)
    {
        clock::setFixed(monday(time));
        model->fire(now(), settings().alarmDisplayBaloon, *popups);
    }
    // The main window with its tick stopped: the tests fire by hand.
    static std::unique_ptr<MainSettingsDlg> mainWindow()
    {
        auto w = std::make_unique<MainSettingsDlg>();
        w->findChild<WallTimer*>("mainTimer")->stop();
        return w;
    }

private slots:
    void initTestCase()
    {
        appSettings = new AppSettings;
        AlarmPopups::setBalloonHandler(
            [this](AlarmMsgDlg*, const QString& title, const QString& text, int ms, bool mirror) {
                balloons << (mirror ? QString("mirror")
                                    : QString("%1; %2; %3").arg(title, text).arg(ms));
            });
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }
    void init()
    {
        test::clearUserData();
        settings() = AppSettings();
        settings().alarmDisplayTime = 7;
        settings().alarmShadeEffect = settings().alarmPlaySound = settings().alarmSimpleForm = true;
        settings().alarmShadeTime = 15;
        settings().alarmSoundFileName = TIDRA_SOURCE_DIR "/resources/oldphone.wav";
        sound.played.clear();
        sound.repeating.clear();
        balloons.clear();
        reportSoundProblem(bell(), QString()); // no problem known from an earlier test
        model = std::make_unique<AlarmModel>();
        popups = std::make_unique<AlarmPopups>(*model, nullptr);
        clock::setFixed(monday(QTime(9, 0)));
    }
    void cleanup()
    {
        popups.reset();
        model.reset();
        flushDeletes();
        clock::reset();
    }

    // What a ringing alarm shows: its pop-up in the corner with the note that it is late, or
    // a balloon; the sound, repeating until it is closed.
    void outputs_data()
    {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<bool>("balloon");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<QString>("note"); // the pop-up's late note
        QTest::addColumn<QString>("balloonText");

        const QString late = "This alarm was due at 10:00 today.", none;
        const QTime onTime(10, 0, 1), hourLate(11, 0);
        QTest::newRow("pop-up") << onTime << false << false << none << none;
        QTest::newRow("late pop-up") << hourLate << false << false << late << none;
        QTest::newRow("balloon") << onTime << true << false << none
                                 << "Alarm: Tea; Tea message; 7000";
        QTest::newRow("late balloon")
            << hourLate << true << false << none << "Alarm: Tea; " + late + "\nTea message; 7000";
        QTest::newRow("repeating until closed") << onTime << false << true << none << none;
    }
    void outputs()
    {
        QFETCH(QTime, now);
        QFETCH(bool, balloon);
        QFETCH(bool, repeat);
        settings().alarmDisplayBaloon = balloon;
        settings().alarmRepeatSound = repeat;
        const quint64 id = model->add(test::alarm("Tea 10:00"));
        fireAt(now);
        QPointer<AlarmMsgDlg> popup = popupOf(id);
        QVERIFY(popup && popup->isVisible() == !balloon);
        if (!balloon) {
            QCOMPARE(popup->geometry().bottomRight(), availableDesktop().bottomRight());
            auto* dueLabel = popup->findChild<QLabel*>("dueLabel");
            QTEST(dueLabel->isVisible() ? dueLabel->text() : QString(), "note");
        }
        QTEST(balloons.join(""), "balloonText");
        QCOMPARE(sound.played.size(), 1);
        QCOMPARE(sound.repeating.size(), repeat ? 1 : 0);
        popup->hide(); // closing the pop-up silences it; a balloon's sound goes on
        QCOMPARE(sound.repeating.size(), repeat && balloon ? 1 : 0);
    }

    // A balloon of a spent alarm is all there is to see: the alarm goes once told, if asked to.
    void spentBalloonGoesOnceTold()
    {
        settings().alarmDisplayBaloon = settings().alarmDeleteExpired = true;
        const quint64 id = model->add(test::alarm("Tea 10:00"));
        fireAt(QTime(10, 0, 1));
        QVERIFY(model->find(id));
        flushDeletes();
        QVERIFY(!model->find(id) && !popupOf(id));
    }

    // A reminder coming while its pop-up still shows is taken without a second showing or
    // sound; one asked for from a notification comes back as one.
    void reminderWhileShowing()
    {
        const quint64 id = model->add(test::every(1, Hours, test::monday, QTime(10, 0)));
        fireAt(QTime(10, 0, 1));
        flushDeletes(); // the pop-up has told the model it shows
        popupOf(id)->addDelay5minByNotification();
        QCOMPARE(model->find(id)->reminder.show, RingShow::Notification);
        fireAt(QTime(10, 5, 1));
        QVERIFY(popupOf(id)->isVisible() && !model->find(id)->reminder.pending());
        QVERIFY(balloons.isEmpty() && sound.played.size() == 1);
    }

    // Every pop-up takes part in one placement: alarms, finished timers, the summary. A flood
    // shows a screenful, the summary taking its last place.
    void popupsShareTheDesktop_data()
    {
        QTest::addColumn<int>("alarms");
        QTest::addColumn<int>("timers");
        QTest::addColumn<int>("alarmPopups");
        QTest::addColumn<int>("summarised");

        QTest::newRow("two timers and an alarm") << 1 << 2 << 1 << 0;
        QTest::newRow("a screenful") << 20 << 0 << 20 << 0;
        QTest::newRow("flood") << 45 << 0 << 19 << 26;
        QTest::newRow("timers take room from the flood") << 30 << 3 << 16 << 14;
    }
    void popupsShareTheDesktop()
    {
        QFETCH(int, alarms);
        QFETCH(int, timers);
        QFETCH(int, summarised);
        settings().alarmSimpleForm = false;
        for (int i = 0; i < alarms; ++i)
            model->add(test::every(24, Hours, test::monday, QTime(9, 30)));
        TimerRecord timer;
        timer.dateTime = monday(QTime(9, 30));
        for (int i = 0; i < timers; ++i)
            popups->showTimerFinished(timer);
        fireAt(QTime(9, 30, 1));
        int shown = 0;
        QList<QRect> places;
        for (const Alarm& alarm : model->alarms())
            shown += popupOf(alarm.id)->isVisible() ? 1 : 0;
        QTEST(shown, "alarmPopups");
        QCOMPARE(sound.played.size(), 1); // one sound for all
        QCOMPARE(summarised > 0 ? popups->newest()->summaryCount() : 0, summarised);
        for (const QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<const AlarmMsgDlg*>(w) && w->isVisible())
                places << w->geometry();
        QCOMPARE(places.size(), shown + timers + (summarised > 0 ? 1 : 0));
        for (const QRect& place : places)
            QVERIFY(availableDesktop().contains(place) && places.count(place) == 1);
    }

    // From the keyboard menu as from the mouse: a finished timer's pop-up comes back.
    void timerPopupRemindsLaterFromTheKeyboard()
    {
        TimerRecord timer;
        timer.dateTime = monday(QTime(9, 0));
        popups->showTimerFinished(timer);
        QPointer<AlarmMsgDlg> popup = popups->newest();
        QTest::keyClick(popup, Qt::Key_F10, Qt::ShiftModifier);
        QWidget* menu = QApplication::activePopupWidget();
        QTest::keyClick(menu, Qt::Key_R); // "&Remind later..."
        QVERIFY(QApplication::activePopupWidget() != menu);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return); // 5 minutes
        flushDeletes();
        QVERIFY(popup && popup->isHidden());
        fireAt(QTime(9, 5, 0, 1));
        QVERIFY(popup->isVisible());
    }

    // The user's own choices are offered, in their order.
    void remindChoicesAreTheUsers()
    {
        settings().alarmRemindChoices = "1h30m, 5m, 2x";
        const quint64 id = model->add(test::once(monday(QTime(9, 0)).date(), QTime(9, 0)));
        fireAt(QTime(9, 0, 40));
        AlarmMsgDlg* popup = popupOf(id);
        popup->remindMenu->popup({}); // filled as it opens
        popup->remindMenu->actions().first()->trigger();
        popup->remindMenu->hide();
        QCOMPARE(model->find(id)->reminder.atMsecs, monday(QTime(10, 30)).toMSecsSinceEpoch());
    }

    // Placed before its first showing, in the corner at the size it shows with; a long
    // message scrolls, its words on their own lines; a word longer than a line wraps inside
    // it, each line's last letter whole in the margin, clear of the scroll bar.
    void longMessages_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("many words") << QStringList(60, "meeting").join(' ') << false;
        QTest::newRow("one long line") << QString(3000, 'x') << true;
        QTest::newRow("wide letters") << QString(300, QChar(0x429)) << false; // Щ
    }
    void longMessages()
    {
        QFETCH(QString, message);
        settings().alarmSimpleForm = false;
        AlarmRecord r = test::every(1, Hours, test::monday, QTime(11, 0));
        r.message = message;
        AlarmMsgDlg a(model.get(), model->add(r));
        a.parkInCorner();
        a.showAlarm();
        QCOMPARE(a.geometry().bottomRight(), availableDesktop().bottomRight());
        auto* area = a.findChild<QAbstractScrollArea*>("messageArea");
        QTEST(area->verticalScrollBar()->isVisible(), "scrolls");
        auto* text = a.findChild<QLabel*>("textLabel");
        QCOMPARE(text->text().remove(QChar(0x200B)), message);
        const QImage image = text->grab().toImage();
        int right = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != image.pixel(image.width() - 1, 0))
                    right = qMax(right, x);
        QVERIFY(right < qMin(text->width(), area->viewport()->width()) - text->margin());
    }

    // The list follows the model; its details say a pending reminder as the tray and --list do.
    void listAndDetails()
    {
        const auto w = mainWindow();
        AlarmModel& alarms = w->alarmModel();
        auto* list = w->findChild<QListWidget*>("alarmsList");
        auto* next = w->findChild<QLabel*>("nextTimeLabel");
        clock::setFixed(monday(QTime(10, 0, 40)));
        const quint64 tea = alarms.add(test::alarm("Tea 10:00"));
        alarms.add(test::alarm("Soup 12:00"));
        QCOMPARE(test::rowTexts(list), QStringList({"Tea", "Soup"}));
        list->setCurrentRow(0);
        w->updateMainTimer(); // it rings
        alarms.postpone(tea, 300, RingShow::Popup);
        w->updateMainTimer();
        QCOMPARE(next->text(), "Reminder: 10:05 Mon 06 May 2024");
        QCOMPARE(runInstanceCommand(*w, {"list", {}}).out.section('\n', 0, 0),
                 "alarm\tTea\t2024-05-06T10:05:00+02:00\tonce\t2024-05-06T10:05:00+02:00");
        alarms.remove(tea);
        QCOMPARE(test::rowTexts(list), QStringList{"Soup"});
        w->updateMainTimer();
        QCOMPARE(next->text(), "Next alarm: 12:00 Mon 06 May 2024");
        // A subscribed calendar's alarm is named with it and changes only with it.
        AlarmRecord standup = test::alarm("Standup 11:00");
        standup.calendar = "Team";
        alarms.add(standup);
        QCOMPARE(test::rowTexts(list), QStringList({"Soup", "Standup (Team)"}));
        test::PromptRecorder prompts;
        list->setCurrentRow(1);
        w->delAlarm();
        w->editAlarm(nullptr); // no editor opens: a modal one would wait here
        QCOMPARE(prompts.prompts.size(), 2);
        QCOMPARE(alarms.count(), 2);
    }

    // A round rings one sound: that of the first alarm in it that is not silent (what each
    // choice plays is checked with the sound rule itself).
    void ownSoundInARound()
    {
        for (const QString& own : {silentSoundChoice(), bell(), QString()}) {
            AlarmRecord r = test::alarm("Tea 10:00");
            r.sound = own;
            model->add(r);
        }
        fireAt(QTime(10, 0, 1));
        QCOMPARE(sound.played, QStringList{bell()});
    }

    // The command runs when the alarm rings, not again when it reminds later.
    void commandOnTheAlarmNotItsReminder()
    {
        settings().alarmDeleteExpired = false;
        AlarmRecord r = test::alarm("Tea 10:00");
        r.command = {"/bin/true"};
        const quint64 id = model->add(r);
        fireAt(QTime(10, 0, 1));
        QCOMPARE(popups->commands().running(), 1);
        QTRY_COMPARE(popups->commands().running(), 0);
        flushDeletes(); // the pop-up has told the model it shows
        popupOf(id)->delay5minAction->trigger();
        flushDeletes(); // and that it is gone
        QVERIFY(popupOf(id)->isHidden() && model->find(id)->reminder.pending());
        fireAt(QTime(10, 6));
        QVERIFY(popupOf(id)->isVisible());         // the reminder shows ...
        QCOMPARE(popups->commands().running(), 0); // ... and runs nothing
    }

    // "Play" previews what the choice rings, sounds off or not, until the choice changes.
    void editorPreviewsTheSound()
    {
        settings().alarmPlaySound = false;
        AlarmDlg d;
        d.show();
        SoundChoice* chooser = d.ui->alarmSound;
        chooser->setChoice(bell());
        QTest::mouseClick(chooser->playButton, Qt::LeftButton);
        QCOMPARE(sound.played, QStringList{bell()});
        QCOMPARE(sound.repeating, QList<QObject*>{chooser});
        chooser->combo->setCurrentIndex(1); // None
        QVERIFY(sound.repeating.isEmpty() && !chooser->playButton->isEnabled());
    }

    // Through the list and the editor, which drops seconds.
    void throughEditor_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("apply");
        QTest::addColumn<QStringList>("rows");

        QTest::newRow("add") << "add" << true << QStringList{"First", "Tea", "Dentist"};
        QTest::newRow("add, cancel") << "add" << false << QStringList{"First", "Tea"};
        QTest::newRow("rename") << "edit" << true << QStringList{"First", "Dentist"};
    }
    void throughEditor()
    {
        QFETCH(QString, action);
        QFETCH(bool, apply);
        const auto w = mainWindow();
        w->alarmModel().add(test::alarm("First 12:00"));
        w->alarmModel().add(test::every(3, Hours, test::monday, QTime(13, 0)));
        test::answerEditor<AlarmDlg>(
            [action](Ui_AlarmDialog* ui) {
                QCOMPARE(ui->repeatRange->value(), action == "add" ? 1 : 3);
                ui->alarmName->setText("Dentist");
                ui->alarmTime->setTime(ui->alarmTime->time().addSecs(33));
            },
            apply);
        auto* list = w->findChild<QListWidget*>("alarmsList");
        list->setCurrentRow(1);
        if (action == "add")
            w->addAlarm();
        else
            w->editAlarm(list->item(1));
        flushDeletes();
        QTEST(test::rowTexts(list), "rows");
        const AlarmRecord& current = w->alarmModel().alarms().at(list->currentRow()).record;
        QCOMPARE(current.time.second(), 0);
    }

    void fullListRefusesNewAlarms()
    {
        const auto w = mainWindow();
        for (int i = 0; i < AlarmModel::maxAlarms; ++i)
            w->alarmModel().add(test::alarm("A 12:00"));
        test::PromptRecorder prompts;
        w->addAlarm(); // no editor opens: a modal one would wait here
        QVERIFY(prompts.prompts.value(0).endsWith(": " + AlarmModel::fullMessage()));
        QCOMPARE(w->alarmModel().count(), AlarmModel::maxAlarms);
    }

    // The editor's refusals. A weekday alarm without a day is switched to once; applied again,
    // it is taken.
    void editorValidates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minutesAhead"); // from 10:20, set at 10:20:45
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("warning");
        QTest::newRow("blank name") << "   " << 60 << 0 << "Empty name";
        QTest::newRow("this minute is past") << "A" << 0 << 0 << "Back in time!";
        QTest::newRow("no day") << "A" << 5 << 2 << "Play once";
    }
    void editorValidates()
    {
        QFETCH(QString, name);
        QFETCH(int, minutesAhead);
        QFETCH(int, mode);
        QFETCH(QString, warning);
        clock::setFixed(monday(QTime(10, 20, 45)));
        test::PromptRecorder prompts;
        AlarmDlg d;
        d.show();
        const QDateTime moment = monday(QTime(10, 20)).addSecs(minutesAhead * 60);
        d.ui->alarmName->setText(name);
        d.ui->alarmDate->setDate(moment.date());
        d.ui->alarmTime->setTime(moment.time());
        d.ui->alarmMode->setCurrentIndex(mode);
        QTest::mouseClick(d.ui->applyButton, Qt::LeftButton);
        QVERIFY(prompts.prompts.size() == 1 && prompts.prompts[0].startsWith(warning + ": "));
        QVERIFY(d.isVisible());
        if (warning != "Play once")
            return;
        d.apply();
        QVERIFY(prompts.prompts.size() == 1 && !d.isVisible());
        QCOMPARE(d.result().repeatMode, int(RepeatOnce));
    }

    // A sound that cannot play is told in the body of the notification it rang for, once,
    // as on the pop-up: at once, or sent again when found while the notification shows.
    void soundNoteInTheNotification_data()
    {
        QTest::addColumn<bool>("gone");          // the alarm's own sound, or a bell
        QTest::addColumn<int>("foundAfterSecs"); // -1: not found later
        QTest::addColumn<QStringList>("sent");
        const QString tea = "Alarm: Tea; Tea message";
        const QString note = "\nNo sound: %1.; 7000";
        QTest::newRow("known at once")
            << true << -1 << QStringList{tea + note.arg("the file does not exist")};
        QTest::newRow("found while it shows")
            << false << 6 << QStringList{tea + "; 7000", tea + note.arg("it is broken")};
        QTest::newRow("found once it went") << false << 7 << QStringList{tea + "; 7000"};
    }
    void soundNoteInTheNotification()
    {
        QFETCH(bool, gone);
        QFETCH(int, foundAfterSecs);
        settings().alarmDisplayBaloon = true;
        AlarmRecord r = test::every(1, Hours, test::monday, QTime(10, 0));
        r.sound = gone ? test::homePath() + "/gone.wav" : bell();
        model->add(r);
        fireAt(QTime(10, 0, 1));
        if (foundAfterSecs >= 0) {
            clock::advance(foundAfterSecs * 1000);
            reportSoundProblem(r.sound, "it is broken");
        }
        QTEST(balloons, "sent");
    }
};

TIDRA_TEST_MAIN(TestAlarms)
#include "tst_alarms.moc"
