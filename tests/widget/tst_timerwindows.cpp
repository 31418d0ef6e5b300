// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmMsgDlg.h"
#include "app/MainSettingsDlg.h"
#include "common/AppInfo.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/WindowPlacement.h"
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

    TimerMsgDlg* adopt(const TimerRecord& r, bool show = true)
    {
        auto* t = new TimerMsgDlg(main.get());
        t->setTimerRecord(r);
        main->adoptTimer(t, show);
        return t;
    }
    // The list rows, checked against the windows they stand for.
    QStringList names() const
    {
        QStringList windows;
        for (TimerMsgDlg* t : main->timers)
            windows << t->timerRecord().name;
        return test::rowsMatching(main->ui->timersList, windows);
    }
    QString description() const { return main->ui->timerDesc->toPlainText(); }

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
        while (!main->timers.isEmpty())
            main->destroyTimerMsg(main->timers.last());
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
            QCOMPARE(main->ui->timersList->currentRow(), main->timers.size() - 1);
        }
        QCOMPARE(names(), (QStringList{"Tea", "Egg", "Rice"}));
        QVERIFY(main->timers[0]->running() && main->timers[0]->tickTimer->isActive());
        for (TimerMsgDlg* added : main->timers)
            for (TimerMsgDlg* other : main->timers + QList{main->lunchTimer, main->dayEndTimer})
                QVERIFY(other->isVisible() &&
                        (added == other || !added->geometry().intersects(other->geometry())));
    }

    // count | row deleted | the rows left, "@" the one selected and its end: the neighbour.
    void deleteSelectsNeighbour_data()
    {
        addRows("middle|3 1|T0 T2 @1 06.11.2026 09:02\nlast|3 2|T0 T1 @1 06.11.2026 09:01\n"
                "only one|1 0|@-1");
    }
    void deleteSelectsNeighbour()
    {
        QFETCH(QStringList, f);
        const QList<int> v = ints(f[0]);
        for (int i = 0; i < v[0]; ++i)
            adopt({QString("T%1").arg(i), 0, at(9, i, 0, 11)});
        QPointer<TimerMsgDlg> gone = main->timers[v[1]];
        main->ui->timersList->setCurrentRow(v[1]);
        main->delTimer();
        QVERIFY(!gone); // so it can never ring
        QCOMPARE(QString("%1 @%2 %3")
                     .arg(names().join(' '))
                     .arg(main->ui->timersList->currentRow())
                     .arg(description().section("to: ", 1))
                     .trimmed(),
                 f[1]);
    }

    // Editing from the window's menu or by a double click leaves the row and description up to
    // date and the window running; a stopwatch keeps its start.
    void edit_data()
    {
        addRows(R"(
window menu             | menu | 0 | Timer\nShow time to: 17:45\nContinue count as stopwatch after timer finished
stopwatch, double click | double click | 1 | Stopwatch\nShow time from 06.10.2026 11:00\n)");
    }
    void edit()
    {
        QFETCH(QStringList, f);
        const QString text = QString(f[2]).replace("\\n", "\n");
        const int type = f[1].toInt();
        TimerMsgDlg* t = adopt({"A", type, type ? at(11, 0) : at(17, 45)});
        adopt({"B", 0, at(9, 0, 0, 11)});
        t->pause();
        main->ui->timersList->setCurrentRow(0);
        main->saveTimer->stop();
        test::answerEditor<TimerDlg>([text](Ui::TimerDialog* ui) {
            ui->timerName->setText("Renamed");
            ui->continueExpired->setChecked(text.contains("Continue"));
        });
        f[0] == "menu" ? t->editAction->trigger() : QTest::mouseDClick(t, Qt::LeftButton);
        QCOMPARE(names(), (QStringList{"Renamed", "B"}));
        QCOMPARE(description(), text);
        QVERIFY(t->isVisible() && t->running() && main->saveTimer->isActive());
    }

    // continue | sound | pop-up: what the end of a countdown brings. The end
    // itself is not past; the sound plays and the pop-up opens before the
    // listeners hear of it, once; then it stops or counts on from its end.
    void finish_data() { addRows("stop, sound|0 1 0\ncontinue, pop-up|1 0 1\nstop, silent|0 0 0"); }
    void finish()
    {
        QFETCH(QStringList, f);
        const QList<int> v = ints(f[0]);
        appSettings->timerPlaySound = v[1];
        appSettings->timerAlarmEnabled = v[2];
        appSettings->timerSoundFileName = TIDRA_SOURCE_DIR "/resources/oldphone.wav";
        TimerMsgDlg* t = adopt({"Egg", TypeTimer, at(12, 5), bool(v[0]), FormatShort});
        QStringList told; // sounds, pop-ups, running and counting down when the end is told
        connect(t, &TimerMsgDlg::directionChanged, this, [&] {
            told << QString("%1 %2 %3")
                        .arg(sound.played.size())
                        .arg(main->findChildren<AlarmMsgDlg*>().size())
                        .arg(t->running() && t->countingDown);
        });
        clock::advance(5 * 60000);
        t->updateTimer();
        QVERIFY(told.isEmpty());
        clock::advance(1);
        t->updateTimer();
        QCOMPARE(t->running(), bool(v[0]));
        if (AlarmMsgDlg* popup = main->findChild<AlarmMsgDlg*>()) {
            QCOMPARE(popup->alarm().name + popup->alarm().time.toString(" h:mm"),
                     QString("Timer Egg finished 12:05"));
            popup->hide();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QVERIFY(main->alarms.isEmpty() && !main->findChild<AlarmMsgDlg*>());
        QCOMPARE(description(), QString("Stopwatch\nShow time from 06.10.2026 12:05\n"));
        clock::advance(60000);
        t->updateTimer();
        QCOMPARE(told, QStringList{QString("%1 %2 1").arg(v[1]).arg(v[2])});
        QCOMPARE(sound.played.size(), v[1]);
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
        const QList<QObject*> loaded = std::exchange(main->fontPlugins, {&notAFont});
        appSettings->timerDefaultSkin = "classic";
        test::whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->accept(); });
        main->changeDefaultFont();
        main->fontPlugins = loaded;
        QCOMPARE(appSettings->timerDefaultSkin, QString("classic"));
    }
};

TIDRA_TEST_MAIN(TestTimerWindows)
#include "tst_timerwindows.moc"
