// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmMsgDlg.h"
#include "app/MainSettingsDlg.h"
#include "common/AppInfo.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/WindowPlacement.h"
#include "storage/EventStore.h"
#include "storage/SettingsFile.h"
#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"
#include "timers/FontsLibrary.h"
#include "timers/TimerDlg.h"
#include "timers/TimerMath.h"
#include "timers/TimerMsgDlg.h"
#include "ui_fontsdialog.h"
#include "ui_maindialog.h"
#include "ui_timerdialog.h"

#include <QAction>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QSettings>

using namespace td;

namespace {

using td::test::addRows;
using td::test::ints;

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

    // A cancelled editor makes nothing; each new timer is selected, runs, and
    // opens clear of every timer window already shown.
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
        for (int row = 0; row < 3; ++row)
            for (TimerMsgDlg* other : {window(0), window(1), window(2), main->workWindows()[0]})
                QVERIFY(other->isVisible() &&
                        (window(row) == other ||
                         !window(row)->geometry().intersects(other->geometry())));
    }

    // The row deleted goes with its window; the neighbour is selected and described.
    void deleteSelectsNeighbour_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("shownEnd");
        QTest::newRow("middle") << 3 << 1 << QStringList{"T0", "T2"} << 1 << "06.11.2026 09:02";
        QTest::newRow("last") << 3 << 2 << QStringList{"T0", "T1"} << 1 << "06.11.2026 09:01";
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

    // Edited from the window's menu or by a double click, the row and the description follow
    // and the window runs.
    void edit_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("shown");
        QTest::newRow("window menu") << true << int(TypeTimer)
                                     << "Timer\nShow time to: 17:45\n"
                                        "Continue count as stopwatch after timer finished";
        QTest::newRow("double click")
            << false << int(TypeStopwatch) << "Stopwatch\nShow time from 06.10.2026 11:00\n";
    }
    void edit()
    {
        QFETCH(bool, menu);
        QFETCH(int, type);
        QFETCH(QString, shown);
        TimerMsgDlg* t = add({"A", type, type ? at(11, 0) : at(17, 45)});
        add({"B", 0, at(9, 0, 0, 11)});
        t->pause();
        list()->setCurrentRow(0);
        main->store().saveNow();
        test::answerEditor<TimerDlg>([shown](Ui::TimerDialog* ui) {
            ui->timerName->setText("Renamed");
            ui->continueExpired->setChecked(shown.contains("Continue"));
        });
        menu ? t->editAction->trigger() : QTest::mouseDClick(t, Qt::LeftButton);
        QCOMPARE(names(), (QStringList{"Renamed", "B"}));
        QCOMPARE(description(), shown);
        QVERIFY(t->isVisible() && t->running() && main->store().savePending());
    }

    // The end of a countdown: the sound plays and the pop-up opens once; the window then
    // shows zero, hidden and shown again too, or counts on from its end.
    void finish_data()
    {
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<bool>("plays");
        QTest::addColumn<bool>("popup");
        QTest::newRow("stop, sound") << false << true << false;
        QTest::newRow("continue, pop-up") << true << false << true;
    }
    void finish()
    {
        QFETCH(bool, goesOn);
        QFETCH(bool, plays);
        QFETCH(bool, popup);
        appSettings->timerPlaySound = plays;
        appSettings->timerAlarmEnabled = popup;
        appSettings->timerSoundFileName = TIDRA_SOURCE_DIR "/resources/oldphone.wav";
        TimerMsgDlg* t = add({"Egg", TypeTimer, at(12, 5), goesOn, FormatFull});
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
        QCOMPARE(sound.played.size(), int(plays));
        QVERIFY(main->alarmModel().count() == 0 && !main->findChild<AlarmMsgDlg*>());
    }

    // A window sleeps between the moments it armed: stepping the clock finely, no change of
    // the counts may come before the armed wake, and each wake draws it. New looks draw at once.
    // type (1 stopwatch) | ms of the moment | format | step ms | span ms
    void wakesForEveryChange_data()
    {
        addRows("countdown, odd ms|0 438 1 7 7000\nstopwatch, odd ms|1 999 1 100 7000\n"
                "minutes only|1 438 2 997 400000");
    }
    void wakesForEveryChange()
    {
        QFETCH(QStringList, f);
        const QList<int> v = ints(f[0]);
        // Ends three seconds ahead (or started three ago) and runs past the end.
        TimerRecord r{"T", v[0], at(12, 0, 3).addSecs(v[0] * -6).addMSecs(v[1]), true, v[2]};
        r.msecFormat = r.secFormat = false; // Custom: minutes and hours
        TimerMsgDlg t;
        t.setTimerRecord(r);
        t.show();
        bool down = t.countingDown;
        TimeParts shown;
        int drawn = t.renderCount() - 1;
        for (int ms = 0; ms <= v[4]; ms += v[3], clock::advance(v[3])) {
            const timermath::Tick want = timermath::tick(t.dateTime, td::now(), down);
            down = down && want.action != timermath::TickAction::Finish;
            const TimeParts parts = timermath::applyFormat(want.counts, r, true);
            const bool woken = t.tickTimer->isActive() && t.tickTimer->deadline() <= td::nowMsecs();
            QVERIFY2(ms == 0 || parts == shown || woken, "a change before the armed wake");
            wallclock::runDue();
            drawn += parts == shown ? 0 : 1;
            QCOMPARE(t.renderCount(), drawn);
            shown = parts;
        }
        QVERIFY(drawn > 4);
        appSettings->timerFontSize = 2;
        t.updateSettings();
        QCOMPARE(t.renderCount(), drawn + 1);
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

    // mode | the editor's visible parts | the moment it yields. A new one proposes the next
    // hour's minute; the parts follow the mode.
    void editorRecord_data()
    {
        addRows(R"(
time to                   | to        | 1011 | 2026-06-12 07:05
skipped by the clocks     | gap       | 1011 | 2027-03-28 03:30
count for 1 w 2 d 90 min  | for       | 0111 | 2026-06-19 11:11:37
stopwatch starts now      | stopwatch | 0001 | 2026-06-10 09:41:37)");
    }
    void editorRecord()
    {
        QFETCH(QStringList, f);
        clock::setFixed(at(9, 41, 37));
        TimerDlg dlg(nullptr, false);
        dlg.show();
        Ui::TimerDialog* ui = dlg.ui.get();
        auto editorShows = [ui] { // "time-to count-for continue format" in 0/1
            return QString("%1%2%3%4")
                .arg(ui->groupTimeTo->isVisible())
                .arg(ui->groupCountFor->isVisible())
                .arg(ui->continueExpired->isVisible())
                .arg(ui->frameFormat->isVisible());
        };
        QCOMPARE(dlg.timerRecord(), (TimerRecord{"", TypeTimer, at(10, 41)}));
        QCOMPARE(editorShows(), QString("1010"));
        const bool gap = f[0] == "gap";
        ui->timerName->setText("Pasta");
        ui->dateTo->setDate(gap ? QDate(2027, 3, 28) : QDate(2026, 6, 12));
        ui->timeTo->setTime(gap ? QTime(2, 30) : QTime(7, 5));
        ui->modeStopwatch->setChecked(f[0] == "stopwatch");
        ui->timerType->setCurrentIndex(f[0] == "for");
        for (auto [box, value] :
             {std::pair{ui->weekFor, 1}, {ui->dayFor, 2}, {ui->hourFor, 0}, {ui->minFor, 90}})
            box->setValue(value);
        ui->formatCustom->setChecked(true);
        ui->secFormat->setChecked(false);
        ui->continueExpired->setChecked(true);
        QCOMPARE(editorShows(), f[1]);
        TimerRecord want{"Pasta", f[0] == "stopwatch", test::at(f[2]), true, FormatCustom};
        want.secFormat = false;
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
};

TIDRA_TEST_MAIN(TestTimerWindows)
#include "tst_timerwindows.moc"
