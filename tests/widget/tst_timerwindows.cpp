// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmMsgDlg.h"
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/SoundChoice.h"
#include "common/SoundFile.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerDlg.h"
#include "timers/TimerMsgDlg.h"
#include "ui_timerdialog.h"
#include "ui_timermsgdialog.h"

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
    QStringList names() const { return test::rowTexts(list()); }
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

    // A cancelled editor makes nothing; a new timer is selected and runs.
    void addSelectsAndShows()
    {
        test::answerEditor<TimerDlg>([](Ui::TimerDialog* ui) { ui->timerName->setText("No"); },
                                     false);
        main->addTimer();
        QCOMPARE(names(), QStringList{});
        test::answerEditor<TimerDlg>([](Ui::TimerDialog* ui) { ui->timerName->setText("Tea"); });
        main->addTimer();
        QVERIFY(list()->currentRow() == 0 && window(0)->running());
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
    }

    // Moved within a pixel of an edge it snaps onto it, two pixels off it stays; resized, it
    // keeps its centre to the pixel, odd sizes or even, growing or shrinking.
    void snapsAndKeepsCentre()
    {
        TimerMsgDlg t;
        t.setTimerRecord({"Snap", TypeTimer, at(13, 0)});
        t.show();
        t.move(-1, 50);
        QCOMPARE(t.pos(), QPoint(0, 50));
        t.move(40, 2);
        QCOMPARE(t.pos(), QPoint(40, 2));
        t.layout()->setSizeConstraint(QLayout::SetNoConstraint);
        t.setFixedSize(201, 61);
        t.setPos(QPoint(641, 333));
        for (const QSize size :
             {QSize(200, 60), {201, 61}, {202, 62}, {205, 64}, {300, 80}, {211, 75}}) {
            t.setFixedSize(size);
            QCOMPARE(t.getPos(), QPoint(641, 333));
        }
    }

    // The editor gives back the timer's own sound.
    void editorKeepsTheSound()
    {
        TimerRecord r{"Egg", TypeTimer, at(12, 5)};
        r.sound = "/usr/share/sounds/egg.ogg";
        TimerDlg dlg(nullptr, false);
        dlg.setTimerRecord(r);
        QCOMPARE(dlg.timerRecord().sound, r.sound);
    }

    // A new one proposes the next hour's minute; counting for a span shows the span, not the
    // end; a time the clocks skip is taken as the same time an hour on.
    void editorRecord_data()
    {
        QTest::addColumn<bool>("countFor"); // 1 w 2 d 90 min
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QDateTime>("moment");
        QTest::newRow("skipped by the clocks")
            << false << QDate(2027, 3, 28) << QTime(2, 30) << test::at("2027-03-28 03:30");
        QTest::newRow("count for a span")
            << true << QDate(2026, 6, 12) << QTime(7, 5) << test::at("2026-06-19 11:11:37");
    }
    void editorRecord()
    {
        QFETCH(bool, countFor);
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QDateTime, moment);
        clock::setFixed(at(9, 41, 37));
        TimerDlg dlg(nullptr, false);
        dlg.show();
        Ui::TimerDialog* ui = dlg.ui.get();
        QCOMPARE(dlg.timerRecord(), (TimerRecord{"", TypeTimer, at(10, 41)}));
        ui->dateTo->setDate(date);
        ui->timeTo->setTime(time);
        ui->timerType->setCurrentIndex(countFor);
        for (auto [box, value] :
             {std::pair{ui->weekFor, 1}, {ui->dayFor, 2}, {ui->hourFor, 0}, {ui->minFor, 90}})
            box->setValue(value);
        QCOMPARE(ui->groupTimeTo->isVisible(), !countFor);
        QCOMPARE(ui->groupCountFor->isVisible(), countFor);
        QCOMPARE(dlg.timerRecord().dateTime, moment);
        QCOMPARE(dlg.timerRecord().spanSecs, countFor ? (9 * 24 + 1) * 3600 + 1800 : 0);
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

    // A tick repaints only the digit cells that changed; the window on screen then holds
    // what a full redraw of it draws.
    void tickRepaintsWhatChanged()
    {
        const QList<QObject*> loaded = main->plugins();
        main->setPlugins(loadFontPlugins(TIDRA_BUILD_DIR));
        appSettings->timerDefaultSkin = "classic";
        TimerMsgDlg t;
        t.setTimerRecord({"Tea", TypeStopwatch, at(11, 59, 1), false, FormatFull});
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        QCoreApplication::processEvents();
        PaintedArea painted;
        t.ui->timeLabel->installEventFilter(&painted);
        clock::advance(1000); // the seconds carry into the minutes
        t.updateTimer();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QCoreApplication::processEvents();
        main->setPlugins(loaded);
        QVERIFY(!painted.area.isEmpty());
        QVERIFY(painted.area.boundingRect() != t.ui->timeLabel->rect());
        const QImage onScreen = t.screen()->grabWindow(t.winId()).toImage();
        QCOMPARE(onScreen.convertToFormat(QImage::Format_RGB32),
                 t.grab().toImage().convertToFormat(QImage::Format_RGB32));
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

    // The row deleted goes with its window and the one above is selected; the page's Undo,
    // or Ctrl+Z there, brings it back with its window where it was.
    void deleteAndUndo_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("button") << false;
        QTest::newRow("Ctrl+Z") << true;
    }
    void deleteAndUndo()
    {
        QFETCH(bool, byKey);
        model().dropUndo(); // the earlier tests' deletions
        for (const QString name : {"A", "B", "C"})
            add({name, TypeStopwatch, at(11, 0)});
        QPointer<TimerMsgDlg> gone = window(2);
        const QPoint where = gone->getPos();
        auto* undo = main->findChild<QPushButton*>("timerUndoButton");
        main->showTimers();
        list()->setCurrentRow(2);
        main->delTimer();
        QVERIFY(!gone); // so it can never ring
        QCOMPARE(names(), (QStringList{"A", "B"}));
        QCOMPARE(list()->currentRow(), 1);
        main->activateWindow(); // the deleted timer's window may have had it last
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        if (byKey)
            QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
        else
            undo->click();
        QTRY_VERIFY(undo->isHidden()); // a key clicks it a moment later
        QCOMPARE(names(), (QStringList{"A", "B", "C"}));
        QVERIFY(window(2)->isVisible() && window(2)->getPos() == where);
        main->hide();
    }
};

TIDRA_TEST_MAIN(TestTimerWindows)
#include "tst_timerwindows.moc"
