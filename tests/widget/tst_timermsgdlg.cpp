#include "app/AppSettings.h"
#include "app/Clock.h"
#include "app/WindowPlacement.h"
#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"
#include "timers/TimerMath.h"
#include "timers/TimerMsgDlg.h"

#include <QAction>
#include <QLayout>

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

// Shows the window and lets a pending layout request resize it.
void showSettled(QWidget* w)
{
    w->show();
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
        settings.timerPlaySound = playSound;
        settings.timerSoundFileName = TIDRA_SOURCE_DIR "/resources/oldphone.wav";
        TimerMsgDlg t;
        QSignalSpy spy(&t, &TimerMsgDlg::directionChanged);

        // An end already passed on loading counts up silently.
        t.setTimerRecord(countdown("Old", at(11, 0), true));
        t.updateTimer();
        QVERIFY(!t.countingDown);
        QCOMPARE(spy.count(), 0);

        t.setTimerRecord(countdown("Egg", at(12, 0, 5), continueExpired));
        int soundsAtSignal = -1;
        bool tickingAtSignal = false;
        connect(&t, &TimerMsgDlg::directionChanged, this, [&] {
            soundsAtSignal = int(sound.played.size());
            tickingAtSignal = t.running() && t.countingDown;
        });
        clock::advance(5000);
        t.updateTimer();
        QCOMPARE(spy.count(), 0); // the end itself is not past yet
        QVERIFY(!t.resetAction->isEnabled());
        clock::advance(1);
        t.updateTimer();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(soundsAtSignal, playSound ? 1 : 0);
        QVERIFY(tickingAtSignal);
        QCOMPARE(t.running(), continueExpired);
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
        QVERIFY(t.countingDown && t.running());
        QCOMPARE(t.timerRecord().name, QString("Day end"));
    }

    void shadesWhileInactive()
    {
        settings.timerShadeInactive = true;
        TimerMsgDlg t;
        QWidget other;
        t.show();
        other.show();
        t.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&t));
        QCOMPARE(t.windowOpacity(), 1.0);
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(qAbs(t.windowOpacity() - 0.5) < 0.01);
        settings.timerShadeInactive = false;
        t.updateSettings();
        QCOMPARE(t.windowOpacity(), 1.0);
    }

    void snapsToEdges_data()
    {
        QTest::addColumn<bool>("fromLeft"); // else offsets from AW - W / AH - H
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("x -1 snaps") << true << QPoint(-1, 50) << QPoint(0, 50);
        QTest::newRow("y 2 stays") << true << QPoint(40, 2) << QPoint(40, 2);
        QTest::newRow("right +1 snaps") << false << QPoint(1, -300) << QPoint(0, -300);
        QTest::newRow("bottom +1 snaps") << false << QPoint(-300, 1) << QPoint(-300, 0);
    }
    void snapsToEdges()
    {
        QFETCH(bool, fromLeft);
        QFETCH(QPoint, offset);
        QFETCH(QPoint, expected);
        TimerMsgDlg t;
        t.setTimerRecord(countdown("Snap", at(13, 0)));
        showSettled(&t);
        const QRect area = availableDesktop();
        const QPoint base =
            fromLeft ? QPoint() : QPoint(area.width() - t.width(), area.height() - t.height());
        t.move(100, 100);
        t.move(base + offset);
        QCOMPARE(t.pos(), base + expected);
    }

    void dragsOnlyWithLeftButton()
    {
        TimerMsgDlg t;
        t.show();
        t.move(200, 200);
        const QPoint grab = t.mapToGlobal(QPoint(5, 5));
        const QPoint by(30, 20);
        auto drag = [&](Qt::MouseButton b) {
            sendMouse(&t, QEvent::MouseButtonPress, grab, b, b);
            sendMouse(&t, QEvent::MouseMove, grab + by, Qt::NoButton, b);
            sendMouse(&t, QEvent::MouseButtonRelease, grab + by, b, Qt::NoButton);
        };
        drag(Qt::RightButton);
        QCOMPARE(t.pos(), QPoint(200, 200));
        drag(Qt::LeftButton);
        QCOMPARE(t.pos(), QPoint(230, 220));
        // The drag has ended: another button held does not move it.
        sendMouse(&t, QEvent::MouseMove, grab + by * 2, Qt::NoButton, Qt::MiddleButton);
        QCOMPARE(t.pos(), QPoint(230, 220));
    }

    void keepsCentreWhenGrowing_data()
    {
        QTest::addColumn<QList<int>>("sizes"); // width, height, width, height ...
        QTest::newRow("odd to even, growing") << QList<int>{201, 61, 204, 64};
        QTest::newRow("even to odd, shrinking") << QList<int>{300, 80, 211, 75};
        QTest::newRow("one pixel each way") << QList<int>{201, 61, 200, 60, 201, 61, 202, 62};
    }
    void keepsCentreWhenGrowing()
    {
        QFETCH(QList<int>, sizes);
        TimerMsgDlg t;
        t.setTimerRecord(countdown("A", at(13, 0)));
        showSettled(&t);
        // Sizes set by hand; the centre must not move by a single pixel.
        t.layout()->setSizeConstraint(QLayout::SetNoConstraint);
        t.setFixedSize(sizes[0], sizes[1]);
        const QPoint centre(641, 333);
        t.setPos(centre);
        for (int i = 2; i < sizes.size(); i += 2) {
            t.setFixedSize(sizes[i], sizes[i + 1]);
            QCOMPARE(t.getPos(), centre);
        }
        t.setMinimumSize(0, 0);
        t.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        t.layout()->setSizeConstraint(QLayout::SetFixedSize);
        t.layout()->activate();
        QCOMPARE(t.getPos(), centre);
        const int width = t.width();
        t.setTimerRecord(countdown("A longer name", at(13, 0)));
        t.layout()->activate();
        QVERIFY(t.width() > width + 20);
        QCOMPARE(t.getPos(), centre);
        // Snapped to an edge, it grows away from the edge instead of off screen.
        t.move(0, 300);
        t.setTimerRecord(countdown("A longer name, longer still", at(13, 0)));
        t.layout()->activate();
        QCOMPARE(t.pos().x(), 0);
        // While it is being built, it stays where it was put.
        t.move(300, 300);
        const QPoint topLeft = t.pos();
        t.initializing = true;
        t.setTimerRecord(countdown("A much longer timer name", at(13, 0)));
        t.layout()->activate();
        QVERIFY(t.width() > width + 60);
        QCOMPARE(t.pos(), topLeft);
    }

    // A window sleeps between the moments it armed: stepping the clock finely,
    // no change of the counts may come before the armed wake, and each wake
    // draws it. A change of looks is drawn at once.
    void wakesForEveryChange_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("momentMs"); // milliseconds of the moment
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("span");
        const int full = FormatFull;
        QTest::newRow("countdown, whole second, 100 ms") << 0 << 0 << full << 100 << 7000;
        QTest::newRow("countdown, odd ms, 7 ms") << 0 << 438 << full << 7 << 7000;
        QTest::newRow("stopwatch, odd ms, 100 ms") << 1 << 999 << full << 100 << 7000;
        QTest::newRow("stopwatch, whole second, 13 ms") << 1 << 0 << full << 13 << 7000;
        QTest::newRow("minutes only, 997 ms") << 1 << 438 << int(FormatCustom) << 997 << 400000;
    }
    void wakesForEveryChange()
    {
        QFETCH(int, type);
        QFETCH(int, momentMs);
        QFETCH(int, format);
        QFETCH(int, step);
        QFETCH(int, span);
        test::FakeSoundPlayer sound;
        // Ends three seconds ahead (or started three ago) and runs past the end.
        TimerRecord r = countdown("T", at(12, 0, type == 0 ? 3 : 0).addMSecs(momentMs), true);
        r.type = type;
        if (type == 1)
            r.dateTime = r.dateTime.addSecs(-3);
        r.format = format;
        r.msecFormat = r.secFormat = false; // Custom: minutes and hours
        TimerMsgDlg t;
        t.setTimerRecord(r);
        t.show();
        bool down = t.countingDown;
        auto expected = [&] {
            const timermath::Tick want = timermath::tick(t.dateTime, td::now(), down);
            down = down && want.action != timermath::TickAction::Finish;
            return timermath::applyFormat(want.counts, r, settings.timerShowCaptions);
        };
        TimeParts shown = expected();
        int changes = t.renderCount();
        for (int ms = 0; ms < span; ms += step) {
            clock::advance(step);
            const TimeParts parts = expected();
            const bool woken = t.tickTimer->isActive() && t.tickTimer->deadline() <= td::nowMsecs();
            QVERIFY2(parts == shown || woken, "a change before the armed wake");
            wallclock::runDue();
            changes += parts == shown ? 0 : 1;
            shown = parts;
            QCOMPARE(t.renderCount(), changes);
        }
        QVERIFY(changes > 3);
        settings.timerFontSize = 2;
        t.updateSettings();
        QCOMPARE(t.renderCount(), changes + 1);
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

    void hiddenCountdownWakesForItsEnd()
    {
        test::FakeSoundPlayer sound;
        TimerMsgDlg t;
        t.setTimerRecord(countdown("Hidden", at(12, 0, 12), true));
        QSignalSpy spy(&t, &TimerMsgDlg::directionChanged);
        // Hidden, it sleeps until just past its end, and then it rings.
        QVERIFY(t.tickTimer->isActive());
        QCOMPARE(t.tickTimer->deadline(), at(12, 0, 12).toMSecsSinceEpoch() + 1);
        clock::setFixed(at(12, 0, 12).addMSecs(1));
        wallclock::runDue();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(t.renderCount(), 0);
        // Counting up while hidden needs no wake-ups; shown, it draws and ticks again.
        QVERIFY(t.running() && !t.tickTimer->isActive());
        t.show();
        QCOMPARE(t.renderCount(), 1);
        QVERIFY(t.tickTimer->isActive());
        // Paused, neither showing nor hiding starts it.
        t.pause();
        t.hide();
        t.show();
        QVERIFY(!t.running() && !t.tickTimer->isActive());
    }
};

TIDRA_TEST_MAIN(TestTimerMsgDlg)
#include "tst_timermsgdlg.moc"
