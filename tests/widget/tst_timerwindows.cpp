// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmMsgDlg.h"
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/SoundChoice.h"
#include "common/SoundFile.h"
#include "tests/common/TestSupport.h"
#include "timers/DigitView.h"
#include "timers/TimerDlg.h"
#include "timers/TimerMsgDlg.h"
#include "ui_timerdialog.h"
#include "ui_timermsgdialog.h"

#include <QAction>
#include <QLayout>
#include <QMenu>
#include <QPaintEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>

using namespace td;

namespace {

QDateTime at(int h, int m, int s = 0, int d = 10)
{
    return QDateTime(QDate(2026, 6, d), QTime(h, m, s));
}

// The part of a widget its paint events covered.
class PaintedArea : public QObject
{
public:
    QRegion area;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            area += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

} // namespace

class TestTimerWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainSettingsDlg> main;
    test::FakeSoundPlayer sound;

    TimerModel& model() const { return main->timerModel(); }
    TimerMsgDlg* window(int row) const { return main->timerWindow(model().ids().value(row)); }
    TimerMsgDlg* add(const TimerRecord& r) { return main->timerWindow(main->openNewTimer(r)); }
    // The list rows, checked against the windows they stand for.
    QStringList names() const
    {
        QStringList windows;
        for (int row = 0; row < model().count(); ++row)
            windows << window(row)->windowTitle();
        return test::rowsMatching(main->findChild<QListWidget*>("timersList"), windows);
    }
    QString description() const { return main->findChild<QTextEdit*>("timerDesc")->toPlainText(); }
    QListWidget* list() const { return main->findChild<QListWidget*>("timersList"); }

private slots:
    void initTestCase()
    {
        clock::setFixed(at(12, 0));
        main = std::make_unique<MainSettingsDlg>();
    }
    void init()
    {
        appSettings->timerShowCaptions = true;
        appSettings->timerPlaySound = appSettings->timerAlarmEnabled = false;
        appSettings->timerFontSize = 1;
        sound.played.clear();
        clock::setFixed(at(12, 0));
    }
    void cleanup()
    {
        while (model().count())
            main->destroyTimerMsg(window(0));
    }

    // A cancelled editor makes nothing; each new timer is selected and runs.
    void addSelectsAndShows()
    {
        test::answerEditor<TimerDlg>([](Ui::TimerDialog* ui) { ui->timerName->setText("No"); },
                                     false);
        main->addTimer();
        QCOMPARE(names(), QStringList{});
        for (const QString name : {"Tea", "Egg", "Rice"}) {
            test::answerEditor<TimerDlg>(
                [name](Ui::TimerDialog* ui) { ui->timerName->setText(name); });
            main->addTimer();
            QCOMPARE(list()->currentRow(), model().count() - 1);
        }
        QCOMPARE(names(), (QStringList{"Tea", "Egg", "Rice"}));
        QVERIFY(window(0)->running() && window(0)->tickTimer->isActive());
    }

    // The row deleted goes with its window; the neighbour is selected and described.
    void deleteSelectsNeighbour_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("shownEnd");
        QTest::newRow("middle") << 3 << 1 << QStringList{"T0", "T2"} << 1 << "11 Jun 2026 09:02";
        QTest::newRow("last") << 3 << 2 << QStringList{"T0", "T1"} << 1 << "11 Jun 2026 09:01";
        QTest::newRow("only one") << 1 << 0 << QStringList{} << -1 << "";
    }
    void deleteSelectsNeighbour()
    {
        QFETCH(int, count);
        QFETCH(int, deleted);
        for (int i = 0; i < count; ++i)
            add({QString("T%1").arg(i), TypeTimer, at(9, i, 0, 11)});
        QPointer<TimerMsgDlg> gone = window(deleted);
        list()->setCurrentRow(deleted);
        main->delTimer();
        QVERIFY(!gone); // so it can never ring
        QTEST(names(), "left");
        QTEST(list()->currentRow(), "selected");
        QTEST(description().section("to: ", 1).trimmed(), "shownEnd");
    }

    // The end of a countdown: the sound plays and the pop-up opens once; the window then
    // shows zero, hidden and shown again too, or counts on from its end.
    void finish_data()
    {
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<bool>("plays");
        QTest::addColumn<bool>("popup");
        QTest::addColumn<bool>("ownSound"); // played even with sounds off
        QTest::newRow("stop, sound") << false << true << false << false;
        QTest::newRow("continue, pop-up") << true << false << true << false;
        QTest::newRow("its own sound, sounds off") << false << false << false << true;
    }
    void finish()
    {
        QFETCH(bool, goesOn);
        QFETCH(bool, plays);
        QFETCH(bool, popup);
        QFETCH(bool, ownSound);
        const QString global = TIDRA_SOURCE_DIR "/resources/oldphone.wav";
        const QString bell = test::homePath() + "/bell.wav";
        QVERIFY(QFile::exists(bell) || QFile::copy(global, bell));
        appSettings->timerPlaySound = plays;
        appSettings->timerAlarmEnabled = popup;
        appSettings->timerSoundFileName = global;
        TimerRecord egg{"Egg", TypeTimer, at(12, 5), goesOn, FormatFull};
        egg.sound = ownSound ? bell : QString();
        TimerMsgDlg* t = add(egg);
        clock::advance(5 * 60000 + 1);
        wallclock::runDue();
        AlarmMsgDlg* shown = main->findChild<AlarmMsgDlg*>();
        QCOMPARE(bool(shown), popup);
        if (shown) {
            QCOMPARE(shown->alarm().name + shown->alarm().time.toString(" h:mm"),
                     QString("Timer Egg finished 12:05"));
            shown->hide(); // then the model lets it go
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        clock::advance(61000);
        t->hide();
        t->show();
        wallclock::runDue();
        QCOMPARE(t->running(), goesOn);
        QCOMPARE(t->parts().minutes, goesOn ? 1 : 0);
        const QString played = ownSound ? bell : plays ? global : QString();
        QCOMPARE(sound.played, played.isEmpty() ? QStringList() : QStringList{played});
        QVERIFY(main->alarmModel().count() == 0 && !main->findChild<AlarmMsgDlg*>());
    }

    // Moved within a pixel of an edge it snaps onto it, two pixels off it stays; resized, it
    // keeps its centre to the pixel, odd sizes or even, growing or shrinking.
    void snapsAndKeepsCentre()
    {
        TimerMsgDlg t;
        t.setTimerRecord({"Snap", TypeTimer, at(13, 0)});
        t.show();
        for (const auto& [to, stays] :
             {std::pair{QPoint(-1, 50), QPoint(0, 50)}, {{40, 2}, {40, 2}}}) {
            t.move(100, 100);
            t.move(to);
            QCOMPARE(t.pos(), stays);
        }
        t.layout()->setSizeConstraint(QLayout::SetNoConstraint);
        t.setFixedSize(201, 61);
        t.setPos(QPoint(641, 333));
        for (const QSize size :
             {QSize(200, 60), {201, 61}, {202, 62}, {205, 64}, {300, 80}, {211, 75}}) {
            t.setFixedSize(size);
            QCOMPARE(t.getPos(), QPoint(641, 333));
        }
    }

    // The editor gives back the timer's sound; work windows have none of their own.
    void editorKeepsTheSound_data()
    {
        QTest::addColumn<QString>("sound");
        QTest::addColumn<QString>("shown");
        QTest::newRow("default") << QString() << QString("Default");
        QTest::newRow("none") << QString("none:") << QString("None");
        QTest::newRow("own") << QString("/usr/share/sounds/egg.ogg") << QString("egg.ogg");
    }
    void editorKeepsTheSound()
    {
        QFETCH(QString, sound);
        TimerRecord r{"Egg", TypeTimer, at(12, 5)};
        r.sound = sound;
        for (const bool work : {false, true}) {
            TimerDlg dlg(nullptr, work);
            dlg.show();
            dlg.setTimerRecord(r);
            QTEST(dlg.ui->timerSound->combo->currentText(), "shown");
            QCOMPARE(dlg.timerRecord().sound, sound);
            QCOMPARE(dlg.ui->timerSound->isVisible(), !work);
        }
    }

    // A new one proposes the next hour's minute; the visible parts follow the mode.
    void editorRecord_data()
    {
        QTest::addColumn<bool>("stopwatch");
        QTest::addColumn<bool>("countFor"); // 1 w 2 d 90 min
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QList<bool>>("shows"); // time to, count for, continue, format
        QTest::addColumn<QDateTime>("moment");
        const QDate day(2026, 6, 12);
        QTest::newRow("time to") << false << false << day << QTime(7, 5)
                                 << QList{true, false, true, true} << test::at("2026-06-12 07:05");
        QTest::newRow("skipped by the clocks")
            << false << false << QDate(2027, 3, 28) << QTime(2, 30)
            << QList{true, false, true, true} << test::at("2027-03-28 03:30");
        QTest::newRow("count for a span")
            << false << true << day << QTime(7, 5) << QList{false, true, true, true}
            << test::at("2026-06-19 11:11:37");
        QTest::newRow("stopwatch starts now")
            << true << false << day << QTime(7, 5) << QList{false, false, false, true}
            << test::at("2026-06-10 09:41:37");
    }
    void editorRecord()
    {
        QFETCH(bool, stopwatch);
        QFETCH(bool, countFor);
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QDateTime, moment);
        clock::setFixed(at(9, 41, 37));
        TimerDlg dlg(nullptr, false);
        dlg.show();
        Ui::TimerDialog* ui = dlg.ui.get();
        const auto shows = [ui] {
            return QList{ui->groupTimeTo->isVisible(), ui->groupCountFor->isVisible(),
                         ui->continueExpired->isVisible(), ui->frameFormat->isVisible()};
        };
        QCOMPARE(dlg.timerRecord(), (TimerRecord{"", TypeTimer, at(10, 41)}));
        QCOMPARE(shows(), (QList{true, false, true, false}));
        ui->timerName->setText("Pasta");
        ui->dateTo->setDate(date);
        ui->timeTo->setTime(time);
        ui->modeStopwatch->setChecked(stopwatch);
        ui->timerType->setCurrentIndex(countFor);
        for (auto [box, value] :
             {std::pair{ui->weekFor, 1}, {ui->dayFor, 2}, {ui->hourFor, 0}, {ui->minFor, 90}})
            box->setValue(value);
        ui->formatCustom->setChecked(true);
        ui->secFormat->setChecked(false);
        ui->continueExpired->setChecked(true);
        QTEST(shows(), "shows");
        TimerRecord want{"Pasta", stopwatch, moment, true, FormatCustom};
        want.secFormat = false;
        // 1 week, 2 days, 90 minutes: the span a restart runs again.
        want.spanSecs = countFor && !stopwatch ? (9 * 24 + 1) * 3600 + 1800 : 0;
        QCOMPARE(dlg.timerRecord(), want);
    }

    // With no digit font loaded the chooser offers none: the stored choice stays.
    void noFontKeepsStoredSkin()
    {
        QObject notAFont;
        const QList<QObject*> loaded = main->plugins();
        main->setPlugins({&notAFont});
        appSettings->timerDefaultSkin = "classic";
        test::whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->accept(); });
        main->changeDefaultFont();
        main->setPlugins(loaded);
        QCOMPARE(appSettings->timerDefaultSkin, QString("classic"));
    }

    // A tick repaints only the digit cells that changed, all of the picture where its size
    // changed; the window on screen then holds what a full redraw of it draws.
    void tickRepaintsWhatChanged_data()
    {
        QTest::addColumn<QString>("skin"); // empty: the built-in digits
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("countedSecs"); // on the stopwatch before the tick
        QTest::addColumn<int>("stepMsecs");
        QTest::addColumn<bool>("whole"); // the whole picture repaints
        const int full = FormatFull, hundredths = FormatShort;
        QTest::newRow("built-in digits: a second") << "" << 1 << full << 65 << 1000 << false;
        QTest::newRow("classic: seconds carry into minutes")
            << "classic" << 1 << full << 59 << 1000 << false;
        QTest::newRow("classic: the weeks grow a digit")
            << "classic" << 1 << full << 10 * 7 * 86400 - 1 << 1000 << true;
        QTest::newRow("lcd: a frame of hundredths")
            << "lcd" << 1 << hundredths << 30 << 110 << false;
    }
    void tickRepaintsWhatChanged()
    {
        QFETCH(QString, skin);
        QFETCH(int, fontSize);
        QFETCH(int, format);
        QFETCH(int, countedSecs);
        QFETCH(int, stepMsecs);
        QFETCH(bool, whole);
        const QList<QObject*> loaded = main->plugins();
        main->setPlugins(skin.isEmpty() ? QList<QObject*>() : loadFontPlugins(TIDRA_BUILD_DIR));
        appSettings->timerDefaultSkin = skin;
        appSettings->timerFontSize = fontSize;
        TimerMsgDlg t;
        TimerRecord r("Tea", TypeStopwatch, at(12, 0).addSecs(-countedSecs));
        r.format = format;
        t.setTimerRecord(r);
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        QCoreApplication::processEvents();
        PaintedArea painted;
        DigitView* view = t.ui->timeLabel;
        view->installEventFilter(&painted);
        const int renders = t.renderCount();
        clock::advance(stepMsecs);
        t.updateTimer();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QCoreApplication::processEvents();
        main->setPlugins(loaded);
        QCOMPARE(t.renderCount(), renders + 1);
        QVERIFY(!painted.area.isEmpty());
        QCOMPARE(painted.area.boundingRect() == view->rect(), whole);
        const QImage onScreen = t.screen()->grabWindow(t.winId()).toImage();
        QCOMPARE(onScreen.convertToFormat(QImage::Format_RGB32),
                 t.grab().toImage().convertToFormat(QImage::Format_RGB32));
    }

    // The menu offers what the count can do: resume while paused, restart with a span, laps
    // on a stopwatch, the latest first.
    void pauseLapsAndRestartFromTheMenu()
    {
        TimerRecord tea("Tea", TypeTimer, at(12, 10));
        tea.spanSecs = 600;
        TimerMsgDlg* t = add(tea);
        const auto action = [t](const char* name) { return t->findChild<QAction*>(name); };
        QVERIFY(action("restartAction")->isVisible());
        QVERIFY(!action("lapAction")->isVisible());
        action("pauseAction")->trigger();
        QCOMPARE(action("pauseAction")->text(), QString("Res&ume"));

        TimerMsgDlg* watch = add({"Run", TypeStopwatch, at(12, 0)});
        QVERIFY(!watch->findChild<QAction*>("restartAction")->isVisible());
        watch->findChild<QAction*>("lapAction")->trigger();
        clock::advance(1500);
        watch->findChild<QAction*>("lapAction")->trigger();
        const QList<QAction*> laps = watch->findChild<QMenu*>("lapsMenu")->actions();
        QCOMPARE(laps.size(), 2);
        QCOMPARE(laps.first()->text(), QString("Lap 2: 0:00:01.50 (+0:00:01.50)"));
    }

    // New windows open clear of the settings window they were made from and of each other.
    void newWindowsKeepClear()
    {
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        QList<QRect> taken{main->frameGeometry()};
        for (const char* name : {"Tea", "Run"}) {
            const QRect placed = add({name, TypeTimer, at(13, 0)})->frameGeometry();
            for (const QRect& other : taken)
                QVERIFY2(!placed.intersects(other), name);
            taken << placed;
        }
        main->hide();
    }

    // A deleted timer comes back at its row with its window where it was, by the page's
    // Undo or by Ctrl+Z there, once; a new timer ends the offer.
    void undoDeletion_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("button") << false;
        QTest::newRow("Ctrl+Z") << true;
    }
    void undoDeletion()
    {
        QFETCH(bool, byKey);
        model().dropUndo(); // the earlier tests' deletions
        add({"A", TypeStopwatch, at(11, 0)});
        add({"B", TypeStopwatch, at(11, 30)});
        const TimerEntry a = model().entry(model().ids().first());
        const QPoint where = window(0)->getPos();
        auto* undo = main->findChild<QPushButton*>("timerUndoButton");
        main->showTimers();
        list()->setCurrentRow(0);
        main->delTimer();
        QCOMPARE(names(), QStringList{"B"});
        QVERIFY(undo->isVisible() && !undo->accessibleName().isEmpty());
        main->activateWindow(); // the deleted timer's window may have had it last
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        for (int i = 0; i < 2; ++i) {
            if (byKey)
                QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
            else if (undo->isVisible())
                undo->click();
            QTRY_VERIFY(undo->isHidden()); // a key clicks it a moment later
        }
        QCOMPARE(names(), (QStringList{"A", "B"}));
        QCOMPARE(model().entry(model().ids().first()), a);
        QVERIFY(window(0)->isVisible() && window(0)->getPos() == where);
        main->delTimer();
        test::answerEditor<TimerDlg>([](Ui::TimerDialog* ui) { ui->timerName->setText("C"); });
        main->addTimer();
        QVERIFY(undo->isHidden() && !model().canUndoRemove());
        main->hide();
    }
};

TIDRA_TEST_MAIN(TestTimerWindows)
#include "tst_timerwindows.moc"
