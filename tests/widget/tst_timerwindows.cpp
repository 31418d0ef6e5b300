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

using namespace td;

namespace {

QDateTime at(int h, int m, int s = 0, int d = 10)
{
    return QDateTime(QDate(2026, 6, d), QTime(h, m, s));
}

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

    // Resized, it keeps its centre to the pixel, odd sizes or even, growing or shrinking.
    void keepsCentre()
    {
        TimerMsgDlg t;
        t.setTimerRecord({"Snap", TypeTimer, at(13, 0)});
        t.show();
        t.layout()->setSizeConstraint(QLayout::SetNoConstraint);
        t.setFixedSize(201, 61);
        t.setPos(QPoint(641, 333));
        for (const QSize size :
             {QSize(200, 60), {201, 61}, {202, 62}, {205, 64}, {300, 80}, {211, 75}}) {
            t.setFixedSize(size);
            QCOMPARE(t.getPos(), QPoint(641, 333));
        }
    }

    // A new one proposes the next hour's minute; counting for a span shows the span, not the
    // end; a time the clocks skip is taken as the same time an hour on; the sound is kept.
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
        ui->timerSound->setChoice("/usr/share/sounds/egg.ogg");
        QCOMPARE(dlg.timerRecord().sound, "/usr/share/sounds/egg.ogg");
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

    // The row deleted goes with its window and the one above is selected; Ctrl+Z on the page
    // clicks its Undo, which brings it back with its window where it was.
    void deleteAndUndo()
    {
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
        QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
        QTRY_VERIFY(undo->isHidden()); // a key clicks it a moment later
        QCOMPARE(names(), (QStringList{"A", "B", "C"}));
        QVERIFY(window(2)->isVisible() && window(2)->getPos() == where);
        main->hide();
    }
};

TIDRA_TEST_MAIN(TestTimerWindows)
#include "tst_timerwindows.moc"
