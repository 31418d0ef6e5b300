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

#include <QComboBox>
#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

using td::AlarmModel;
using td::AlarmMsgDlg;
using td::AlarmRecord;

namespace {

/// An alarm on Monday 6 May 2024 at `time`, every `hours` hours.
AlarmRecord hourly(const QString& name, const QTime& time, int hours)
{
    AlarmRecord r = td::test::every(hours, td::Hours, td::test::monday, time);
    r.name = name;
    r.message = name + " message";
    return r;
}

/// A sound file by name: "global" (the settings' own), "bell" (in `dir`), "none", "gone" or
/// "" (the default).
QString soundNamed(const QString& name, const QTemporaryDir& dir)
{
    if (name == "global")
        return TIDRA_SOURCE_DIR "/resources/oldphone.wav";
    if (name == "none")
        return td::silentSoundChoice();
    return name.isEmpty() ? QString() : dir.filePath(name + ".wav");
}

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
    std::unique_ptr<td::AlarmPopups> popups;
    td::test::FakeSoundPlayer* sound = nullptr;
    QStringList balloons; // "title; text; ms", or "mirror"
    td::AppSettings& settings() { return *td::appSettings; }

    AlarmMsgDlg* popupOf(quint64 id) { return popups->existing(id); }
    void fire() { model->fire(td::now(), settings().alarmDisplayBaloon, *popups); }
    // The main window with its tick stopped: the tests fire by hand.
    static std::unique_ptr<td::MainSettingsDlg> mainWindow()
    {
        auto w = std::make_unique<td::MainSettingsDlg>();
        w->findChild<td::WallTimer*>("mainTimer")->stop();
        return w;
    }

private slots:
    void initTestCase()
    {
        td::appSettings = new td::AppSettings;
        sound = new td::test::FakeSoundPlayer;
        td::AlarmPopups::setBalloonHandler(
            [this](AlarmMsgDlg*, const QString& title, const QString& text, int ms, bool mirror) {
                balloons << (mirror ? QString("mirror")
                                    : QString("%1; %2; %3").arg(title, text).arg(ms));
            });
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }
    void cleanupTestCase()
    {
        td::AlarmPopups::setBalloonHandler({});
        delete sound;
    }
    void init()
    {
        td::test::clearUserData();
        settings() = td::AppSettings();
        settings().alarmDisplayTime = 7;
        settings().alarmShadeEffect = settings().alarmPlaySound = settings().alarmSimpleForm = true;
        settings().alarmShadeTime = 15;
        settings().alarmSoundFileName = TIDRA_SOURCE_DIR "/resources/oldphone.wav";
        sound->played.clear();
        sound->repeating.clear();
        balloons.clear();
        model = std::make_unique<AlarmModel>();
        popups = std::make_unique<td::AlarmPopups>(*model, nullptr);
        td::clock::setFixed(monday(QTime(9, 0)));
    }
    void cleanup()
    {
        popups.reset();
        model.reset();
        flushDeletes();
        td::clock::reset();
    }

    // What a ringing alarm shows: its pop-up in the corner with the note that it is late, or
    // a balloon; a copy in the notification area; the sound, repeating until it is closed.
    void outputs_data()
    {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<bool>("balloon");
        QTest::addColumn<bool>("mirror");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<QString>("soundFile"); // empty: the default
        QTest::addColumn<QString>("note");      // the pop-up's late or sound note
        QTest::addColumn<QString>("balloonText");

        const auto row = [](const char* tag, QTime now, bool balloon, bool mirror, bool repeat,
                            const QString& note, const QString& balloonText) {
            QTest::newRow(tag) << now << balloon << mirror << repeat << QString() << note
                               << balloonText;
        };
        const QString late = "This alarm was due at 10:00 today.";
        const QString text = "Alarm: Tea; Tea message; 7000";
        const QTime onTime(10, 0, 1), hourLate(11, 0);
        row("pop-up", onTime, false, false, false, "", "");
        row("late pop-up", hourLate, false, false, false, late, "");
        row("balloon", onTime, true, false, false, "", text);
        row("late balloon", hourLate, true, false, false, "",
            "Alarm: Tea; " + late + "\nTea message; 7000");
        row("pop-up and its copy", onTime, false, true, false, "", "mirror");
        row("repeating until closed", onTime, false, false, true, "", "");
        QTest::newRow("sound file missing")
            << onTime << false << false << false << "/nonexistent/ring.wav"
            << "No sound: the file does not exist."
            << "";
    }
    void outputs()
    {
        QFETCH(QTime, now);
        QFETCH(bool, balloon);
        QFETCH(bool, mirror);
        QFETCH(bool, repeat);
        QFETCH(QString, soundFile);
        settings().alarmDisplayBaloon = balloon;
        settings().alarmAlsoNotify = mirror;
        settings().alarmRepeatSound = repeat;
        if (!soundFile.isEmpty())
            settings().alarmSoundFileName = soundFile;
        const quint64 id = model->add(td::test::alarm("Tea 10:00"));
        td::clock::setFixed(monday(now));
        fire();
        QPointer<AlarmMsgDlg> popup = popupOf(id);
        QVERIFY(popup && popup->isVisible() == !balloon);
        if (!balloon) {
            QCOMPARE(popup->geometry().bottomRight(), td::availableDesktop().bottomRight());
            auto* dueLabel = popup->findChild<QLabel*>("dueLabel");
            QTEST(dueLabel->isVisible() ? dueLabel->text() : QString(), "note");
        }
        QTEST(balloons.join(""), "balloonText");
        QCOMPARE(sound->played.size(), soundFile.isEmpty() ? 1 : 0);
        QCOMPARE(sound->repeating.size(), repeat ? 1 : 0);
        popup->hide(); // closing the pop-up silences it; a balloon's sound goes on
        QCOMPARE(sound->repeating.size(), repeat && balloon ? 1 : 0);
    }

    // A balloon of a spent alarm is all there is to see: the alarm goes once told, if asked to.
    void spentBalloonGoesOnceTold()
    {
        settings().alarmDisplayBaloon = settings().alarmDeleteExpired = true;
        const quint64 id = model->add(td::test::alarm("Tea 10:00"));
        td::clock::setFixed(monday(QTime(10, 0, 1)));
        fire();
        QVERIFY(model->find(id));
        flushDeletes();
        QVERIFY(!model->find(id) && !popupOf(id));
    }

    // A reminder coming while its pop-up still shows is taken without a second showing or
    // sound; one asked for from a notification comes back as one.
    void reminderWhileShowing()
    {
        const quint64 id = model->add(hourly("Hourly", QTime(10, 0), 1));
        td::clock::setFixed(monday(QTime(10, 0, 1)));
        fire();
        flushDeletes(); // the pop-up has told the model it shows
        popupOf(id)->addDelay5minByNotification();
        QCOMPARE(model->find(id)->reminder.show, td::RingShow::Notification);
        td::clock::setFixed(monday(QTime(10, 5, 1)));
        fire();
        QVERIFY(popupOf(id)->isVisible() && !model->find(id)->reminder.pending());
        QVERIFY(balloons.isEmpty() && sound->played.size() == 1);
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
            model->add(hourly(QString("A%1").arg(i), QTime(9, 30), 24));
        td::TimerRecord timer;
        timer.dateTime = monday(QTime(9, 30));
        for (int i = 0; i < timers; ++i)
            popups->showTimerFinished(timer);
        td::clock::setFixed(monday(QTime(9, 30, 1)));
        fire();
        int shown = 0;
        QList<QRect> places;
        for (const td::Alarm& alarm : model->alarms()) {
            QCOMPARE(alarm.record.date, QDate(2024, 5, 7)); // moved on, shown or not
            shown += popupOf(alarm.id)->isVisible() ? 1 : 0;
        }
        QTEST(shown, "alarmPopups");
        QCOMPARE(sound->played.size(), 1); // one sound for all
        QCOMPARE(summarised > 0 ? popups->newest()->summaryCount() : 0, summarised);
        for (const QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<const AlarmMsgDlg*>(w) && w->isVisible())
                places << w->geometry();
        QCOMPARE(places.size(), shown + timers + (summarised > 0 ? 1 : 0));
        for (const QRect& place : places)
            QVERIFY(td::availableDesktop().contains(place) && places.count(place) == 1);
    }

    // From the keyboard menu as from the mouse: a finished timer's pop-up comes back.
    void timerPopupRemindsLaterFromTheKeyboard()
    {
        td::TimerRecord timer;
        timer.dateTime = monday(QTime(9, 0));
        popups->showTimerFinished(timer);
        QPointer<AlarmMsgDlg> popup = popups->newest();
        QVERIFY(popup && popup->isVisible() && !popup->editAction->isVisible());
        QTest::keyClick(popup, Qt::Key_F10, Qt::ShiftModifier);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QTest::keyClick(menu, Qt::Key_R); // "&Remind later..."
        auto* remind = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(remind && remind != menu);
        QTest::keyClick(remind, Qt::Key_Return); // its first entry: 5 minutes
        flushDeletes();
        QVERIFY(popup && popup->isHidden());
        td::clock::setFixed(monday(QTime(9, 5, 0, 1)));
        fire();
        QVERIFY(popup->isVisible());
        QCOMPARE(sound->played.size(), 1);
        popup->hide();
        flushDeletes();
        QVERIFY(!popup);
    }

    // Refused when the next occurrence comes first, and hidden all the same.
    void remindLaterFromTheMenu()
    {
        td::test::PromptRecorder prompts;
        const quint64 id = model->add(hourly("Hourly", QTime(10, 0), 1));
        td::clock::setFixed(monday(QTime(10, 0, 40)));
        fire();
        AlarmMsgDlg* popup = popupOf(id);
        popup->delay1hourAction->trigger();
        QVERIFY(popup->isHidden() && !model->find(id)->reminder.pending());
        QCOMPARE(prompts.titles(), QStringList{"Alarm"});
    }

    // The user's own choices, in their order and words; a choice not understood is left out.
    void remindChoicesAreTheUsers()
    {
        settings().alarmRemindChoices = "1h30m, 5m, 2x";
        const quint64 id = model->add(td::test::once(monday(QTime(9, 0)).date(), QTime(9, 0)));
        td::clock::setFixed(monday(QTime(9, 0, 40)));
        fire();
        AlarmMsgDlg* popup = popupOf(id);
        popup->remindMenu->popup({}); // filled as it opens
        QStringList texts;
        for (const QAction* a : popup->remindMenu->actions())
            texts << a->text();
        QCOMPARE(texts, (QStringList{"1 Hour 30 Minutes", "5 Minutes", "", "Other"}));
        popup->remindMenu->actions().first()->trigger();
        popup->remindMenu->hide();
        QCOMPARE(model->find(id)->reminder.atMsecs, monday(QTime(10, 30)).toMSecsSinceEpoch());
    }

    // Placed before its first showing, in the corner at the size it shows with; the message
    // shows its own lines, nothing runs past the right edge, a long one scrolls.
    void popupFitsTheDesktop()
    {
        settings().alarmSimpleForm = false;
        for (const QString& message : {QStringList(60, "meeting").join(' '), QString(3000, 'x')}) {
            AlarmRecord r = hourly("Tea", QTime(11, 0), 1);
            r.message = message;
            AlarmMsgDlg a(model.get(), model->add(r));
            a.parkInCorner();
            a.showAlarm();
            QCOMPARE(a.geometry().bottomRight(), td::availableDesktop().bottomRight());
            auto* area = a.findChild<QAbstractScrollArea*>("messageArea");
            QCOMPARE(area->verticalScrollBar()->isVisible(), !message.contains(' '));
            auto* text = a.findChild<QLabel*>("textLabel");
            QVERIFY(text->width() <= area->viewport()->width());
            QCOMPARE(text->text().remove(QChar(0x200B)), message);
        }
    }

    // The pointer comes and opens the menu; leaving while it is open holds the pop-up, closing
    // it elsewhere ends the display period at once.
    void menuHoldsThePopup()
    {
        settings().alarmShadeEffect = false;
        AlarmMsgDlg a(model.get(), model->add(td::test::alarm("Stand 11:00")));
        a.showAlarm();
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), a.mapToGlobal(QPointF(5, 5)));
        QCoreApplication::sendEvent(&a, &enter);
        a.menu->popup(a.mapToGlobal(QPoint(5, 5)));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&a, &leave);
        QVERIFY(a.isVisible());
        a.menu->hide();
        QCoreApplication::processEvents();
        QVERIFY(!a.isVisible());
    }

    // The list follows the model; its details say a pending reminder as the tray and --list do.
    void listAndDetails()
    {
        const auto owned = mainWindow();
        td::MainSettingsDlg& w = *owned;
        AlarmModel& alarms = w.alarmModel();
        auto* list = w.findChild<QListWidget*>("alarmsList");
        auto* next = w.findChild<QLabel*>("nextTimeLabel");
        td::clock::setFixed(monday(QTime(10, 0, 40)));
        const quint64 tea = alarms.add(td::test::alarm("Tea 10:00"));
        alarms.add(td::test::alarm("Soup 12:00"));
        QCOMPARE(td::test::rowsMatching(list, {"Tea", "Soup"}), QStringList({"Tea", "Soup"}));
        list->setCurrentRow(0);
        w.updateMainTimer();
        QCOMPARE(next->text(), "Alarm is disabled"); // it rang at 10:00
        alarms.postpone(tea, 300, td::RingShow::Popup);
        w.updateMainTimer();
        QCOMPARE(next->text(), "Reminder: 10:05 Mon 06 May 2024");
        QCOMPARE(w.trayIcon()->toolTip(), "Tidra\nReminder: Tea, 10:05 Mon 06 May 2024");
        QCOMPARE(td::runInstanceCommand(w, {"list", {}}).out.section('\n', 0, 0),
                 "alarm\tTea\t2024-05-06T10:05:00+02:00\tonce\t2024-05-06T10:05:00+02:00");
        alarms.remove(tea);
        QCOMPARE(td::test::rowsMatching(list, {"Soup"}), QStringList{"Soup"});
        w.updateMainTimer();
        QCOMPARE(next->text(), "Next alarm: 12:00 Mon 06 May 2024");
    }

    // A round rings one sound: that of the first alarm in it that is not silent (what each
    // choice plays is checked with the sound rule itself).
    void ownSoundInARound()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(soundNamed("global", dir), soundNamed("bell", dir)));
        for (const QString& sound : {"none", "bell", ""}) {
            AlarmRecord r = td::test::alarm("Tea 10:00");
            r.sound = soundNamed(sound, dir);
            model->add(r);
        }
        td::clock::setFixed(monday(QTime(10, 0, 1)));
        fire();
        QCOMPARE(sound->played, QStringList{soundNamed("bell", dir)});
    }

    // The command runs when the alarm rings, not again when it reminds later; its failure
    // is told once.
    void commandOnTheAlarmNotItsReminder()
    {
        td::test::PromptRecorder prompts;
        settings().alarmDeleteExpired = false;
        AlarmRecord r = td::test::alarm("Tea 10:00");
        r.command = {"/bin/sh", "-c", "exit 4"};
        const quint64 id = model->add(r);
        td::clock::setFixed(monday(QTime(10, 0, 1)));
        fire();
        QCOMPARE(popups->commands().running(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(prompts.notices.size(), 1, 10000);
        QCOMPARE(prompts.notices.at(0), "The command of alarm \"Tea\" exited with code 4.");
        flushDeletes(); // the pop-up has told the model it shows
        popupOf(id)->delay5minAction->trigger();
        flushDeletes(); // and that it is gone
        QVERIFY(popupOf(id)->isHidden() && model->find(id)->reminder.pending());
        td::clock::setFixed(monday(QTime(10, 6)));
        fire();
        QVERIFY(popupOf(id)->isVisible());         // the reminder shows ...
        QCOMPARE(popups->commands().running(), 0); // ... and runs nothing
    }

    // "Play" previews what the choice rings, until pressed again, the choice changes or the
    // editor closes.
    void editorPreviewsTheSound_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<bool>("globalOn");
        QTest::addColumn<QString>("played"); // empty: nothing to play, the button is off
        QTest::newRow("default") << "" << true << "global";
        QTest::newRow("none") << "none" << true << "";
        QTest::newRow("own, sounds off") << "bell" << false << "bell";
        QTest::newRow("gone") << "gone" << true << "";
    }
    void editorPreviewsTheSound()
    {
        QFETCH(QString, choice);
        QFETCH(bool, globalOn);
        QFETCH(QString, played);
        QTemporaryDir dir;
        QVERIFY(QFile::copy(soundNamed("global", dir), soundNamed("bell", dir)));
        settings().alarmPlaySound = globalOn;
        td::AlarmDlg d;
        d.show();
        td::SoundChoice* chooser = d.ui->alarmSound;
        chooser->setChoice(soundNamed(choice, dir));
        QCOMPARE(chooser->playButton->isEnabled(), !played.isEmpty());
        QCOMPARE(chooser->note->isVisibleTo(&d), choice == "gone");
        if (played.isEmpty())
            return;
        QTest::mouseClick(chooser->playButton, Qt::LeftButton);
        QCOMPARE(sound->played, QStringList{soundNamed(played, dir)});
        QCOMPARE(sound->repeating, QList<QObject*>{chooser});
        QTest::mouseClick(chooser->playButton, Qt::LeftButton);
        QVERIFY(sound->repeating.isEmpty());
        QTest::mouseClick(chooser->playButton, Qt::LeftButton);
        chooser->combo->setCurrentIndex(1); // None
        QVERIFY(sound->repeating.isEmpty());
        chooser->setChoice(soundNamed(choice, dir));
        QTest::mouseClick(chooser->playButton, Qt::LeftButton);
        d.ui->cancelButton->click();
        QVERIFY(sound->repeating.isEmpty() && !chooser->previewing());
    }

    // The file and program choosers: a cancelled one changes nothing; arguments stay.
    void editorChoosers()
    {
        QString answer;
        td::prompts::setOpenFileHandler(
            [&answer](QWidget*, const QString&, const QString&, const QString&) { return answer; });
        td::AlarmDlg d;
        QComboBox* combo = d.ui->alarmSound->combo;
        d.ui->alarmSound->setChoice(td::silentSoundChoice());
        const int choose = combo->count() - 1;
        for (const QString& file : {QString(), QString("/tmp/bell.ogg")}) {
            answer = file;
            combo->setCurrentIndex(choose);
            emit combo->activated(choose);
            QCOMPARE(d.ui->alarmSound->choice(), file.isEmpty() ? td::silentSoundChoice() : file);
        }
        d.ui->alarmCommand->setText("bell -u \"very low\"");
        for (const QString& program : {QString(), QString("/opt/my tools/tea")}) {
            answer = program;
            d.ui->chooseCommand->click();
        }
        td::prompts::setOpenFileHandler({});
        QCOMPARE(d.result().command, (QStringList{"/opt/my tools/tea", "-u", "very low"}));
    }

    // Through the list and the editor (which drops seconds); new alarms are proposed an hour
    // ahead; a full list refuses before the editor opens.
    void throughEditor_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("apply");
        QTest::addColumn<QStringList>("rows");

        QTest::newRow("add") << "add" << true << QStringList{"First", "Second", "Dentist"};
        QTest::newRow("add, cancel") << "add" << false << QStringList{"First", "Second"};
        QTest::newRow("rename") << "edit" << true << QStringList{"First", "Dentist"};
        QTest::newRow("delete the selected one") << "delete" << true << QStringList{"First"};
    }
    void throughEditor()
    {
        QFETCH(QString, action);
        QFETCH(bool, apply);
        QFETCH(QStringList, rows);
        const auto owned = mainWindow();
        td::MainSettingsDlg& w = *owned;
        w.alarmModel().add(td::test::alarm("First 12:00"));
        w.alarmModel().add(hourly("Second", QTime(13, 0), 3));
        td::test::answerEditor<td::AlarmDlg>(
            [action](Ui_AlarmDialog* ui) {
                QCOMPARE(ui->repeatRange->value(), action == "add" ? 1 : 3);
                ui->alarmName->setText("Dentist");
                ui->alarmTime->setTime(ui->alarmTime->time().addSecs(33));
            },
            apply);
        auto* list = w.findChild<QListWidget*>("alarmsList");
        list->setCurrentRow(1);
        if (action == "add")
            w.addAlarm();
        else if (action == "delete")
            w.delAlarm();
        else
            w.editAlarm(list->item(1));
        flushDeletes();
        QCOMPARE(td::test::rowsMatching(list, rows), rows);
        const AlarmRecord& current = w.alarmModel().alarms().at(list->currentRow()).record;
        QCOMPARE(current.time.second(), 0);
    }

    void fullListRefusesNewAlarms()
    {
        const auto w = mainWindow();
        for (int i = 0; i < AlarmModel::maxAlarms; ++i)
            w->alarmModel().add(td::test::alarm("A 12:00"));
        td::test::PromptRecorder prompts;
        w->addAlarm(); // no editor opens: a modal one would wait here
        QCOMPARE(prompts.prompts.value(0).text, AlarmModel::fullMessage());
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
        QTest::addColumn<QString>("command");

        QTest::newRow("blank name") << "   " << 60 << 0 << "Empty name" << QString();
        QTest::newRow("this minute is past") << "A" << 0 << 0 << "Back in time!" << QString();
        QTest::newRow("no day") << "A" << 5 << 2 << "Play once" << QString();
        QTest::newRow("no such program") << "A" << 60 << 0 << "No such program"
                                         << "tidra-no-such-program --now";
    }
    void editorValidates()
    {
        QFETCH(QString, name);
        QFETCH(int, minutesAhead);
        QFETCH(int, mode);
        QFETCH(QString, warning);
        QFETCH(QString, command);
        td::clock::setFixed(monday(QTime(10, 20, 45)));
        td::test::PromptRecorder prompts;
        td::AlarmDlg d;
        d.show();
        const QDateTime moment = monday(QTime(10, 20)).addSecs(minutesAhead * 60);
        d.ui->alarmName->setText(name);
        d.ui->alarmDate->setDate(moment.date());
        d.ui->alarmTime->setTime(moment.time());
        d.ui->alarmMode->setCurrentIndex(mode);
        d.ui->alarmCommand->setText(command);
        QTest::mouseClick(d.ui->applyButton, Qt::LeftButton);
        QVERIFY(prompts.titles() == QStringList{warning} && d.isVisible());
        if (warning != "Play once")
            return;
        d.apply();
        QVERIFY(prompts.prompts.size() == 1 && !d.isVisible());
        QCOMPARE(d.result().repeatMode, int(td::RepeatOnce));
    }

    // A word longer than a line wraps inside it, each line's last letter whole in the margin.
    void longWordStaysInside()
    {
        settings().alarmSimpleForm = false;
        AlarmRecord r = hourly("Tea", QTime(11, 0), 1);
        r.message = QString(300, QChar(0x429)); // Щ, one of the widest letters
        AlarmMsgDlg a(model.get(), model->add(r));
        a.showAlarm();
        auto* text = a.findChild<QLabel*>("textLabel");
        const QImage image = text->grab().toImage();
        int right = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != image.pixel(image.width() - 1, 0))
                    right = qMax(right, x);
        const int shown = a.findChild<QAbstractScrollArea*>("messageArea")->viewport()->width();
        QVERIFY2(right < qMin(text->width(), shown) - text->margin(),
                 qPrintable(QString("ink to %1 of %2").arg(right).arg(shown)));
    }

    // A sound that cannot play is told in the body of the notification it rang for, once,
    // as on the pop-up: at once, or sent again when found while the notification shows.
    void soundNoteInTheNotification_data()
    {
        QTest::addColumn<QString>("sound");      // the alarm's own: "gone" or "bell"
        QTest::addColumn<int>("foundAfterSecs"); // -1: not found later
        QTest::addColumn<QStringList>("sent");
        const QString tea = "Alarm: Tea; Tea message";
        const QString note = "\nNo sound: %1.; 7000";
        QTest::newRow("known at once")
            << "gone" << -1 << QStringList{tea + note.arg("the file does not exist")};
        QTest::newRow("found while it shows")
            << "bell" << 6 << QStringList{tea + "; 7000", tea + note.arg("it is broken")};
        QTest::newRow("found once it went") << "bell" << 7 << QStringList{tea + "; 7000"};
    }
    void soundNoteInTheNotification()
    {
        QFETCH(QString, sound);
        QFETCH(int, foundAfterSecs);
        QTemporaryDir dir;
        QVERIFY(QFile::copy(soundNamed("global", dir), soundNamed("bell", dir)));
        settings().alarmDisplayBaloon = true;
        AlarmRecord r = hourly("Tea", QTime(10, 0), 1);
        r.sound = soundNamed(sound, dir);
        model->add(r);
        td::clock::setFixed(monday(QTime(10, 0, 1)));
        fire();
        if (foundAfterSecs >= 0) {
            td::clock::advance(foundAfterSecs * 1000);
            td::reportSoundProblem(r.sound, "it is broken");
        }
        QTEST(balloons, "sent");
        balloons.clear();
        td::clock::setFixed(monday(QTime(11, 0, 1)));
        fire();
        QCOMPARE(balloons.size(), 1);
        QVERIFY(!balloons.first().contains("No sound"));
    }
};

TIDRA_TEST_MAIN(TestAlarms)
#include "tst_alarms.moc"
