#include "app/AppSettings.h"
#include "app/Clock.h"
#include "app/WindowPlacement.h"
#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"
#include "timers/TimerDlg.h"
#include "timers/TimerMath.h"
#include "timers/TimerMsgDlg.h"
#include "ui_timerdialog.h"
#include "ui_timermsgdialog.h"

#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QMenu>

using namespace td;

namespace {

QDateTime at(int h, int m, int s = 0)
{
    return QDateTime(QDate(2026, 6, 10), QTime(h, m, s));
}

TimerRecord countdown(const QString& name, const QDateTime& end, bool continueExpired = false)
{
    TimerRecord r;
    r.name = name;
    r.type = TypeTimer;
    r.dateTime = end;
    r.continueExpired = continueExpired;
    return r;
}

void sendMouse(QWidget* w, QEvent::Type type, const QPoint& global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(w->mapFromGlobal(global)), QPointF(global), button, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Lets a pending layout request resize the window.
void settle(QWidget* w)
{
    w->layout()->activate();
    QCoreApplication::processEvents();
}

} // namespace

class TestTimerMsgDlg : public QObject
{
    Q_OBJECT

private:
    AppSettings settings;

private slots:
    void init()
    {
        settings = AppSettings();
        settings.timerShowCaptions = true;
        appSettings = &settings;
        clock::setFixed(at(12, 0));
    }
    void cleanup()
    {
        clock::reset();
        appSettings = nullptr;
    }

    void newTimerState()
    {
        TimerMsgDlg t;
        QVERIFY(t.countingDown && !t.continueExpired && !t.initializing && !t.running());
        QCOMPARE(t.dateTime, at(12, 0));
        QVERIFY(t.windowFlags() & Qt::FramelessWindowHint);
        QStringList entries;
        for (QAction* a : t.menu->actions())
            entries << (a->isSeparator() ? "-" : a->text());
        QCOMPARE(entries, (QStringList{"&Edit", "&Hide", "-", "&Reset"}));
    }

    void recordRoundTrip_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<bool>("countingDown");
        QTest::addColumn<int>("typeBack");

        QTest::newRow("timer ahead") << 0 << at(13, 0) << true << 0;
        QTest::newRow("timer at now") << 0 << at(12, 0) << true << 0;
        QTest::newRow("timer past counts up") << 0 << at(11, 0) << false << 1;
        QTest::newRow("stopwatch") << 1 << at(11, 0) << false << 1;
    }
    void recordRoundTrip()
    {
        QFETCH(int, type);
        QFETCH(QDateTime, moment);
        QFETCH(bool, countingDown);
        QFETCH(int, typeBack);
        test::FakeSoundPlayer sound;
        TimerRecord r = countdown("Tea", moment, true);
        r.type = type;
        r.format = FormatCustom;
        r.weekFormat = true;
        r.msecFormat = false;
        TimerMsgDlg t;
        QSignalSpy finished(&t, &TimerMsgDlg::directionChanged);
        t.setTimerRecord(r);
        QCOMPARE(t.countingDown, countingDown);
        QVERIFY(t.running());
        TimerRecord back = t.timerRecord();
        QCOMPARE(back.type, typeBack);
        back.type = type;
        QCOMPARE(back, r);
        // Loading a past end is not a finish.
        t.updateTimer();
        QCOMPARE(finished.count(), 0);
        QVERIFY(sound.played.isEmpty());
    }

    void finishSequence_data()
    {
        QTest::addColumn<bool>("continueExpired");
        QTest::addColumn<bool>("playSound");

        QTest::newRow("stop, sound") << false << true;
        QTest::newRow("continue, sound") << true << true;
        QTest::newRow("stop, silent") << false << false;
    }
    void finishSequence()
    {
        QFETCH(bool, continueExpired);
        QFETCH(bool, playSound);
        test::FakeSoundPlayer sound;
        QTemporaryDir dir;
        const QString wav = dir.filePath("ring.wav");
        QFile f(wav);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        settings.timerPlaySound = playSound;
        settings.timerSoundFileName = wav;

        TimerMsgDlg t;
        t.setTimerRecord(countdown("Egg", at(12, 0, 5), continueExpired));
        int soundsAtSignal = -1;
        bool tickingAtSignal = false;
        bool countingDownAtSignal = false;
        connect(&t, &TimerMsgDlg::directionChanged, this, [&](TimerMsgDlg* which) {
            QCOMPARE(which, &t);
            soundsAtSignal = int(sound.played.size());
            tickingAtSignal = t.running();
            countingDownAtSignal = t.countingDown;
        });
        QSignalSpy spy(&t, &TimerMsgDlg::directionChanged);
        clock::advance(5000);
        t.updateTimer();
        QCOMPARE(spy.count(), 0); // the end itself is not past yet
        QVERIFY(!t.resetAction->isEnabled());
        clock::advance(1);
        t.updateTimer();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(soundsAtSignal, playSound ? 1 : 0);
        QVERIFY(tickingAtSignal);
        QVERIFY(countingDownAtSignal);
        QCOMPARE(t.running(), continueExpired);
        QVERIFY(!t.countingDown);
        QVERIFY(t.resetAction->isEnabled()); // a stopwatch now
        QCOMPARE(t.timerRecord().type, int(TypeStopwatch));

        // It runs once: later ticks count up from the end.
        clock::advance(60000);
        t.updateTimer();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(sound.played.size(), qsizetype(playSound ? 1 : 0));
    }

    void reloadDuringFinishKeepsNewCountdown()
    {
        TimerMsgDlg t;
        t.setTimerRecord(countdown("Lunch", at(12, 0, 1)));
        connect(&t, &TimerMsgDlg::directionChanged, this,
                [&](TimerMsgDlg* w) { w->setTimerRecord(countdown("Day end", at(17, 0))); });
        clock::advance(2000);
        t.updateTimer();
        QVERIFY(t.countingDown);
        QVERIFY(t.running());
        QCOMPARE(t.timerRecord().name, QString("Day end"));
    }

    void opacityFollowsActivation_data()
    {
        QTest::addColumn<bool>("shade");
        QTest::addColumn<double>("inactive");
        QTest::newRow("shade on") << true << 0.5;
        QTest::newRow("shade off") << false << 1.0;
    }
    void opacityFollowsActivation()
    {
        QFETCH(bool, shade);
        QFETCH(double, inactive);
        settings.timerShadeInactive = shade;
        TimerMsgDlg t;
        QVERIFY(qAbs(t.windowOpacity() - inactive) < 0.01);
        QWidget other;
        t.show();
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(qAbs(t.windowOpacity() - inactive) < 0.01);
        t.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&t));
        QVERIFY(qAbs(t.windowOpacity() - 1.0) < 0.01);
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(qAbs(t.windowOpacity() - inactive) < 0.01);
        settings.timerShadeInactive = !shade;
        t.updateSettings();
        QVERIFY(qAbs(t.windowOpacity() - (shade ? 1.0 : 0.5)) < 0.01);
    }

    void escapeHidesWithSignal()
    {
        TimerMsgDlg t;
        t.show();
        QSignalSpy hidden(&t, &TimerMsgDlg::timerHidden);
        t.hideAction->trigger();
        QVERIFY(!t.isVisible());
        QCOMPARE(hidden.count(), 0);
        t.show();
        QTest::keyClick(&t, Qt::Key_Escape);
        QVERIFY(!t.isVisible());
        QCOMPARE(hidden.count(), 1);
        QCOMPARE(hidden.at(0).at(0).value<TimerMsgDlg*>(), &t);
    }

    void snapsToEdges_data()
    {
        QTest::addColumn<int>("fromLeft"); // -1: measured from the right edge
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("fromTop");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("expectedX");
        QTest::addColumn<int>("expectedY");

        // Positions are offsets; right/bottom rows are relative to AW - W and AH - H.
        QTest::newRow("x -1 snaps") << 1 << -1 << 1 << 50 << 0 << 50;
        QTest::newRow("x 2 stays") << 1 << 2 << 1 << 50 << 2 << 50;
        QTest::newRow("y 1 snaps") << 1 << 40 << 1 << 1 << 40 << 0;
        QTest::newRow("right +1 snaps") << 0 << 1 << 1 << 50 << 0 << 50;
        QTest::newRow("right -2 stays") << 0 << -2 << 1 << 50 << -2 << 50;
        QTest::newRow("bottom +1 snaps") << 1 << 40 << 0 << 1 << 40 << 0;
    }
    void snapsToEdges()
    {
        QFETCH(int, fromLeft);
        QFETCH(int, x);
        QFETCH(int, fromTop);
        QFETCH(int, y);
        QFETCH(int, expectedX);
        QFETCH(int, expectedY);
        TimerMsgDlg t;
        t.setTimerRecord(countdown("Snap", at(13, 0)));
        t.show();
        settle(&t);
        const QRect area = availableDesktop();
        const int baseX = fromLeft ? 0 : area.width() - t.width();
        const int baseY = fromTop ? 0 : area.height() - t.height();
        t.move(baseX + 300, baseY + 300 > area.height() ? 100 : baseY + 300);
        t.move(baseX + x, baseY + y);
        QCOMPARE(t.pos(), QPoint(baseX + expectedX, baseY + expectedY));
    }

    void dragsOnlyWithLeftButton()
    {
        TimerMsgDlg t;
        t.setTimerRecord(countdown("Drag", at(13, 0)));
        t.show();
        t.move(200, 200);
        const QPoint start = t.pos();
        const QPoint grab = t.mapToGlobal(QPoint(5, 5));

        sendMouse(&t, QEvent::MouseButtonPress, grab, Qt::RightButton, Qt::RightButton);
        sendMouse(&t, QEvent::MouseMove, grab + QPoint(30, 20), Qt::NoButton, Qt::RightButton);
        sendMouse(&t, QEvent::MouseButtonRelease, grab + QPoint(30, 20), Qt::RightButton,
                  Qt::NoButton);
        QCOMPARE(t.pos(), start);

        sendMouse(&t, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
        QVERIFY(t.dragging());
        sendMouse(&t, QEvent::MouseMove, grab + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(t.pos(), start + QPoint(30, 20));
        sendMouse(&t, QEvent::MouseButtonRelease, grab + QPoint(30, 20), Qt::LeftButton,
                  Qt::NoButton);
        QVERIFY(!t.dragging());

        sendMouse(&t, QEvent::MouseMove, grab + QPoint(60, 60), Qt::NoButton, Qt::MiddleButton);
        QCOMPARE(t.pos(), start + QPoint(30, 20));
    }

    void keepsCentreWhenGrowing_data()
    {
        QTest::addColumn<bool>("initializing");
        QTest::newRow("running") << false;
        QTest::newRow("initializing") << true;
    }
    void keepsCentreWhenGrowing()
    {
        QFETCH(bool, initializing);
        TimerMsgDlg t;
        t.setTimerRecord(countdown("A", at(13, 0)));
        t.show();
        settle(&t);
        t.move(300, 300);
        const QPoint centre = t.getPos();
        const QPoint topLeft = t.pos();
        const QSize before = t.size();
        t.initializing = initializing;
        t.setTimerRecord(countdown("A much longer timer name", at(13, 0)));
        settle(&t);
        QVERIFY(t.width() > before.width() + 20);
        if (initializing) {
            QCOMPARE(t.pos(), topLeft);
        } else {
            QVERIFY(qAbs(t.getPos().x() - centre.x()) <= 1);
            QVERIFY(qAbs(t.getPos().y() - centre.y()) <= 1);
        }
    }

    void nameFollowsFontSize_data()
    {
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<int>("points");
        QTest::newRow("small") << 0 << 8;
        QTest::newRow("big") << 2 << 14;
    }
    void nameFollowsFontSize()
    {
        QFETCH(int, fontSize);
        QFETCH(int, points);
        settings.timerFontSize = fontSize;
        TimerMsgDlg t;
        t.setTimerRecord(countdown("Font", at(13, 0)));
        t.updateTimer();
        QCOMPARE(t.ui->nameLabel->font().pointSize(), points);
        QCOMPARE(t.ui->nameLabel->font().family(), QString("Comic Sans MS"));
    }

    void rendersOnlyWhenPictureChanges()
    {
        TimerMsgDlg t;
        TimerRecord r = countdown("Full", at(14, 0));
        r.format = FormatFull;
        clock::advance(50);
        t.setTimerRecord(r);
        t.show();
        const int first = t.renderCount();
        QCOMPARE(first, 1);
        for (int i = 0; i < 9; ++i) { // same second: nothing visible changes
            clock::advance(100);
            t.updateTimer();
        }
        QCOMPARE(t.renderCount(), first);
        clock::advance(100);
        t.updateTimer();
        QCOMPARE(t.renderCount(), first + 1);
        settings.timerFontSize = 2;
        t.updateSettings();
        QCOMPARE(t.renderCount(), first + 2);

        t.hide();
        clock::advance(5000);
        t.updateTimer();
        QCOMPARE(t.renderCount(), first + 2);
        t.show();
        QCOMPARE(t.renderCount(), first + 3);
    }

    void skippedTicksMissNoChange_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("momentMs"); // milliseconds of the moment
        QTest::addColumn<int>("step");
        QTest::newRow("countdown, whole second, 100 ms") << 0 << 0 << 100;
        QTest::newRow("countdown, odd ms, 7 ms") << 0 << 438 << 7;
        QTest::newRow("stopwatch, odd ms, 100 ms") << 1 << 999 << 100;
        QTest::newRow("stopwatch, whole second, 13 ms") << 1 << 0 << 13;
    }
    void skippedTicksMissNoChange()
    {
        QFETCH(int, type);
        QFETCH(int, momentMs);
        QFETCH(int, step);
        // Ends three seconds ahead (or started three ago) and runs past the end.
        TimerRecord r = countdown("T", at(12, 0, type == 0 ? 3 : 0).addMSecs(momentMs), true);
        r.type = type;
        if (type == 1)
            r.dateTime = r.dateTime.addSecs(-3);
        r.format = FormatFull;
        TimerMsgDlg t;
        t.setTimerRecord(r);
        t.show();
        test::FakeSoundPlayer sound;
        bool down = t.countingDown;
        TimeParts shown = timermath::applyFormat(
            timermath::tick(t.dateTime, td::now(), down).counts, r, settings.timerShowCaptions);
        int changes = t.renderCount();
        for (int ms = 0; ms < 7000; ms += step) {
            clock::advance(step);
            t.updateTimer();
            const timermath::Tick want = timermath::tick(t.dateTime, td::now(), down);
            down = down && want.action != timermath::TickAction::Finish;
            const TimeParts parts =
                timermath::applyFormat(want.counts, r, settings.timerShowCaptions);
            if (!(parts == shown))
                ++changes;
            shown = parts;
            QCOMPARE(t.renderCount(), changes);
        }
    }

    void cachedPictureEqualsFresh_data()
    {
        QTest::addColumn<QString>("skin");
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<qreal>("ratio");
        const QList<QObject*> skins = loadFontPlugins(TIDRA_BUILD_DIR);
        QVERIFY(!skins.isEmpty());
        for (QObject* plugin : skins) {
            const QString name = fontInterface(plugin)->name();
            QTest::newRow(qPrintable(name + " normal")) << name << 1 << 1.0;
            QTest::newRow(qPrintable(name + " big 2x")) << name << 2 << 2.0;
        }
    }
    void cachedPictureEqualsFresh()
    {
        QFETCH(QString, skin);
        QFETCH(int, fontSize);
        QFETCH(qreal, ratio);
        static const QList<QObject*> skins = loadFontPlugins(TIDRA_BUILD_DIR);
        DisplayCache cache;
        TimeParts p;
        p.hours = 9;
        p.minutes = 58;
        // Seconds and hundredths turn, the hours gain a digit, captions come and go.
        for (int step = 0; step < 260; step += 7) {
            p.seconds = step % 60;
            p.hundredths = step % 100;
            p.minutes = 58 + step / 120;
            p.hours = step < 200 ? 9 : 10;
            p.captions = step % 3 == 0 && step > 100;
            const QImage cached = renderForDisplay(cache, skins, skin, p, fontSize, ratio);
            const QImage fresh = renderForDisplay(skins, skin, p, fontSize, ratio);
            QVERIFY(!fresh.isNull());
            QCOMPARE(cached, fresh);
            QCOMPARE(cached.devicePixelRatio(), fresh.devicePixelRatio());
        }
    }

    void tickFollowsVisibility_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<qint64>("leftMs"); // to the end of a countdown
        QTest::addColumn<bool>("paused");
        QTest::addColumn<int>("hiddenInterval"); // 0: no tick while hidden
        QTest::newRow("countdown, 2 s left") << 0 << qint64(2000) << false << 2001;
        QTest::newRow("countdown, an hour left") << 0 << qint64(3600000) << false << 5000;
        QTest::newRow("countdown, 20 ms left") << 0 << qint64(20) << false << 100;
        QTest::newRow("stopwatch") << 1 << qint64(-60000) << false << 0;
        QTest::newRow("paused countdown") << 0 << qint64(2000) << true << 0;
    }
    void tickFollowsVisibility()
    {
        QFETCH(int, type);
        QFETCH(qint64, leftMs);
        QFETCH(bool, paused);
        QFETCH(int, hiddenInterval);
        TimerMsgDlg t;
        TimerRecord r = countdown("T", at(12, 0).addMSecs(leftMs));
        r.type = type;
        t.setTimerRecord(r);
        if (paused)
            t.pause();
        QCOMPARE(t.tickTimer->isActive(), hiddenInterval != 0);
        if (hiddenInterval)
            QCOMPARE(t.tickTimer->interval(), hiddenInterval);
        t.show();
        QCOMPARE(t.tickTimer->isActive(), !paused);
        if (!paused)
            QCOMPARE(t.tickTimer->interval(), 100);
        t.hide();
        QCOMPARE(t.tickTimer->isActive(), hiddenInterval != 0);
        QCOMPARE(t.running(), !paused);
    }

    void hiddenCountdownWakesForItsEnd()
    {
        test::FakeSoundPlayer sound;
        TimerMsgDlg t;
        t.setTimerRecord(countdown("Hidden", at(12, 0, 12), true));
        QSignalSpy spy(&t, &TimerMsgDlg::directionChanged);
        // Each wake retimes the sleep to what is left.
        for (int wakes = 0; wakes < 10 && spy.isEmpty(); ++wakes) {
            QVERIFY(t.tickTimer->isActive());
            clock::advance(t.tickTimer->interval());
            t.updateTimer();
        }
        QCOMPARE(spy.count(), 1);
        QCOMPARE(td::now(), at(12, 0, 12).addMSecs(1));
        QCOMPARE(t.renderCount(), 0);
        // Counting up while hidden needs no wake-ups; shown, it ticks again.
        QVERIFY(t.running());
        QVERIFY(!t.tickTimer->isActive());
        t.show();
        QCOMPARE(t.tickTimer->interval(), 100);
    }

    void doubleClickEdits_data()
    {
        QTest::addColumn<bool>("workTimer");
        QTest::newRow("user timer") << false;
        QTest::newRow("work window") << true;
    }
    void doubleClickEdits()
    {
        QFETCH(bool, workTimer);
        TimerMsgDlg t;
        t.workTimer = workTimer;
        TimerRecord r = countdown("Watch", at(11, 0));
        r.type = TypeStopwatch;
        t.setTimerRecord(r);
        t.show();
        t.pause();
        bool nameEditable = false;
        test::whenModal([&](QWidget* w) {
            auto* editor = qobject_cast<TimerDlg*>(w);
            QVERIFY(editor);
            nameEditable = editor->ui->timerName->isEnabled();
            QCOMPARE(editor->ui->timerName->text(), QString("Watch"));
            QVERIFY(editor->ui->modeStopwatch->isChecked());
            editor->ui->formatFull->setChecked(true);
            QTest::mouseClick(editor->ui->applyButton, Qt::LeftButton);
        });
        QTest::mouseDClick(&t, Qt::LeftButton);
        QCOMPARE(nameEditable, !workTimer);
        QCOMPARE(t.format, int(FormatFull));
        QCOMPARE(t.dateTime, at(11, 0)); // the running stopwatch kept its start
        QVERIFY(t.running());
        QCOMPARE(t.tickTimer->interval(), 100);
    }
};

TIDRA_TEST_MAIN(TestTimerMsgDlg)
#include "tst_timermsgdlg.moc"
