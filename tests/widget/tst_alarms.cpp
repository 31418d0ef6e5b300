// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmDlg.h"
#include "alarms/AlarmMsgDlg.h"
#include "alarms/OtherDelayDlg.h"
#include "alarms/PopupRules.h"
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/WindowPlacement.h"
#include "tests/common/TestSupport.h"
#include "ui_alarmdialog.h"
#include "ui_maindialog.h"
#include "ui_otherdelaydialog.h"

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
Q_DECLARE_METATYPE(td::AlarmRecord)

namespace {

QDateTime at(int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(2024, 5, 6), QTime(h, mi, s, ms));
}

AlarmRecord alarmAt(const QString& name, const QDateTime& base, int mode = td::RepeatOnce,
                    int range = 0, int unit = 0)
{
    AlarmRecord r;
    r.enabled = true;
    r.name = name;
    r.message = name + " message";
    r.date = base.date();
    r.time = base.time();
    r.repeatMode = mode;
    r.repeatRange = range;
    r.repeatMeasure = unit;
    return r;
}

} // namespace

class TestAlarms : public QObject
{
    Q_OBJECT

    td::MainSettingsDlg* w = nullptr;
    td::test::FakeSoundPlayer* sound = nullptr;
    QStringList balloons; // title | text | ms
    const QString soundFile = QStringLiteral(TIDRA_SOURCE_DIR "/resources/oldphone.wav");

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
    QString next() const { return w->ui->nextTimeLabel->text(); }
    static void flushDeletes()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QPoint corner(const AlarmMsgDlg* a) const
    {
        const QRect d = td::availableDesktop();
        return d.bottomRight() - QPoint(a->width(), a->height()) + QPoint(1, 1);
    }
    void editWith(const std::function<void(td::AlarmDlg*)>& fill)
    {
        td::test::whenModal([fill](QWidget* m) {
            auto* editor = qobject_cast<td::AlarmDlg*>(m);
            QVERIFY(editor);
            fill(editor);
        });
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
                                : QString("%1 | %2 | %3").arg(title, text).arg(ms));
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
        *td::appSettings = td::AppSettings();
        td::appSettings->alarmDisplayTime = 10;
        td::appSettings->alarmShadeEffect = true;
        td::appSettings->alarmShadeTime = 15;
        td::appSettings->alarmPlaySound = true;
        td::appSettings->alarmSoundFileName = soundFile;
        td::appSettings->alarmSimpleForm = true;
        sound->played.clear();
        sound->repeating.clear();
        balloons.clear();
        td::clock::setFixed(at(9, 0));
    }
    void cleanup() { td::clock::reset(); }

    // Two ticks at `now` (the second changes nothing). shown: "" nothing,
    // "popup:" and the late note, or the balloon (title | text | ms).
    void firing_data()
    {
        QTest::addColumn<AlarmRecord>("alarm");
        QTest::addColumn<QDateTime>("now");
        // balloon, delete, mute; mirror: "Also send alarms to the notification area";
        // repeat: "Repeat the sound until the pop-up is closed"
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("sounds");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QString>("next"); // after it, "" unchecked
        const AlarmRecord tea = alarmAt("Tea", at(10, 0));
        const AlarmRecord hourly =
            alarmAt("Hourly", at(8, 0).addMonths(-4), td::RepeatEvery, 1, td::Hours);
        const AlarmRecord daily =
            alarmAt("Day", at(10, 30).addDays(-3), td::RepeatEvery, 1, td::Days);
        AlarmRecord noDate = tea;
        noDate.date = QDate();
        const QDateTime ms1 = at(10, 0, 0, 1);
        const QString off = "Alarm is disabled";
        QTest::newRow("at its very millisecond") << tea << at(10, 0) << ""
                                                 << "" << 0 << true << "";
        QTest::newRow("once") << tea << ms1 << ""
                              << "popup:" << 1 << true << off;
        QTest::newRow("hourly, long past")
            << hourly << ms1 << ""
            << "popup:" << 1 << true << "Next alarm: 11:00 Mon 06 May 2024";
        QTest::newRow("missed for days: the latest") << daily << at(9, 0) << ""
                                                     << "popup:"
                                                        "This alarm was due at 10:30 yesterday."
                                                     << 1 << true << "";
        QTest::newRow("balloon, for seconds")
            << tea << ms1 << "balloon"
            << "Alarm: Tea | Tea message | 7000" << 1 << true << off;
        QTest::newRow("balloon, spent alarm deleted")
            << tea << ms1 << "balloon delete"
            << "Alarm: Tea | Tea message | 7000" << 1 << false << "";
        QTest::newRow("late balloon")
            << tea << at(11, 0) << "balloon"
            << "Alarm: Tea | This alarm was due at 10:00 today.\nTea message | 7000" << 1 << true
            << "";
        QTest::newRow("balloon: no second copy")
            << tea << ms1 << "balloon mirror"
            << "Alarm: Tea | Tea message | 7000" << 1 << true << "";
        QTest::newRow("pop-up and its copy") << tea << ms1 << "mirror"
                                             << "popup:" << 1 << true << "";
        QTest::newRow("repeating until the pop-up closes") << tea << ms1 << "repeat"
                                                           << "popup:" << 1 << true << "";
        QTest::newRow("balloon repeating until the alarm goes")
            << tea << ms1 << "balloon repeat"
            << "Alarm: Tea | Tea message | 7000" << 1 << true << "";
        QTest::newRow("sound file missing: reported, not played") << tea << ms1 << "mute"
                                                                  << "popup:" << 0 << true << "";
        QTest::newRow("no date") << noDate << ms1 << ""
                                 << "" << 0 << true << "";
        QTest::newRow("every 0 minutes") << alarmAt("Tea", at(8, 0), td::RepeatEvery) << ms1 << ""
                                         << "" << 0 << true << "";
    }
    void firing()
    {
        QFETCH(AlarmRecord, alarm);
        QFETCH(QString, setup);
        QFETCH(QString, shown);
        QFETCH(QString, next);
        QFETCH(QDateTime, now);
        td::appSettings->alarmDisplayBaloon = setup.contains("balloon");
        td::appSettings->alarmDeleteExpired = setup.contains("delete");
        td::appSettings->alarmAlsoNotify = setup.contains("mirror");
        td::appSettings->alarmRepeatSound = setup.contains("repeat");
        if (setup.contains("mute"))
            td::appSettings->alarmSoundFileName = "/nonexistent/ring.wav";
        td::appSettings->alarmDisplayTime = 7;
        QPointer<AlarmMsgDlg> a = add(alarm);
        td::clock::setFixed(now);
        tick();
        tick();
        QCOMPARE(a->isVisible(), shown.startsWith("popup:"));
        if (a->isVisible()) {
            QCOMPARE(a->pos(), corner(a));
            QLabel* note = a->findChild<QLabel*>("dueLabel");
            QCOMPARE(note->text(), shown.mid(6));
            QCOMPARE(note->isVisible(), shown.size() > 6);
        }
        const bool mirror = setup.contains("mirror") && a->isVisible();
        QCOMPARE(balloons.join(""), a->isVisible() ? QString(mirror ? "mirror" : "") : shown);
        QTEST(int(sound->played.size()), "sounds");
        QCOMPARE(td::knownSoundProblem(td::appSettings->alarmSoundFileName),
                 setup.contains("mute") ? QString("the file does not exist") : QString());
        QCOMPARE(sound->repeating,
                 setup.contains("repeat") ? QList<QObject*>{a.data()} : QList<QObject*>());
        if (!next.isEmpty())
            QCOMPARE(this->next(), next);
        a->hide(); // closing the pop-up silences it; a balloon's sound goes on
        QCOMPARE(sound->repeating.size(), setup == "balloon repeat" ? 1 : 0);
        td::clock::advance(60000);
        tick();
        QCOMPARE(a->isVisible(), now == at(10, 0)); // its first tick after the moment
        QCoreApplication::processEvents();
        flushDeletes();
        QTEST(!names().isEmpty(), "kept");
        if (a)
            w->destroyAlarmMsg(a);
        flushDeletes();
        QVERIFY(sound->repeating.isEmpty());
    }

    void reminderReturnsAfterItsMinute_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("showing");
        QTest::addColumn<int>("late"); // ms after its minute
        QTest::newRow("spent, deleted after") << int(td::RepeatOnce) << false << 1;
        QTest::newRow("hourly, record untouched") << int(td::RepeatEvery) << false << 1;
        QTest::newRow("late: says so") << int(td::RepeatEvery) << false << 61000;
        QTest::newRow("still showing: consumed silently") << int(td::RepeatEvery) << true << 1;
    }
    void reminderReturnsAfterItsMinute()
    {
        QFETCH(int, mode);
        QFETCH(bool, showing);
        QFETCH(int, late);
        td::appSettings->alarmDeleteExpired = true;
        AlarmMsgDlg* a = add(alarmAt("Meds", at(10, 0), mode, 1, td::Hours));
        td::test::PromptRecorder prompts;
        td::clock::setFixed(at(10, 2)); // late: the note shows until a reminder comes on time
        tick();
        QLabel* note = a->findChild<QLabel*>("dueLabel");
        QCOMPARE(note->text(), "This alarm was due at 10:00 today.");
        showing ? a->addDelay(300) : a->delay5minAction->trigger(); // kept while pending
        flushDeletes();
        QCOMPARE(w->alarms.size(), 1);
        td::clock::setFixed(at(10, 7));
        tick();
        QCOMPARE(a->isVisible(), showing);
        td::clock::advance(late);
        tick();
        QVERIFY(a->isVisible());
        QCOMPARE(sound->played.size(), showing ? 1 : 2);
        QVERIFY(!showing || !a->delayedTime().isValid());
        QVERIFY(prompts.prompts.isEmpty());
        QCOMPARE(note->text(), late > 60000 ? "This alarm was due at 10:07 today."
                               : showing    ? "This alarm was due at 10:00 today."
                                            : "");
        QCOMPARE(a->alarm().time, QTime(mode == td::RepeatOnce ? 10 : 11, 0));
        a->hide(); // a spent one is deleted now: `a` is gone
        flushDeletes();
        QCOMPARE(names(), mode == td::RepeatOnce ? QStringList() : QStringList{"Meds"});
    }

    // Every pop-up the program shows takes part in one placement: alarms,
    // finished timers, the summary. A flood shows a screenful and a summary.
    void popupsShareTheDesktop_data()
    {
        QTest::addColumn<int>("due");    // alarms due at once
        QTest::addColumn<int>("timers"); // finished timers before they fire
        QTest::addColumn<int>("shown");  // alarm pop-ups shown
        QTest::addColumn<int>("more");   // the summary's count, 0: none
        QTest::newRow("two timers and an alarm") << 1 << 2 << 1 << 0;
        QTest::newRow("a screenful") << td::maxShownPopups << 0 << td::maxShownPopups << 0;
        // The summary takes the last place of the screenful.
        QTest::newRow("flood") << 45 << 0 << td::maxShownPopups - 1 << 26;
        QTest::newRow("timers take room from the flood") << 30 << 3 << 16 << 14;
    }
    void popupsShareTheDesktop()
    {
        QFETCH(int, due);
        QFETCH(int, timers);
        QFETCH(int, shown);
        QFETCH(int, more);
        td::appSettings->alarmSimpleForm = false;
        for (int i = 0; i < due; ++i)
            add(alarmAt(QString("A%1").arg(i), at(9, 30), td::RepeatEvery, 1, td::Days));
        td::TimerRecord timer;
        timer.dateTime = at(9, 30);
        for (int i = 0; i < timers; ++i)
            w->showTimerAlarm(timer);
        td::clock::setFixed(at(9, 30, 1));
        tick();
        // Every due alarm moved on, shown or not; one sound for all.
        int alarmPopups = 0;
        for (AlarmMsgDlg* a : std::as_const(w->alarms)) {
            QCOMPARE(a->alarm().date, QDate(2024, 5, 7));
            alarmPopups += a->isVisible() ? 1 : 0;
        }
        QCOMPARE(alarmPopups, shown);
        QCOMPARE(sound->played.size(), 1);
        AlarmMsgDlg* summary = w->findChild<AlarmMsgDlg*>("alarmSummary");
        QCOMPARE(summary ? summary->summaryCount() : 0, more);
        // All on the desktop; none under another while the columns last, then
        // none exactly over another.
        const QRect desktop = td::availableDesktop();
        const QList<AlarmMsgDlg*> all = w->findChildren<AlarmMsgDlg*>();
        const QSize size = all.first()->size();
        const bool room = shown + timers + (more ? 1 : 0) <=
                          (desktop.width() / size.width()) * (desktop.height() / size.height());
        for (AlarmMsgDlg* x : all) {
            QVERIFY(!x->isVisible() || desktop.contains(x->geometry()));
            for (AlarmMsgDlg* y : all)
                QVERIFY(x == y || !x->isVisible() || !y->isVisible() ||
                        (room ? !x->geometry().intersects(y->geometry())
                              : x->geometry() != y->geometry()));
        }
        if (summary) {
            // More alarms while it shows: the count grows, no second summary.
            add(alarmAt("Late", at(9, 31)));
            td::clock::setFixed(at(9, 31, 1));
            tick();
            QCOMPARE(summary->summaryCount(), more + 1);
            QCOMPARE(w->findChildren<AlarmMsgDlg*>("alarmSummary").size(), 1);
            // A click on it opens the alarm list, and it goes.
            w->hide();
            QTest::mouseClick(summary, Qt::LeftButton, {}, QPoint(20, 20));
            QVERIFY(w->isVisible());
            QCOMPARE(w->ui->stack->currentIndex(), 1);
            flushDeletes();
            QVERIFY(!w->findChild<AlarmMsgDlg*>("alarmSummary"));
            w->hide();
        }
        for (AlarmMsgDlg* x : w->findChildren<AlarmMsgDlg*>())
            if (!w->alarms.contains(x))
                x->hide();
        flushDeletes();
    }

    void timerPopupRemindsLater()
    {
        td::TimerRecord timer;
        timer.name = "Egg";
        timer.dateTime = at(9, 0);
        w->showTimerAlarm(timer);
        QPointer<AlarmMsgDlg> popup = w->otherPopups.value(0);
        QVERIFY(popup && popup->isVisible());
        QVERIFY(!popup->editAction->isVisible()); // its record belongs to no list
        popup->delay5minAction->trigger();
        flushDeletes();
        QVERIFY(popup && popup->isHidden());
        tick(); // the main tick wakes for the reminder
        QCOMPARE(w->mainTimer->deadline(), popup->reminderMsecs() + 1);
        w->mainTimer->stop();
        td::clock::setFixed(at(9, 5, 0, 1));
        tick();
        QVERIFY(popup->isVisible());
        QCOMPARE(sound->played.size(), 1);
        popup->hide();
        flushDeletes();
        QVERIFY(!popup);
    }

    void popupFitsTheDesktop_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("scrolls");
        const QString words = QStringList(60, "meeting").join(' ');
        QStringList lines;
        for (int i = 1; i <= 45; ++i)
            lines << QString("Line %1").arg(i);
        QTest::newRow("short") << "Tea"
                               << "Now" << false;
        QTest::newRow("sixty words on one line") << "Tea" << words << false;
        QTest::newRow("forty-five lines") << "Tea" << lines.join('\n') << true;
        QTest::newRow("one endless word") << "Tea" << QString(3000, 'x') << true;
        QTest::newRow("long name") << QString(200, 'N') << "Now" << false;
    }
    void popupFitsTheDesktop()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(bool, scrolls);
        td::appSettings->alarmSimpleForm = false;
        AlarmRecord r = alarmAt(name, at(11, 0));
        r.message = message;
        AlarmMsgDlg a(r);
        a.parkInCorner();
        a.showAlarm();
        const QRect desktop = td::availableDesktop();
        QVERIFY(desktop.contains(a.geometry()));
        auto* area = a.findChild<QAbstractScrollArea*>("messageArea");
        QCOMPARE(area->verticalScrollBar()->isVisible(), scrolls);
        auto* text = a.findChild<QLabel*>("textLabel");
        // The message shows its own lines; nothing runs past the right edge.
        QVERIFY(text->width() <= area->viewport()->width());
        QCOMPARE(text->text().remove(QChar(0x200B)), message);
        auto* nameLabel = a.findChild<QLabel*>("nameLabel");
        QCOMPARE(nameLabel->toolTip(), nameLabel->text() == name ? QString() : name);
    }

    void deleteRows_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("selected");
        QTest::newRow("last") << 3 << 2 << QStringList{"A0", "A1"} << 1;
        QTest::newRow("middle") << 3 << 1 << QStringList{"A0", "A2"} << 1;
        QTest::newRow("only") << 1 << 0 << QStringList{} << -1;
        QTest::newRow("no selection") << 1 << -1 << QStringList{"A0"} << -1;
    }
    void deleteRows()
    {
        QFETCH(int, count);
        QFETCH(int, row);
        QFETCH(QStringList, left);
        QFETCH(int, selected);
        for (int i = 0; i < count; ++i)
            add(alarmAt(QString("A%1").arg(i), at(12, i)));
        w->ui->alarmsList->setCurrentRow(row);
        w->delAlarm();
        flushDeletes();
        QCOMPARE(names(), left);
        QCOMPARE(w->ui->alarmsList->currentRow(), selected);
        QCOMPARE(w->ui->alarmMessage->toPlainText(),
                 selected < 0 ? QString() : left[selected] + " message");
    }

    void nextFollowsTheClock()
    {
        add(alarmAt("Passed, not yet fired", at(8, 0)));
        QCOMPARE(next(), QString("Alarm finished"));
        add(alarmAt("R", at(9, 0), td::RepeatEvery, 30, td::Minutes));
        td::clock::setFixed(at(9, 30, 0, 1));
        w->alarmChanged(1); // not ticked: the alarm has not moved on, the label has
        QCOMPARE(next(), QString("Next alarm: 10:00 Mon 06 May 2024"));
    }

    void throughEditor_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("left");
        const QStringList both{"First", "Second"};
        QTest::newRow("add") << "add" << both + QStringList{"Dentist"};
        QTest::newRow("add, cancel") << "add cancel" << both;
        QTest::newRow("add disabled: kept, delete expired or not")
            << "add off" << both + QStringList{"Dentist"};
        QTest::newRow("rename") << "edit" << QStringList{"First", "Dentist"};
        QTest::newRow("rename from the pop-up") << "edit popup" << QStringList{"First", "Dentist"};
        QTest::newRow("disable, delete expired") << "edit off" << QStringList{"First"};
    }
    void throughEditor()
    {
        QFETCH(QString, how);
        td::appSettings->alarmDeleteExpired = true;
        add(alarmAt("First", at(12, 0)));
        AlarmMsgDlg* a = add(alarmAt("Second", at(13, 0), td::RepeatEvery, 3, td::Days));
        a->showAlarm(); // editing hides a showing pop-up and sends it to the corner
        a->move(10, 10);
        editWith([how](td::AlarmDlg* editor) {
            QCOMPARE(editor->ui->repeatRange->value(), how.startsWith("add") ? 1 : 3);
            editor->ui->alarmName->setText("Dentist");
            editor->ui->alarmEnabled->setChecked(!how.endsWith("off"));
            how.endsWith("cancel") ? editor->reject() : editor->apply();
        });
        w->ui->alarmsList->setCurrentRow(1);
        if (how.startsWith("add"))
            w->addAlarm();
        else if (how.endsWith("popup"))
            a->editAction->trigger();
        else
            w->editAlarm(w->ui->alarmsList->item(1));
        flushDeletes();
        QTEST(names(), "left");
        if (how == "add") {
            QCOMPARE(w->ui->alarmsList->currentRow(), 2);
            QCOMPARE(w->alarms.last()->alarm().time, QTime(10, 0)); // proposed an hour ahead
        } else if (how == "edit") {
            QVERIFY(a->isHidden());
            a->prepareSize();
            QCOMPARE(a->pos(), corner(a));
        }
    }

    void repeatedHourDoesNotRefire()
    {
        // Every 30 minutes through the autumn change: 02:30 summer time and 02:30 winter
        // time are one stored time of day, but must stay two moments an hour apart.
        const QDateTime change(QDate(2024, 10, 27), QTime(1, 0), Qt::UTC); // 03:00 -> 02:00
        const auto minutesFromChange = [&](int m) { return change.addSecs(m * 60).toLocalTime(); };
        AlarmMsgDlg* a =
            add(alarmAt("Half-hourly", minutesFromChange(-90), td::RepeatEvery, 30, td::Minutes));
        for (int step = 1; step <= 5; ++step) {
            td::clock::setFixed(minutesFromChange(-90 + 30 * step).addMSecs(1));
            tick();
            a->hide();
            td::clock::advance(100);
            tick();
            QCOMPARE(sound->played.size(), step);
        }
    }

    // The pop-up on its own.

    void parkedPopupTakesCornerWithRealSize()
    {
        td::appSettings->alarmSimpleForm = false;
        AlarmRecord r = alarmAt("Stand up", at(11, 0), td::RepeatEvery, 1, td::Hours);
        r.message = QString(120, 'x') + "\n2\n3\n4";
        AlarmMsgDlg a(alarmAt("Old name", at(11, 0)));
        a.setAlarm(r); // before its first showing
        a.parkInCorner();
        a.showAlarm();
        QCOMPARE(a.findChild<QLabel*>("nameLabel")->text(), QString("Stand up"));
        QCOMPARE(a.geometry().bottomRight(), td::availableDesktop().bottomRight());
        // Shown at the size it was placed with.
        const QSize prepared = a.size();
        QCoreApplication::processEvents();
        QCOMPARE(a.size(), prepared);
    }

    void fadeAndHover_data()
    {
        QTest::addColumn<bool>("shade");
        QTest::addColumn<int>("hoverAfter"); // fade steps before the pointer comes, -1 never
        QTest::addColumn<bool>("menu");      // the menu is opened, then closed elsewhere
        QTest::newRow("fade untouched") << true << -1 << false;
        QTest::newRow("hover while fading") << true << 31 << false;
        QTest::newRow("hover during display") << true << 0 << false;
        QTest::newRow("hover, no shade effect") << false << 0 << false;
        QTest::newRow("menu closed elsewhere") << true << 0 << true;
        QTest::newRow("menu closed elsewhere, no shade effect") << false << 0 << true;
    }
    void fadeAndHover()
    {
        QFETCH(bool, shade);
        QFETCH(int, hoverAfter);
        QFETCH(bool, menu);
        td::appSettings->alarmShadeEffect = shade;
        AlarmMsgDlg a(alarmAt("Stand up", at(11, 0)));
        a.showAlarm();
        QCursor::setPos(td::availableDesktop().topLeft()); // far from the pop-up's corner
        QCOMPARE(a.shadeTimer->interval(), 10000);
        for (int i = 0; i < hoverAfter; ++i)
            a.shadeDown();
        if (hoverAfter < 0) {
            int steps = 0;
            for (a.shadeDown(); a.isVisible() && steps < 1000; ++steps)
                a.shadeDown();
            QCOMPARE(steps, 80);
            return;
        }
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), a.mapToGlobal(QPointF(5, 5)));
        QCoreApplication::sendEvent(&a, &enter);
        QVERIFY(!a.shadeTimer->isActive());
        QCOMPARE(a.windowOpacity(), 1.0);
        if (menu)
            a.menu->popup(a.mapToGlobal(QPoint(5, 5)));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&a, &leave);
        if (menu) {
            QVERIFY(a.isVisible() && !a.shadeTimer->isActive()); // held while the menu is open
            a.menu->hide();
            QCoreApplication::processEvents();
        }
        QCOMPARE(a.isVisible(), shade);
        // Leaving cuts the display period short: the fade goes on at once.
        QCOMPARE(a.shadeTimer->isActive() ? a.shadeTimer->interval() : 0, shade ? 150 : 0);
    }

    void hidingSpentAlarm_data()
    {
        QTest::addColumn<QString>("how"); // and "keep": not deleting expired; "active": not spent
        QTest::addColumn<int>("finished");
        QTest::newRow("hidden") << "hide" << 1;
        QTest::newRow("escape") << "escape" << 1;
        QTest::newRow("close button") << "close" << 1;
        QTest::newRow("other keys") << "keys" << 0;
        QTest::newRow("kept by the setting") << "hide keep" << 0;
        QTest::newRow("not spent") << "hide active" << 0;
        QTest::newRow("reminder pending") << "later" << 0;
    }
    void hidingSpentAlarm()
    {
        QFETCH(QString, how);
        td::appSettings->alarmDeleteExpired = !how.contains("keep");
        AlarmRecord r = alarmAt("Once", at(9, 0));
        r.enabled = how.contains("active");
        AlarmMsgDlg a(r);
        td::test::PromptRecorder prompts;
        QSignalSpy spy(&a, &AlarmMsgDlg::alarmFinished);
        a.showAlarm();
        if (how.startsWith("hide"))
            a.hide();
        else if (how == "escape")
            QTest::keyClick(&a, Qt::Key_Escape);
        else if (how == "close")
            QTest::mousePress(a.findChild<QPushButton*>("closeButton"), Qt::LeftButton);
        else if (how == "later")
            a.addDelay5min();
        else
            QTest::keyClicks(&a, "\ra");
        QCOMPARE(a.isHidden(), how != "keys");
        QTEST(int(spy.count()), "finished");
        QVERIFY(prompts.prompts.isEmpty());
    }

    void remindLater_data()
    {
        QTest::addColumn<int>("unit");   // -1: a spent one-time alarm
        QTest::addColumn<int>("action"); // 5 min, 1 hour, 1 day; 3, 4: 2 hours in the
                                         // other delay dialog, accepted or cancelled
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("reminder"); // null: refused or cancelled
        const int h = td::Hours, d = td::Days;
        QTest::newRow("5 minutes, seconds dropped") << h << 0 << at(10, 0, 40) << at(10, 5);
        QTest::newRow("1 hour equals next: refused") << h << 1 << at(10, 0, 0) << QDateTime();
        QTest::newRow("5 minutes near the next") << h << 0 << at(10, 54, 59) << at(10, 59);
        QTest::newRow("5 minutes too late") << h << 0 << at(10, 55, 0) << QDateTime();
        QTest::newRow("daily, 1 day right at firing") << d << 2 << at(10, 0, 0) << QDateTime();
        QTest::newRow("daily, 1 hour") << d << 1 << at(10, 0, 1) << at(11, 0);
        // A spent alarm has no next occurrence to limit its reminder.
        QTest::newRow("spent, other: 2 hours") << -1 << 3 << at(9, 0) << at(11, 0);
        QTest::newRow("spent, other: cancelled") << -1 << 4 << at(9, 0) << QDateTime();
        // The first 02:40 of 27 October (summer time): 02:45 summer time, not winter time.
        const auto utc = [](int h, int m, int sec) {
            return QDateTime(QDate(2024, 10, 27), QTime(h, m, sec), Qt::UTC);
        };
        QTest::newRow("in the repeated autumn hour")
            << h << 0 << utc(0, 40, 30).toLocalTime() << utc(0, 45, 0);
    }
    void remindLater()
    {
        QFETCH(int, unit);
        QFETCH(int, action);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, reminder);
        // An alarm that fired at 10:00 has its base at its next occurrence.
        const QDateTime base = unit == td::Hours ? at(11, 0) : at(10, 0).addDays(1);
        AlarmRecord r = alarmAt("Hourly", base, td::RepeatEvery, 1, unit);
        if (unit < 0)
            r = alarmAt("Spent", at(8, 59));
        r.enabled = unit >= 0;
        AlarmMsgDlg a(r);
        td::test::PromptRecorder prompts;
        td::clock::setFixed(now);
        a.showAlarm();
        if (action > 2) {
            td::test::whenModal([=](QWidget* m) {
                auto* d = qobject_cast<td::OtherDelayDlg*>(m);
                QVERIFY(d);
                d->ui->valueBox->setValue(2);
                d->ui->valueType->setCurrentIndex(1);
                action == 3 ? d->accept() : d->reject();
            });
        }
        const qint64 seconds[] = {300, 3600, 86400};
        QList<QAction*>{a.delay5minAction, a.delay1hourAction, a.delay1dayAction,
                        a.otherDelayAction, a.otherDelayAction}[action]
            ->trigger();
        QVERIFY(a.isHidden()); // even when refused
        QCOMPARE(a.delayedTime().toMSecsSinceEpoch(), reminder.toMSecsSinceEpoch());
        QCOMPARE(prompts.titles(),
                 reminder.isValid() || action > 2 ? QStringList() : QStringList{"Alarm"});
        QCOMPARE(a.reminderMsecs(),
                 reminder.isValid() ? reminder.toMSecsSinceEpoch() : AlarmMsgDlg::Never);
        if (reminder.isValid() && unit >= 0)
            QCOMPARE(a.fireMsecs(), alarmMoment(r).toMSecsSinceEpoch() + seconds[action] * 1000);
    }

    void formSwitchKeepsCorner_data()
    {
        QTest::addColumn<bool>("simple");
        QTest::newRow("compact to full") << true;
        QTest::newRow("full to compact") << false;
    }
    void formSwitchKeepsCorner()
    {
        QFETCH(bool, simple);
        td::appSettings->alarmSimpleForm = !simple;
        AlarmMsgDlg reference(alarmAt("Stand up", at(11, 0), td::RepeatEvery, 1, td::Hours));
        reference.prepareSize();
        td::appSettings->alarmSimpleForm = simple;
        AlarmMsgDlg a(alarmAt("Stand up", at(11, 0), td::RepeatEvery, 1, td::Hours));
        a.showAlarm();
        QCOMPARE(a.findChild<QLabel*>("label")->isVisible(), !simple);
        QCOMPARE(a.findChild<QLabel*>("animation")->isVisible(), !simple);
        // The clock only runs while it can be seen.
        QCOMPARE(a.movie != nullptr && a.movie->state() == QMovie::Running, !simple);
        QCoreApplication::processEvents();
        a.hide();
        QVERIFY(!a.movie || a.movie->state() != QMovie::Running);
        a.move(QPoint(500, 400) - QPoint(a.width(), a.height()));
        td::appSettings->alarmSimpleForm = !simple;
        a.prepareSize();
        QCOMPARE(a.size(), reference.size());
        QCOMPARE(a.geometry().bottomRight(), QPoint(499, 399));
    }
};

TIDRA_TEST_MAIN(TestAlarms)
#include "tst_alarms.moc"
