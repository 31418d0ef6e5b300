#include "alarms/AlarmDlg.h"
#include "alarms/AlarmMsgDlg.h"
#include "alarms/alarmlist.h"
#include "app/AppSettings.h"
#include "app/Clock.h"
#include "app/MainSettingsDlg.h"
#include "app/WindowPlacement.h"
#include "tests/common/TestSupport.h"
#include "ui_alarmdialog.h"
#include "ui_maindialog.h"

#include <QSignalSpy>
#include <QTimer>

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

struct Balloon
{
    QString title;
    QString text;
    int msecs;
};

} // namespace

class TestAlarmList : public QObject
{
    Q_OBJECT

    td::MainSettingsDlg* w = nullptr;
    td::test::FakeSoundPlayer* sound = nullptr;
    QList<Balloon> balloons;
    const QString soundFile = QStringLiteral(TIDRA_SOURCE_DIR "/resources/oldphone.wav");

    AlarmMsgDlg* add(const AlarmRecord& r)
    {
        auto* a = new AlarmMsgDlg(r, w);
        w->adoptAlarm(a, true);
        return a;
    }
    void tick() { w->updateMainTimer(); }
    QStringList rowNames() const
    {
        QStringList out;
        for (int i = 0; i < w->ui->alarmsList->count(); ++i)
            out << w->ui->alarmsList->item(i)->text();
        return out;
    }
    QStringList alarmNames() const
    {
        QStringList out;
        for (AlarmMsgDlg* a : w->alarms)
            out << a->alarm().name;
        return out;
    }
    static void flushDeletes()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QPoint corner(const AlarmMsgDlg* a) const
    {
        const QRect d = td::availableDesktop();
        return QPoint(d.x() + d.width() - a->width(), d.y() + d.height() - a->height());
    }

private slots:
    void initTestCase()
    {
        w = new td::MainSettingsDlg;
        w->mainTimer->stop(); // the tests tick by hand
        sound = new td::test::FakeSoundPlayer;
        td::setAlarmBalloonHandler([this](const QString& title, const QString& text, int ms) {
            balloons << Balloon{title, text, ms};
        });
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
        QCOMPARE(w->ui->alarmsList->count(), 0);
        *td::appSettings = td::AppSettings();
        td::appSettings->alarmDisplayTime = 10;
        td::appSettings->alarmShadeEffect = true;
        td::appSettings->alarmShadeTime = 15;
        td::appSettings->alarmPlaySound = true;
        td::appSettings->alarmSoundFileName = soundFile;
        td::appSettings->alarmSimpleForm = true;
        sound->played.clear();
        balloons.clear();
        td::clock::setFixed(at(9, 0));
    }
    void cleanup() { td::clock::reset(); }

    void firesOnlyStrictlyAfterItsMoment()
    {
        AlarmMsgDlg* a = add(alarmAt("Tea", at(10, 0)));
        auto* later = new AlarmMsgDlg(alarmAt("Later", at(11, 0)), w);
        w->adoptAlarm(later, false);
        QVERIFY(a->isHidden());
        QVERIFY(a->parkedInCorner());
        td::clock::setFixed(at(10, 0));
        tick();
        QVERIFY(a->isHidden());
        QVERIFY(sound->played.isEmpty());
        // Pop-ups are built when they first show, not before.
        QVERIFY(!a->hasPopup() && !later->hasPopup());
        td::clock::advance(1);
        tick();
        QVERIFY(a->isVisible());
        QCOMPARE(a->pos(), corner(a));
        QVERIFY(!later->hasPopup());
        QCOMPARE(sound->played, QStringList{soundFile});
        QVERIFY(!a->alarm().enabled);
        QCOMPARE(w->ui->nextTimeLabel->text(), QString("Alarm is disabled"));
        a->hide();
        td::clock::advance(60000);
        tick();
        QVERIFY(a->isHidden());
        QCOMPARE(sound->played.size(), 1);
    }

    void recurringLongPastFiresOnceAndMovesOn()
    {
        AlarmMsgDlg* a = add(alarmAt("Hourly", QDateTime(QDate(2024, 1, 1), QTime(8, 0)),
                                     td::RepeatEvery, 1, td::Hours));
        td::clock::setFixed(at(10, 30));
        tick();
        QVERIFY(a->isVisible());
        QCOMPARE(a->alarm().date, QDate(2024, 5, 6));
        QCOMPARE(a->alarm().time, QTime(11, 0));
        QVERIFY(a->alarm().enabled);
        tick();
        td::clock::advance(60000);
        tick();
        QCOMPARE(sound->played.size(), 1);
        QCOMPARE(w->ui->nextTimeLabel->text(), QString("Next alarm: 11:00 Mon 06 May 2024"));
    }

    void balloonModeFiresOnce()
    {
        td::appSettings->alarmDisplayBaloon = true;
        td::appSettings->alarmDisplayTime = 12;
        AlarmMsgDlg* a = add(alarmAt("Call Ann", at(9, 30)));
        td::clock::setFixed(at(9, 31));
        tick();
        tick();
        QCOMPARE(balloons.size(), 1);
        QCOMPARE(balloons.first().title, QString("Alarm: Call Ann"));
        QCOMPARE(balloons.first().text, QString("Call Ann message"));
        QCOMPARE(balloons.first().msecs, 12);
        QVERIFY(a->isHidden());
        QCOMPARE(sound->played.size(), 1);
        QVERIFY(!a->alarm().enabled);
    }

    void noSoundWhenOffOrMissing_data()
    {
        QTest::addColumn<bool>("play");
        QTest::addColumn<QString>("file");
        QTest::newRow("off") << false << QString(soundFile);
        QTest::newRow("missing file") << true << QString("/nonexistent/ring.wav");
    }
    void noSoundWhenOffOrMissing()
    {
        QFETCH(bool, play);
        QFETCH(QString, file);
        td::appSettings->alarmPlaySound = play;
        td::appSettings->alarmSoundFileName = file;
        AlarmMsgDlg* a = add(alarmAt("Quiet", at(9, 30)));
        td::clock::setFixed(at(9, 31));
        tick();
        QVERIFY(a->isVisible());
        QVERIFY(sound->played.isEmpty());
    }

    void reminderWhileVisibleIsConsumedSilently()
    {
        AlarmMsgDlg* a = add(alarmAt("Meds", at(9, 30), td::RepeatEvery, 1, td::Hours));
        td::clock::setFixed(at(9, 30, 1));
        tick();
        QVERIFY(a->isVisible());
        a->addDelay(300); // stays visible: the reminder arrives while it shows
        QCOMPARE(a->delayedTime(), at(9, 35));
        td::clock::setFixed(at(9, 35, 0, 1));
        tick();
        QVERIFY(!a->delayedTime().isValid());
        QCOMPARE(a->delay(), 0);
        QCOMPARE(sound->played.size(), 1);
    }

    void reminderOfSpentAlarmIsDelivered()
    {
        td::appSettings->alarmDeleteExpired = true;
        AlarmMsgDlg* a = add(alarmAt("Once", at(10, 0)));
        td::test::PromptRecorder prompts;
        td::clock::setFixed(at(10, 0, 40));
        tick();
        QVERIFY(!a->alarm().enabled);
        a->delay5minAction->trigger();
        QVERIFY(a->isHidden());
        QVERIFY(prompts.prompts.isEmpty());
        QCOMPARE(w->alarms.size(), 1); // kept while its reminder is pending
        td::clock::setFixed(at(10, 5));
        tick();
        QVERIFY(a->isHidden());
        td::clock::advance(1);
        tick();
        QVERIFY(a->isVisible());
        QCOMPARE(sound->played.size(), 2);
        a->hide(); // now it is spent for good
        flushDeletes();
        QVERIFY(w->alarms.isEmpty());
        QCOMPARE(w->ui->alarmsList->count(), 0);
    }

    void postponedRecurringWaitsForReminder()
    {
        // An hourly alarm fired at 10:00; "5 Minutes" at 10:00:40 gives 10:05.
        AlarmMsgDlg* a = add(alarmAt("Hourly", at(10, 0), td::RepeatEvery, 1, td::Hours));
        td::clock::setFixed(at(10, 0, 40));
        tick();
        a->delay5minAction->trigger();
        QCOMPARE(a->delayedTime(), at(10, 5));
        td::clock::setFixed(at(10, 5, 0, 100));
        tick();
        QVERIFY(a->isVisible());
        QCOMPARE(a->alarm().time, QTime(11, 0)); // the record is not touched
        QCOMPARE(sound->played.size(), 2);
    }

    void fullStackStartsNewColumn()
    {
        const QRect desktop = td::availableDesktop();
        QList<AlarmMsgDlg*> list;
        for (int i = 0; i < 12; ++i)
            list << add(alarmAt(QString("A%1").arg(i), at(9, 30)));
        td::clock::setFixed(at(9, 31));
        tick();
        const int h = list.first()->height();
        const int perColumn = desktop.height() / h;
        QVERIFY2(perColumn < 12, "the test needs more alarms than one column holds");
        for (int i = 0; i < perColumn; ++i) {
            QCOMPARE(list[i]->x(), desktop.x() + desktop.width() - list[i]->width());
            QCOMPARE(list[i]->y(), desktop.y() + desktop.height() - (i + 1) * h);
        }
        AlarmMsgDlg* next = list[perColumn];
        QCOMPARE(next->x(), list.first()->x() - next->width());
        QCOMPARE(next->y(), desktop.y() + desktop.height() - h);
        for (AlarmMsgDlg* x : list)
            QVERIFY(desktop.contains(x->geometry()));
    }

    void draggedPopupKeepsItsPlace()
    {
        AlarmMsgDlg* a = add(alarmAt("Dragged", at(9, 30), td::RepeatEvery, 1, td::Hours));
        td::clock::setFixed(at(9, 30, 1));
        tick();
        QTest::mousePress(a, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseMove(a, QPoint(5, 5) + QPoint(-100, -80));
        QTest::mouseRelease(a, Qt::LeftButton, {}, QPoint(5, 5) + QPoint(-100, -80));
        const QPoint dragged = a->pos();
        QVERIFY(dragged != corner(a));
        a->hide();
        td::clock::setFixed(at(10, 30, 1));
        tick();
        QVERIFY(a->isVisible());
        QCOMPARE(a->pos(), dragged);
    }

    void deleteRows_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("selected");
        QTest::newRow("last") << 3 << 2 << QStringList{"A0", "A1"} << 1;
        QTest::newRow("middle") << 3 << 1 << QStringList{"A0", "A2"} << 1;
        QTest::newRow("first") << 3 << 0 << QStringList{"A1", "A2"} << 0;
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
        QCOMPARE(alarmNames(), left);
        QCOMPARE(rowNames(), left);
        QCOMPARE(w->ui->alarmsList->currentRow(), selected);
        if (selected < 0 && left.isEmpty()) {
            QCOMPARE(w->ui->alarmDateLabel->text(), QString("N/A"));
            QCOMPARE(w->ui->alarmTimeLabel->text(), QString("N/A"));
            QVERIFY(w->ui->nextTimeLabel->text().isEmpty());
            QVERIFY(w->ui->alarmDescLabel->text().isEmpty());
        } else if (selected >= 0) {
            QCOMPARE(w->ui->alarmMessage->toPlainText(), left[selected] + " message");
        }
    }

    void details_data()
    {
        QTest::addColumn<AlarmRecord>("alarm");
        QTest::addColumn<QString>("desc");
        QTest::addColumn<QString>("next");
        AlarmRecord off = alarmAt("Off", at(12, 0));
        off.enabled = false;
        QTest::newRow("once ahead") << alarmAt("A", at(12, 0)) << "Play once"
                                    << "Next alarm: 12:00 Mon 06 May 2024";
        QTest::newRow("disabled") << off << "Disabled"
                                  << "Alarm is disabled";
        QTest::newRow("once passed, not yet fired") << alarmAt("P", at(8, 0)) << "Play once"
                                                    << "Alarm finished";
        QTest::newRow("weekly") << alarmAt("W", at(8, 0), td::RepeatEvery, 2, td::Weeks)
                                << "Repeat every 2 Weeks"
                                << "Next alarm: 08:00 Mon 20 May 2024";
    }
    void details()
    {
        QFETCH(AlarmRecord, alarm);
        QFETCH(QString, desc);
        QFETCH(QString, next);
        add(alarm);
        QCOMPARE(w->ui->alarmDateLabel->text(), QString("Mon 06 May 2024"));
        QCOMPARE(w->ui->alarmTimeLabel->text(), alarm.time.toString("hh:mm"));
        QCOMPARE(w->ui->alarmDescLabel->text(), desc);
        QCOMPARE(w->ui->alarmMessage->toPlainText(), alarm.message);
        QCOMPARE(w->ui->nextTimeLabel->text(), next);
    }

    void detailsFollowTheClock()
    {
        add(alarmAt("R", at(9, 0), td::RepeatEvery, 30, td::Minutes));
        td::clock::setFixed(at(9, 10));
        w->alarmChanged(0);
        QCOMPARE(w->ui->nextTimeLabel->text(), QString("Next alarm: 09:30 Mon 06 May 2024"));
        td::clock::setFixed(at(9, 30, 0, 1));
        w->alarmChanged(0); // not ticked: the alarm has not moved on, the label has
        QCOMPARE(w->ui->nextTimeLabel->text(), QString("Next alarm: 10:00 Mon 06 May 2024"));
    }

    void addThroughEditor()
    {
        add(alarmAt("Existing", at(12, 0)));
        td::test::whenModal([](QWidget* m) {
            auto* editor = qobject_cast<td::AlarmDlg*>(m);
            QVERIFY(editor);
            editor->ui->alarmName->setText("Dentist");
            editor->ui->alarmMessage->setPlainText("Bring the card");
            QTest::mouseClick(editor->ui->applyButton, Qt::LeftButton);
        });
        w->addAlarm();
        QCOMPARE(alarmNames(), (QStringList{"Existing", "Dentist"}));
        QCOMPARE(rowNames(), alarmNames());
        QCOMPARE(w->ui->alarmsList->currentRow(), 1);
        AlarmMsgDlg* a = w->alarms.last();
        QVERIFY(a->isHidden());
        QVERIFY(a->parkedInCorner());
        QCOMPARE(a->alarm().time, QTime(10, 0)); // proposed one hour ahead
        QCOMPARE(w->ui->alarmMessage->toPlainText(), QString("Bring the card"));
        QVERIFY(!w->ui->alarmsList->item(1)->icon().isNull());
    }

    void addCancelledAddsNothing()
    {
        td::test::whenModal([](QWidget* m) {
            QTest::mouseClick(qobject_cast<td::AlarmDlg*>(m)->ui->cancelButton, Qt::LeftButton);
        });
        w->addAlarm();
        QVERIFY(w->alarms.isEmpty());
    }

    void addDisabledIsKeptEvenWithDeleteExpired()
    {
        td::appSettings->alarmDeleteExpired = true;
        td::test::whenModal([](QWidget* m) {
            auto* editor = qobject_cast<td::AlarmDlg*>(m);
            editor->ui->alarmEnabled->setChecked(false);
            editor->apply();
        });
        w->addAlarm();
        flushDeletes();
        QCOMPARE(w->alarms.size(), 1);
    }

    void editThroughEditor_data()
    {
        QTest::addColumn<bool>("enable");
        QTest::addColumn<bool>("deleteExpired");
        QTest::addColumn<int>("left");
        QTest::newRow("rename") << true << true << 2;
        QTest::newRow("disable, keep") << false << false << 2;
        QTest::newRow("disable, delete expired") << false << true << 1;
    }
    void editThroughEditor()
    {
        QFETCH(bool, enable);
        QFETCH(bool, deleteExpired);
        QFETCH(int, left);
        td::appSettings->alarmDeleteExpired = deleteExpired;
        add(alarmAt("First", at(12, 0)));
        AlarmMsgDlg* a = add(alarmAt("Second", at(13, 0), td::RepeatEvery, 3, td::Days));
        a->showAlarm(); // editing hides a showing pop-up and sends it to the corner
        a->move(10, 10);
        td::test::whenModal([enable](QWidget* m) {
            auto* editor = qobject_cast<td::AlarmDlg*>(m);
            // The editor shows the record it edits.
            QCOMPARE(editor->ui->alarmName->text(), QString("Second"));
            QCOMPARE(editor->ui->repeatRange->value(), 3);
            QCOMPARE(editor->ui->repeatMeasure->currentIndex(), int(td::Days));
            editor->ui->alarmName->setText("Renamed");
            editor->ui->alarmEnabled->setChecked(enable);
            editor->apply();
        });
        w->ui->alarmsList->setCurrentRow(1);
        w->editAlarm(w->ui->alarmsList->item(1));
        flushDeletes();
        QCOMPARE(w->alarms.size(), left);
        QCOMPARE(rowNames(), alarmNames());
        if (left == 2) {
            QCOMPARE(alarmNames(), (QStringList{"First", "Renamed"}));
            QVERIFY(a->isHidden());
            a->prepareSize();
            QCOMPARE(a->pos(), corner(a));
            QCOMPARE(w->ui->alarmDescLabel->text(),
                     enable ? QString("Repeat every 3 Days") : QString("Disabled"));
        }
    }

    void editFromPopupRefreshesRow()
    {
        AlarmMsgDlg* a = add(alarmAt("Old", at(12, 0)));
        a->ensurePopup();
        td::test::whenModal([](QWidget* m) {
            auto* editor = qobject_cast<td::AlarmDlg*>(m);
            editor->ui->alarmName->setText("New");
            editor->apply();
        });
        a->editAction->trigger();
        QCOMPARE(rowNames(), QStringList{"New"});
        QCOMPARE(a->findChild<QLabel*>("nameLabel")->text(), QString("New"));
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
        QCOMPARE(a->fireMsecs(), minutesFromChange(90).toMSecsSinceEpoch());
    }

    void clockFollowsOnlyWhenSeen()
    {
        w->ui->stack->setCurrentWidget(w->ui->page);
        w->hide();
        const QTime before = w->ui->currentTime->time();
        td::clock::setFixed(at(9, 0, 5).addSecs(before == QTime(9, 0, 5) ? 1 : 0));
        tick();
        QCOMPARE(w->ui->currentTime->time(), before);
        const QTime expected = td::now().time();
        w->show();
        QCOMPARE(w->ui->currentTime->time(), expected); // at once, not a tick later
        td::clock::advance(1000);
        tick();
        QCOMPARE(w->ui->currentTime->time(), expected.addSecs(1));
        w->ui->stack->setCurrentIndex(1); // another page: the clock rests
        td::clock::advance(1000);
        tick();
        QCOMPARE(w->ui->currentTime->time(), expected.addSecs(1));
        w->ui->stack->setCurrentWidget(w->ui->page);
        QCOMPARE(w->ui->currentTime->time(), expected.addSecs(2));
        w->hide();
    }

    void tickSurvivesDamagedRecords()
    {
        AlarmRecord broken = alarmAt("Broken", at(8, 0), td::RepeatEvery, 0, td::Minutes);
        AlarmRecord noDate = alarmAt("No date", at(8, 0));
        noDate.date = QDate();
        AlarmMsgDlg* a = add(broken);
        AlarmMsgDlg* b = add(noDate);
        td::clock::setFixed(at(10, 0));
        tick();
        QVERIFY(a->isHidden() && b->isHidden());
        QVERIFY(sound->played.isEmpty());
        QCOMPARE(w->ui->nextTimeLabel->text(), QString("Alarm is disabled"));
    }
};

TIDRA_TEST_MAIN(TestAlarmList)
#include "tst_alarmlist.moc"
