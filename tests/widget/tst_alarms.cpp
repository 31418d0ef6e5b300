// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmDlg.h"
#include "alarms/AlarmMsgDlg.h"
#include "alarms/PopupRules.h"
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/WindowPlacement.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/TestSupport.h"
#include "ui_alarmdialog.h"
#include "ui_maindialog.h"

#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QMovie>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>

using td::AlarmMsgDlg;
using td::AlarmRecord;
using td::test::addRows;
using td::test::alarm;

namespace {

// "10:00:30" on Monday 6 May 2024, or a whole "2024-05-06 10:00" moment.
QDateTime at(const QString& s)
{
    return td::test::at(s.contains('-') ? s : "2024-05-06 " + s);
}

} // namespace

class TestAlarms : public QObject
{
    Q_OBJECT

    td::MainSettingsDlg* w = nullptr;
    td::test::FakeSoundPlayer* sound = nullptr;
    QStringList balloons; // title; text; ms
    td::AppSettings& settings() { return *td::appSettings; }

    AlarmMsgDlg* add(const AlarmRecord& r)
    {
        auto* a = new AlarmMsgDlg(r, w);
        w->adoptAlarm(a, true);
        return a;
    }
    void tick() { w->updateMainTimer(); }
    // The list rows, checked against the alarms they stand for.
    QStringList names() const
    {
        QStringList alarms;
        for (AlarmMsgDlg* a : w->alarms)
            alarms << a->alarm().name;
        return td::test::rowsMatching(w->ui->alarmsList, alarms);
    }
    static void flushDeletes()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void initTestCase()
    {
        w = new td::MainSettingsDlg;
        w->mainTimer->stop(); // the tests tick by hand
        sound = new td::test::FakeSoundPlayer;
        td::setAlarmBalloonHandler([this](td::AlarmMsgDlg*, const QString& title,
                                          const QString& text, int ms, bool mirror) {
            balloons << (mirror ? QString("mirror")
                                : QString("%1; %2; %3").arg(title, text).arg(ms));
        });
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }
    void cleanupTestCase()
    {
        td::setAlarmBalloonHandler({});
        delete sound;
        delete w;
    }
    void init()
    {
        while (!w->alarms.isEmpty())
            w->destroyAlarmMsg(w->alarms.first());
        flushDeletes();
        settings() = td::AppSettings();
        settings().alarmDisplayTime = 10;
        settings().alarmShadeEffect = settings().alarmPlaySound = settings().alarmSimpleForm = true;
        settings().alarmShadeTime = 15;
        settings().alarmSoundFileName = TIDRA_SOURCE_DIR "/resources/oldphone.wav";
        sound->played.clear();
        sound->repeating.clear();
        balloons.clear();
        td::clock::setFixed(at("09:00"));
    }
    void cleanup() { td::clock::reset(); }

    // Two ticks at `now` (the second changes nothing). setup: balloon, delete (spent ones),
    // mirror (also to the notification area), repeat (the sound until closed), mute (no file).
    // shown: nothing, "popup:" and the late note, or the balloon ("/" a line break).
    void firing_data()
    {
        addRows(R"(
at its very millisecond     | Tea 10:00 | 10:00 |  |  | 0 | kept
once                        | Tea 10:00 | 10:00:00.001 |  | popup: | 1 | kept
hourly, long past           | Hourly 2024-01-06 08:00 every 1 h | 10:00:00.001 |  | popup: | 1 | kept
missed for days: the latest | Day 2024-05-03 10:30 every 1 d | 09:00 |  | popup:This alarm was due at 10:30 yesterday. | 1 | kept
balloon, for seconds        | Tea 10:00 | 10:00:00.001 | balloon | Alarm: Tea; Tea message; 7000 | 1 | kept
balloon, spent alarm deleted | Tea 10:00 | 10:00:00.001 | balloon delete | Alarm: Tea; Tea message; 7000 | 1 | gone
late balloon                | Tea 10:00 | 11:00 | balloon | Alarm: Tea; This alarm was due at 10:00 today./Tea message; 7000 | 1 | kept
balloon: no second copy     | Tea 10:00 | 10:00:00.001 | balloon mirror | Alarm: Tea; Tea message; 7000 | 1 | kept
pop-up and its copy         | Tea 10:00 | 10:00:00.001 | mirror | popup: | 1 | kept
repeating until it closes   | Tea 10:00 | 10:00:00.001 | repeat | popup: | 1 | kept
balloon repeating until the alarm goes | Tea 10:00 | 10:00:00.001 | balloon repeat | Alarm: Tea; Tea message; 7000 | 1 | kept
sound file missing: reported | Tea 10:00 | 10:00:00.001 | mute | popup: | 0 | kept)");
    }
    void firing()
    {
        QFETCH(QStringList, f);
        const QString setup = f[2], shown = QString(f[3]).replace('/', '\n');
        settings().alarmDisplayBaloon = setup.contains("balloon");
        settings().alarmDeleteExpired = setup.contains("delete");
        settings().alarmAlsoNotify = setup.contains("mirror");
        settings().alarmRepeatSound = setup.contains("repeat");
        if (setup.contains("mute"))
            settings().alarmSoundFileName = "/nonexistent/ring.wav";
        settings().alarmDisplayTime = 7;
        QPointer<AlarmMsgDlg> a = add(alarm(f[0]));
        td::clock::setFixed(at(f[1]));
        tick();
        tick();
        QCOMPARE(a->isVisible(), shown.startsWith("popup:"));
        if (a->isVisible()) {
            QCOMPARE(a->geometry().bottomRight(), td::availableDesktop().bottomRight());
            QLabel* note = a->findChild<QLabel*>("dueLabel");
            QCOMPARE(note->isVisible() ? note->text() : QString(), shown.mid(6));
        }
        const bool mirror = setup.contains("mirror") && a->isVisible();
        QCOMPARE(balloons.join(""), a->isVisible() ? QString(mirror ? "mirror" : "") : shown);
        QCOMPARE(QString::number(sound->played.size()), f[4]);
        QCOMPARE(sound->repeating,
                 setup.contains("repeat") ? QList<QObject*>{a} : QList<QObject*>());
        a->hide(); // closing the pop-up silences it; a balloon's sound goes on
        QCOMPARE(sound->repeating.size(), setup == "balloon repeat" ? 1 : 0);
        td::clock::advance(60000);
        tick();
        QCOMPARE(a->isVisible(), f[1] == "10:00"); // its first tick after the moment
        QCoreApplication::processEvents();
        flushDeletes();
        QCOMPARE(names().isEmpty() ? "gone" : "kept", f[5]);
    }

    // alarm | still showing | ms after its minute
    void reminderReturnsAfterItsMinute_data()
    {
        addRows(R"(
spent, deleted after             | Meds 10:00           |   | 1
hourly, record untouched         | Meds 10:00 every 1 h |   | 1
late: says so                    | Meds 10:00 every 1 h |   | 61000
still showing: consumed silently | Meds 10:00 every 1 h | 1 | 1)");
    }
    void reminderReturnsAfterItsMinute()
    {
        QFETCH(QStringList, f);
        const bool showing = f[1] == "1";
        const int late = f[2].toInt();
        settings().alarmDeleteExpired = true;
        AlarmMsgDlg* a = add(alarm(f[0]));
        const bool once = a->alarm().repeatMode == td::RepeatOnce;
        td::test::PromptRecorder prompts;
        td::clock::setFixed(at("10:02")); // late: the note shows until a reminder comes on time
        tick();
        QLabel* note = a->findChild<QLabel*>("dueLabel");
        QCOMPARE(note->text(), "This alarm was due at 10:00 today.");
        showing ? a->addDelay(300) : a->delay5minAction->trigger(); // kept while pending
        flushDeletes();
        QCOMPARE(w->alarms.size(), 1);
        td::clock::setFixed(at("10:07"));
        tick();
        QCOMPARE(a->isVisible(), showing);
        td::clock::advance(late);
        tick();
        QVERIFY(a->isVisible() && prompts.prompts.isEmpty() && !a->delayedTime().isValid());
        QCOMPARE(sound->played.size(), showing ? 1 : 2);
        QCOMPARE(note->text(), late > 60000 ? "This alarm was due at 10:07 today."
                               : showing    ? "This alarm was due at 10:00 today."
                                            : "");
        QCOMPARE(a->alarm().time, QTime(once ? 10 : 11, 0));
        a->hide(); // a spent one is deleted now: `a` is gone
        flushDeletes();
        QCOMPARE(names(), once ? QStringList() : QStringList{"Meds"});
    }

    // Every pop-up the program shows takes part in one placement: alarms, finished timers, the
    // summary. A flood shows a screenful, the summary taking its last place.
    // alarms due at once | finished timers before them | alarm pop-ups shown | summary count
    void popupsShareTheDesktop_data()
    {
        addRows(R"(
two timers and an alarm         | 1  | 2 | 1  | 0
a screenful                     | 20 | 0 | 20 | 0
flood                           | 45 | 0 | 19 | 26
timers take room from the flood | 30 | 3 | 16 | 14)");
    }
    void popupsShareTheDesktop()
    {
        QFETCH(QStringList, f);
        settings().alarmSimpleForm = false;
        for (int i = 0; i < f[0].toInt(); ++i)
            add(alarm(QString("A%1 09:30 every 1 d").arg(i)));
        td::TimerRecord timer;
        timer.dateTime = at("09:30");
        for (int i = 0; i < f[1].toInt(); ++i)
            w->showTimerAlarm(timer);
        td::clock::setFixed(at("09:30:01"));
        tick();
        // Every due alarm moved on, shown or not; one sound for all.
        int alarmPopups = 0;
        for (AlarmMsgDlg* a : std::as_const(w->alarms)) {
            QCOMPARE(a->alarm().date, QDate(2024, 5, 7));
            alarmPopups += a->isVisible() ? 1 : 0;
        }
        QCOMPARE(sound->played.size(), 1);
        AlarmMsgDlg* summary = w->findChild<AlarmMsgDlg*>("alarmSummary");
        QCOMPARE(QString("%1 %2").arg(alarmPopups).arg(summary ? summary->summaryCount() : 0),
                 f[2] + ' ' + f[3]);
        // All on the desktop, none exactly over another.
        QList<QRect> shown;
        for (AlarmMsgDlg* x : w->findChildren<AlarmMsgDlg*>())
            shown << (x->isVisible() ? x->geometry() : QRect());
        for (const QRect& x : shown)
            QVERIFY(x.isNull() || (td::availableDesktop().contains(x) && shown.count(x) == 1));
        for (AlarmMsgDlg* x : w->findChildren<AlarmMsgDlg*>())
            if (!w->alarms.contains(x))
                x->hide();
        flushDeletes();
    }

    void timerPopupRemindsLater()
    {
        td::TimerRecord timer;
        timer.dateTime = at("09:00");
        w->showTimerAlarm(timer);
        QPointer<AlarmMsgDlg> popup = w->otherPopups.value(0);
        QVERIFY(popup && popup->isVisible() && !popup->editAction->isVisible());
        popup->delay5minAction->trigger();
        flushDeletes();
        QVERIFY(popup && popup->isHidden());
        td::clock::setFixed(at("09:05:00.001"));
        tick();
        QVERIFY(popup->isVisible());
        QCOMPARE(sound->played.size(), 1);
        popup->hide();
        flushDeletes();
        QVERIFY(!popup);
    }

    // Placed before its first showing, in the corner at the size it shows with; the message
    // shows its own lines, nothing runs past the right edge, a long one scrolls.
    void popupFitsTheDesktop()
    {
        settings().alarmSimpleForm = false;
        for (const QString& message : {QStringList(60, "meeting").join(' '), QString(3000, 'x')}) {
            AlarmRecord r = alarm("Tea 11:00 every 1 h");
            r.message = message;
            AlarmMsgDlg a(alarm("Old 11:00"));
            a.setAlarm(r);
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

    // Through the list and the editor (which drops seconds); new alarms are proposed an hour
    // ahead.
    void throughEditor_data()
    {
        addRows(R"(
add                     | add        | First Second Dentist | Dentist 10:00
add, cancel             | add cancel | First Second
rename                  | edit       | First Dentist        | Dentist 13:00 every 3 d
disable, delete expired | edit off   | First
delete the selected one | delete     | First                | First 12:00)");
    }
    void throughEditor()
    {
        QFETCH(QStringList, f);
        const QString how = f[0];
        settings().alarmDeleteExpired = true;
        add(alarm("First 12:00"));
        add(alarm("Second 13:00 every 3 d"));
        td::test::answerEditor<td::AlarmDlg>(
            [how](Ui_AlarmDialog* ui) {
                QCOMPARE(ui->repeatRange->value(), how.startsWith("add") ? 1 : 3);
                ui->alarmName->setText("Dentist");
                ui->alarmTime->setTime(ui->alarmTime->time().addSecs(33));
                ui->alarmEnabled->setChecked(!how.endsWith("off"));
            },
            !how.endsWith("cancel"));
        w->ui->alarmsList->setCurrentRow(1);
        if (how.startsWith("add"))
            w->addAlarm();
        else if (how == "delete")
            w->delAlarm();
        else
            w->editAlarm(w->ui->alarmsList->item(1));
        flushDeletes();
        QCOMPARE(names(), f[1].split(' '));
        if (f.size() < 3)
            return;
        AlarmRecord expected = alarm(f[2]);
        expected.message = how == "add" ? "" : how == "edit" ? "Second message" : expected.message;
        QCOMPARE(w->alarms[w->ui->alarmsList->currentRow()]->alarm(), expected);
    }

    // The pointer comes while it fades, opens the menu and leaves; the menu is closed elsewhere.
    // Leaving cuts the display period short: the fade goes on at once, or without the shade
    // effect the pop-up goes.
    void fadeAndHover()
    {
        for (const bool shade : {true, false}) {
            settings().alarmShadeEffect = shade;
            AlarmMsgDlg a(alarm("Stand 11:00"));
            a.showAlarm();
            QCursor::setPos(td::availableDesktop().topLeft()); // far from the pop-up's corner
            for (int i = 0; shade && i < 31; ++i)
                a.shadeDown();
            QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), a.mapToGlobal(QPointF(5, 5)));
            QCoreApplication::sendEvent(&a, &enter);
            QVERIFY(!a.shadeTimer->isActive() && a.windowOpacity() == 1.0);
            a.menu->popup(a.mapToGlobal(QPoint(5, 5)));
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(&a, &leave);
            QVERIFY(a.isVisible() && !a.shadeTimer->isActive()); // held while the menu is open
            a.menu->hide();
            QCoreApplication::processEvents();
            QCOMPARE(a.isVisible(), shade);
            QCOMPARE(a.shadeTimer->isActive() ? a.shadeTimer->interval() : 0, shade ? 150 : 0);
        }
    }

    // alarm | now | action: 0 5 min, 1 1 hour, 2 1 day | reminder ("": refused, it would come
    // after the next occurrence). An alarm that fired at 10:00 has its base at its next one.
    void remindLater_data()
    {
        addRows(R"(
5 minutes, seconds dropped  | 11:00 every 1 h | 10:00:40 | 0 | 10:05
1 hour equals next: refused | 11:00 every 1 h | 10:00    | 1 |
5 minutes too late          | 11:00 every 1 h | 10:55    | 0 |
daily, 1 hour               | 2024-05-07 10:00 every 1 d | 10:00:01 | 1 | 11:00
in the repeated autumn hour | 11:00 every 1 h | 2024-10-27 00:40:30Z | 0 | 2024-10-27 00:45Z)");
    }
    void remindLater()
    {
        QFETCH(QStringList, f);
        const QDateTime reminder = f[3].isEmpty() ? QDateTime() : at(f[3]);
        AlarmMsgDlg a(alarm("Hourly " + f[0]));
        td::test::PromptRecorder prompts;
        td::clock::setFixed(at(f[1]).toLocalTime());
        a.showAlarm();
        QList<QAction*>{a.delay5minAction, a.delay1hourAction, a.delay1dayAction}[f[2].toInt()]
            ->trigger();
        QVERIFY(a.isHidden()); // even when refused
        QCOMPARE(a.delayedTime().toMSecsSinceEpoch(), reminder.toMSecsSinceEpoch());
        QCOMPARE(prompts.titles(), reminder.isValid() ? QStringList() : QStringList{"Alarm"});
    }

    // name ("_" a blank) | minutes from 10:20 | mode | the warning.
    // A weekday alarm without a day is switched to once; applied again, it is taken.
    void editorValidates_data()
    {
        addRows(R"(
blank name          | ___ | 60 | 0 | Empty name
this minute is past | A   | 0  | 0 | Back in time!
no day              | A   | 5  | 2 | Play once)");
    }
    void editorValidates()
    {
        QFETCH(QStringList, f);
        td::clock::setFixed(at("10:20:45"));
        td::test::PromptRecorder prompts;
        td::AlarmDlg d;
        d.show();
        const QDateTime moment = at("10:20").addSecs(f[1].toInt() * 60);
        d.ui->alarmName->setText(QString(f[0]).replace('_', ' '));
        d.ui->alarmDate->setDate(moment.date());
        d.ui->alarmTime->setTime(moment.time());
        d.ui->alarmMode->setCurrentIndex(f[2].toInt());
        QTest::mouseClick(d.ui->applyButton, Qt::LeftButton);
        QVERIFY(prompts.titles() == QStringList{f[3]} && d.isVisible());
        if (f[3] != "Play once")
            return;
        d.apply();
        QVERIFY(prompts.prompts.size() == 1 && !d.isVisible());
        QCOMPARE(d.result().repeatMode, int(td::RepeatOnce));
    }
};

TIDRA_TEST_MAIN(TestAlarms)
#include "tst_alarms.moc"
