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

QList<int> ints(const QString& s)
{
    QList<int> out;
    for (const QString& n : s.split(' ', Qt::SkipEmptyParts))
        out << n.toInt();
    return out;
}

QDateTime at(int h, int m, int s = 0, int d = 10)
{
    return QDateTime(QDate(2026, 6, d), QTime(h, m, s));
}

TimerRecord countdown(const QString& name, const QDateTime& end, bool continueExpired = false)
{
    return TimerRecord{name, TypeTimer, end, continueExpired, FormatShort};
}

void sendMouse(QWidget* w, QEvent::Type type, const QPoint& global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(w->mapFromGlobal(global)), QPointF(global), button, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Which of the editor's parts are visible, as "time-to count-for continue format" in 0/1.
QString editorShows(const Ui::TimerDialog* ui)
{
    QString s;
    for (const QWidget* w :
         {static_cast<QWidget*>(ui->groupTimeTo), static_cast<QWidget*>(ui->groupCountFor),
          static_cast<QWidget*>(ui->continueExpired), static_cast<QWidget*>(ui->frameFormat)})
        s += w->isVisible() ? '1' : '0';
    return s;
}

// Answers the next editor: fill it, then apply (or cancel).
void answerEditor(std::function<void(Ui::TimerDialog*)> fill, bool apply = true)
{
    test::whenModal([fill, apply](QWidget* w) {
        auto* editor = qobject_cast<TimerDlg*>(w);
        QVERIFY(editor);
        fill(editor->ui.get());
        QTest::mouseClick(apply ? editor->ui->applyButton : editor->ui->cancelButton,
                          Qt::LeftButton);
    });
}

// Digits 8 x 16 in the font's own colour; every other picture 12 x 6.
class FakeFont : public QObject, public FontPluginInterface
{
    Q_OBJECT
    Q_INTERFACES(td::FontPluginInterface)

public:
    FakeFont(QString name, QColor colour = Qt::darkGreen)
        : fontName(std::move(name)), colour(colour)
    {
    }
    QPixmap symbolPixmap(QString key) override
    {
        QPixmap p(key.size() == 1 ? QSize(8, 16) : QSize(12, 6));
        p.fill(colour);
        return p;
    }
    QString name() override { return fontName; }
    QString title() override { return fontName.toUpper(); }
    QString fontName;
    QColor colour;
};

} // namespace

class TestTimerWindows : public QObject
{
    Q_OBJECT

    MainSettingsDlg* main = nullptr;
    test::FakeSoundPlayer sound;

    TimerMsgDlg* adopt(const QString& name, int type, const QDateTime& moment, bool show = true)
    {
        auto* t = new TimerMsgDlg(main);
        t->setTimerRecord(TimerRecord{name, type, moment});
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
        clock::setFixed(at(12, 0, 0, 10));
        main = new MainSettingsDlg;
    }
    void cleanupTestCase()
    {
        delete main;
        clock::reset();
    }
    void init()
    {
        appSettings->timerShowCaptions = true;
        appSettings->timerPlaySound = appSettings->timerShadeInactive = false;
        appSettings->timerFontSize = 1;
        sound.played.clear();
        clock::setFixed(at(12, 0));
    }
    void cleanup()
    {
        while (!main->timers.isEmpty())
            main->destroyTimerMsg(main->timers.last());
    }

    void addSelectsAndShows()
    {
        answerEditor([](Ui::TimerDialog* ui) { ui->timerName->setText("No"); }, false);
        main->addTimer(); // cancelled: nothing is made
        QCOMPARE(names(), QStringList{});
        for (const QString name : {"Tea", "Egg", "Rice"}) {
            answerEditor([name](Ui::TimerDialog* ui) { ui->timerName->setText(name); });
            main->addTimer();
            QCOMPARE(main->ui->timersList->currentRow(), main->timers.size() - 1);
        }
        QCOMPARE(names(), (QStringList{"Tea", "Egg", "Rice"}));
        QVERIFY(main->timers[0]->running() && main->timers[0]->tickTimer->isActive());
        // Each new window opens clear of every timer window already shown.
        const QList<TimerMsgDlg*> shown =
            main->timers + QList<TimerMsgDlg*>{main->lunchTimer, main->dayEndTimer};
        for (TimerMsgDlg* added : main->timers)
            for (TimerMsgDlg* other : shown)
                QVERIFY(other->isVisible() &&
                        (added == other || !added->geometry().intersects(other->geometry())));
    }

    // Deleting row r of n leaves the rest, the neighbour selected and described.
    void deleteSelectsNeighbour_data()
    {
        QTest::addColumn<QList<int>>("f"); // count, row, selected after
        QTest::newRow("middle of three") << QList<int>{3, 1, 1};
        QTest::newRow("last of three") << QList<int>{3, 2, 1};
        QTest::newRow("only one") << QList<int>{1, 0, -1};
    }
    void deleteSelectsNeighbour()
    {
        QFETCH(QList<int>, f);
        QStringList left;
        for (int i = 0; i < f[0]; ++i)
            adopt(left.emplace_back(QString("T%1").arg(i)), 0, at(9, i, 0, 11));
        QPointer<TimerMsgDlg> gone = main->timers[f[1]];
        main->ui->timersList->setCurrentRow(f[1]);
        main->delTimer();
        QVERIFY(!gone); // so it can never ring
        left.removeAt(f[1]);
        QCOMPARE(names(), left);
        QCOMPARE(main->ui->timersList->currentRow(), f[2]);
        QCOMPARE(
            description(),
            f[2] < 0
                ? QString()
                : QString("Timer\nShow time to: 06.11.2026 09:0%1\n").arg(left.value(f[2]).mid(1)));
    }

    // Every way to edit leaves the row and description up to date and the
    // window shown and running; a stopwatch keeps its start unless it
    // becomes a timer.
    void edit_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        const QString timer = "Timer\nShow time to: 17:45\nContinue count as stopwatch after "
                              "timer finished",
                      stopwatch = "Stopwatch\nShow time from 06.10.2026 11:00\n",
                      becomes = "Timer\nShow time to: 06.12.2026 08:30\n";
        QTest::newRow("list") << "list" << 0 << timer;
        QTest::newRow("window, double click") << "double click" << 0 << timer;
        QTest::newRow("window, menu") << "menu" << 0 << timer;
        QTest::newRow("stopwatch, list") << "list" << 1 << stopwatch;
        QTest::newRow("stopwatch, double click") << "double click" << 1 << stopwatch;
        QTest::newRow("stopwatch becomes timer") << "list" << 1 << becomes;
    }
    void edit()
    {
        QFETCH(QString, path);
        QFETCH(int, type);
        QFETCH(QString, text);
        TimerMsgDlg* t =
            adopt("A", type, type ? at(11, 0, 0, 10) : at(17, 45, 0, 10), path != "list");
        adopt("B", 0, at(9, 0, 0, 11));
        t->pause();
        main->ui->timersList->setCurrentRow(0);
        main->saveTimer->stop();
        answerEditor([text](Ui::TimerDialog* ui) {
            ui->timerName->setText("Renamed");
            ui->continueExpired->setChecked(text.contains("Continue"));
            if (text.contains("08:30")) {
                ui->modeTimer->setChecked(true);
                ui->dateTo->setDate(QDate(2026, 6, 12));
                ui->timeTo->setTime(QTime(8, 30));
            }
        });
        if (path == "list")
            main->editTimer(main->ui->timersList->item(0));
        else if (path == "double click")
            QTest::mouseDClick(t, Qt::LeftButton);
        else
            t->editAction->trigger();
        QCOMPARE(names(), (QStringList{"Renamed", "B"}));
        QCOMPARE(description(), text);
        QVERIFY(t->isVisible() && t->running() && main->saveTimer->isActive());
    }

    void finishRaisesPopup_data()
    {
        QTest::addColumn<bool>("alarmEnabled");
        QTest::newRow("pop-up") << true;
        QTest::newRow("no pop-up") << false;
    }
    void finishRaisesPopup()
    {
        QFETCH(bool, alarmEnabled);
        appSettings->timerAlarmEnabled = alarmEnabled;
        main->show();
        TimerMsgDlg* t = adopt("Egg", 0, at(12, 5, 0, 10));
        QPointer<AlarmMsgDlg> popup; // raised before the listeners hear of the end
        connect(t, &TimerMsgDlg::directionChanged, this,
                [&] { popup = main->findChild<AlarmMsgDlg*>(); });
        clock::advance(5 * 60000 + 1);
        t->updateTimer();
        appSettings->timerAlarmEnabled = false;
        QCOMPARE(!popup.isNull(), alarmEnabled);
        QVERIFY(main->alarms.isEmpty());
        if (popup) {
            QVERIFY(popup->isVisible());
            QCOMPARE(popup->alarm().name, QString("Timer Egg finished"));
            QCOMPARE(QDateTime(popup->alarm().date, popup->alarm().time), at(12, 5, 0, 10));
            popup->hide();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!popup);
            QVERIFY(main->isVisible()); // hiding the pop-up never closes the main window
        }
        main->hide();
        // Finished, it counts on as a stopwatch from its end; reset, from now.
        QCOMPARE(description(), QString("Stopwatch\nShow time from 06.10.2026 12:05\n"));
        clock::advance(60000);
        t->resetAction->trigger();
        QCOMPARE(description(), QString("Stopwatch\nShow time from 06.10.2026 12:06\n"));
    }

    // The skin chooser: fonts ("-" a non-font) | the row it opens at | the row
    // picked (-1 none) | OK | the name then in the settings, the label and the store.
    void changeDefaultFont_data()
    {
        QTest::addColumn<QStringList>("f");
        QTest::newRow("non-fonts get no row")
            << QStringList{"-,lcd,-,classic,dots", "1 2 1", "dots"};
        QTest::newRow("unknown default: first row") << QStringList{"lcd,dots", "0 -1 1", "lcd"};
        QTest::newRow("cancel") << QStringList{"lcd,classic,dots", "1 2 0", "classic"};
        QTest::newRow("no fonts keeps the name") << QStringList{"-", "-1 -1 1", "classic"};
    }
    void changeDefaultFont()
    {
        QFETCH(QStringList, f);
        QObject owner;
        main->fontPlugins.clear();
        for (const QString& name : f[0].split(','))
            main->fontPlugins << (name == "-" ? new QObject(&owner) : new FakeFont(name));
        for (QObject* o : main->fontPlugins)
            o->setParent(&owner);
        appSettings->timerDefaultSkin = "classic";
        main->ui->skinName->setText("classic");
        saveSettings(*appSettings);
        QSignalSpy changed(main, &MainSettingsDlg::settingsChanged);
        const QStringList rows = f[1].split(' ');
        test::whenModal([&](QWidget* w) {
            auto* library = qobject_cast<FontsLibrary*>(w);
            QCOMPARE(QString::number(library->ui->fontsList->currentRow()), rows[0]);
            if (rows[1] != "-1")
                library->ui->fontsList->setCurrentRow(rows[1].toInt());
            QTest::mouseClick(library->ui->buttonBox->button(
                                  rows[2] == "1" ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                              Qt::LeftButton);
        });
        main->changeDefaultFont();
        main->fontPlugins.clear();
        const QString stored = QSettings(info::organizationName, info::applicationName)
                                   .value("timers/DefaultSkin")
                                   .toString();
        QCOMPARE(QStringList({appSettings->timerDefaultSkin, main->ui->skinName->text(), stored}),
                 QStringList(3, f[2]));
        QCOMPARE(changed.count(), int(f[2] != "classic"));
    }

    // The chooser's sample is drawn by the selected row's own font, at the
    // moment of selection.
    void fontSampleFollowsTheRow()
    {
        clock::setFixed(QDateTime(QDate(2025, 6, 1), QTime(14, 5, 33)));
        QObject notAFont;
        FakeFont a("a", Qt::red), b("b", Qt::blue);
        FontsLibrary dialog({&notAFont, &a, &b}, "b");
        auto sample = [&](FakeFont* font, int minutes) {
            QCOMPARE(dialog.ui->pixmapLabel->pixmap().toImage().convertToFormat(
                         QImage::Format_ARGB32_Premultiplied),
                     renderTime(font, TimeParts{-1, -1, 14, minutes, -1, -1, true})
                         .convertToFormat(QImage::Format_ARGB32_Premultiplied));
        };
        sample(&b, 5);
        clock::advance(10 * 60 * 1000);
        dialog.ui->fontsList->setCurrentRow(0);
        QCOMPARE(dialog.selectedFontName(), QString("a"));
        sample(&a, 15);
    }

    void finishSequence_data()
    {
        addRows("stop, sound|0 1\ncontinue, sound|1 1\nstop, silent|0 0");
    }
    void finishSequence()
    {
        QFETCH(QStringList, f);
        const bool continueExpired = f[0] == "1 1", playSound = f[0].endsWith('1');
        appSettings->timerPlaySound = playSound;
        appSettings->timerSoundFileName = TIDRA_SOURCE_DIR "/resources/oldphone.wav";
        TimerMsgDlg t;
        QSignalSpy spy(&t, &TimerMsgDlg::directionChanged);
        // An end already passed on loading counts up silently.
        t.setTimerRecord(countdown("Old", at(11, 0), true));
        t.updateTimer();
        QVERIFY(!t.countingDown && spy.isEmpty());

        t.setTimerRecord(countdown("Egg", at(12, 0, 5), continueExpired));
        QString atSignal; // sounds played, running and counting down when the end is told
        connect(&t, &TimerMsgDlg::directionChanged, this, [&] {
            atSignal = QString("%1 %2").arg(sound.played.size()).arg(t.running() && t.countingDown);
        });
        clock::advance(5000);
        t.updateTimer();
        QVERIFY(spy.isEmpty() && !t.resetAction->isEnabled()); // the end itself is not past yet
        clock::advance(1);
        t.updateTimer();
        QCOMPARE(atSignal, QString("%1 1").arg(int(playSound)));
        QCOMPARE(t.running(), continueExpired);
        QVERIFY(t.resetAction->isEnabled()); // a stopwatch now
        QCOMPARE(t.timerRecord().type, int(TypeStopwatch));
        // It runs once: later ticks count up from the end.
        clock::advance(60000);
        t.updateTimer();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(sound.played.size(), qsizetype(playSound));
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

    void hiddenCountdownWakesForItsEnd()
    {
        TimerMsgDlg t;
        t.setTimerRecord(countdown("Hidden", at(12, 0, 12), true));
        QSignalSpy spy(&t, &TimerMsgDlg::directionChanged);
        // Hidden, it sleeps until just past its end, and then it rings.
        QCOMPARE(t.tickTimer->deadline(), at(12, 0, 12).toMSecsSinceEpoch() + 1);
        clock::setFixed(at(12, 0, 12).addMSecs(1));
        wallclock::runDue();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(t.renderCount(), 0);
        // Counting up while hidden needs no wake-ups; shown, it draws and ticks again.
        QVERIFY(t.running() && !t.tickTimer->isActive());
        t.show();
        QVERIFY(t.renderCount() == 1 && t.tickTimer->isActive());
        // Paused, neither showing nor hiding starts it.
        t.pause();
        t.hide();
        t.show();
        QVERIFY(!t.running() && !t.tickTimer->isActive());
    }

    // A window sleeps between the moments it armed: stepping the clock finely,
    // no change of the counts may come before the armed wake, and each wake
    // draws it. A change of looks is drawn at once.
    void wakesForEveryChange_data()
    {
        // type (0 countdown, 1 stopwatch) | ms of the moment | format | step ms | span ms
        addRows(R"(
countdown, whole second, 100 ms | 0 0 1 100 7000
countdown, odd ms, 7 ms         | 0 438 1 7 7000
stopwatch, odd ms, 100 ms       | 1 999 1 100 7000
stopwatch, whole second, 13 ms  | 1 0 1 13 7000
minutes only, 997 ms            | 1 438 2 997 400000)");
    }
    void wakesForEveryChange()
    {
        QFETCH(QStringList, f);
        const QList<int> v = ints(f[0]);
        const int type = v[0], step = v[3];
        // Ends three seconds ahead (or started three ago) and runs past the end.
        TimerRecord r = countdown("T", at(12, 0, 3).addSecs(type * -6).addMSecs(v[1]), true);
        r.type = type;
        r.format = v[2];
        r.msecFormat = r.secFormat = false; // Custom: minutes and hours
        TimerMsgDlg t;
        t.setTimerRecord(r);
        t.show();
        bool down = t.countingDown;
        auto expected = [&] {
            const timermath::Tick want = timermath::tick(t.dateTime, td::now(), down);
            down = down && want.action != timermath::TickAction::Finish;
            return timermath::applyFormat(want.counts, r, appSettings->timerShowCaptions);
        };
        TimeParts shown = expected();
        int changes = t.renderCount();
        for (int ms = 0; ms < v[4]; ms += step) {
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
        appSettings->timerFontSize = 2;
        t.updateSettings();
        QCOMPARE(t.renderCount(), changes + 1);
    }

    void shadesWhileInactive()
    {
        appSettings->timerShadeInactive = true;
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
        appSettings->timerShadeInactive = false;
        t.updateSettings();
        QCOMPARE(t.windowOpacity(), 1.0);
    }

    // Moved within a pixel of an edge it snaps onto it: offsets from the top
    // left, or (right/bottom) from the place that touches the far edges.
    void snapsToEdges_data()
    {
        addRows("x -1 snaps|1 -1 50|0 50\ny 2 stays|1 40 2|40 2\nright +1 snaps|0 1 -300|0 -300\n"
                "bottom +1 snaps|0 -300 1|-300 0");
    }
    void snapsToEdges()
    {
        QFETCH(QStringList, f);
        const QList<int> v = ints(f[0]);
        TimerMsgDlg t;
        t.setTimerRecord(countdown("Snap", at(13, 0)));
        t.show();
        t.layout()->activate();
        QCoreApplication::processEvents();
        const QRect area = availableDesktop();
        const QPoint base =
            v[0] ? QPoint() : QPoint(area.width() - t.width(), area.height() - t.height());
        t.move(100, 100);
        t.move(base + QPoint(v[1], v[2]));
        QCOMPARE(QString("%1 %2").arg(t.x() - base.x()).arg(t.y() - base.y()), f[1]);
    }

    void dragsOnlyWithLeftButton()
    {
        TimerMsgDlg t;
        t.show();
        t.move(200, 200);
        const QPoint grab = t.mapToGlobal(QPoint(5, 5)), by(30, 20);
        for (Qt::MouseButton b : {Qt::RightButton, Qt::LeftButton}) {
            sendMouse(&t, QEvent::MouseButtonPress, grab, b, b);
            sendMouse(&t, QEvent::MouseMove, grab + by, Qt::NoButton, b);
            sendMouse(&t, QEvent::MouseButtonRelease, grab + by, b, Qt::NoButton);
            QCOMPARE(t.pos(), b == Qt::LeftButton ? QPoint(230, 220) : QPoint(200, 200));
        }
        // The drag has ended: another button held does not move it.
        sendMouse(&t, QEvent::MouseMove, grab + by * 2, Qt::NoButton, Qt::MiddleButton);
        QCOMPARE(t.pos(), QPoint(230, 220));
    }

    void keepsCentreWhenResized_data()
    {
        addRows("odd to even, growing|201 61 204 64\neven to odd, shrinking|300 80 211 75\n"
                "one pixel each way|201 61 200 60 201 61 202 62");
    }
    void keepsCentreWhenResized()
    {
        QFETCH(QStringList, f);
        const QList<int> sizes = ints(f[0]);
        TimerMsgDlg t;
        t.setTimerRecord(countdown("A", at(13, 0)));
        t.show();
        t.layout()->setSizeConstraint(QLayout::SetNoConstraint);
        t.setFixedSize(sizes[0], sizes[1]);
        const QPoint centre(641, 333);
        t.setPos(centre);
        for (int i = 2; i < sizes.size(); i += 2) {
            t.setFixedSize(sizes[i], sizes[i + 1]);
            QCOMPARE(t.getPos(), centre);
        }
    }

    void growsAroundItsCentre()
    {
        TimerMsgDlg t;
        t.setTimerRecord(countdown("A", at(13, 0)));
        t.show();
        t.layout()->activate();
        t.setPos(QPoint(641, 333));
        const int width = t.width();
        auto rename = [&](const QString& name) {
            t.setTimerRecord(countdown(name, at(13, 0)));
            t.layout()->activate();
        };
        rename("A longer name");
        QVERIFY(t.width() > width + 20);
        QCOMPARE(t.getPos(), QPoint(641, 333));
        // Snapped to an edge, it grows away from the edge instead of off screen.
        t.move(0, 300);
        rename("A longer name, longer still");
        QCOMPARE(t.pos().x(), 0);
        // While it is being built, it stays where it was put.
        t.move(300, 300);
        t.initializing = true;
        rename("A much longer timer name");
        QVERIFY(t.width() > width + 60);
        QCOMPARE(t.pos(), QPoint(300, 300));
    }

    // The editor proposes the next hour's minute.
    void editorProposal()
    {
        for (const auto& [now, proposed] :
             {std::pair{at(9, 41, 37), at(10, 41)},
              {at(23, 0), at(0, 0, 0, 11)},
              {at(23, 30, 0, 30), QDateTime(QDate(2026, 7, 1), {0, 30})}}) {
            clock::setFixed(now);
            TimerDlg dlg(nullptr, false);
            QCOMPARE(dlg.timerRecord(), (TimerRecord{"", TypeTimer, proposed}));
        }
    }

    void editorShowsWhatApplies()
    {
        TimerDlg dlg(nullptr, false);
        dlg.show();
        Ui::TimerDialog* ui = dlg.ui.get();
        QCOMPARE(editorShows(ui), QString("1010"));
        ui->timerType->setCurrentIndex(1);
        QCOMPARE(editorShows(ui), QString("0110"));
        ui->modeStopwatch->setChecked(true);
        QCOMPARE(editorShows(ui), QString("0000"));
        ui->modeTimer->setChecked(true);
        ui->formatCustom->setChecked(true);
        QCOMPARE(editorShows(ui), QString("0111"));
        // A work window's editor changes only the format.
        TimerDlg work(nullptr, true);
        for (QWidget* w :
             QList<QWidget*>{work.ui->timerName, work.ui->modeTimer, work.ui->timerType,
                             work.ui->dateTo, work.ui->timeTo, work.ui->continueExpired,
                             work.ui->formatFull, work.ui->weekFormat, work.ui->applyButton})
            QVERIFY2(w->isEnabled() == w->objectName().contains(QRegularExpression("ormat|apply")),
                     qPrintable(w->objectName()));
    }

    void editorRecord_data()
    {
        QTest::addColumn<QString>("mode"); // to, gap, for, stopwatch
        QTest::addColumn<QDateTime>("moment");
        QTest::newRow("time to") << "to" << at(7, 5, 0, 12);
        QTest::newRow("time to, skipped by the clocks")
            << "gap" << QDateTime(QDate(2027, 3, 28), QTime(3, 30));
        QTest::newRow("count for 1 w 2 d 90 min, seconds kept") << "for" << at(11, 11, 37, 19);
        QTest::newRow("stopwatch starts now") << "stopwatch" << at(9, 41, 37);
    }
    void editorRecord()
    {
        QFETCH(QString, mode);
        clock::setFixed(at(9, 41, 37));
        TimerDlg dlg(nullptr, false);
        Ui::TimerDialog* ui = dlg.ui.get();
        ui->timerName->setText("Pasta");
        ui->dateTo->setDate(mode == "gap" ? QDate(2027, 3, 28) : QDate(2026, 6, 12));
        ui->timeTo->setTime(mode == "gap" ? QTime(2, 30) : QTime(7, 5));
        ui->modeStopwatch->setChecked(mode == "stopwatch");
        if (mode == "for") {
            ui->timerType->setCurrentIndex(1);
            ui->weekFor->setValue(1);
            ui->dayFor->setValue(2);
            ui->hourFor->setValue(0);
            ui->minFor->setValue(90);
        }
        ui->formatCustom->setChecked(true);
        ui->weekFormat->setChecked(true);
        ui->secFormat->setChecked(false);
        ui->continueExpired->setChecked(true);
        TimerRecord want{"Pasta", mode == "stopwatch", {}, true, FormatCustom};
        QFETCH(QDateTime, moment);
        want.dateTime = moment;
        want.weekFormat = true;
        want.secFormat = false;
        QCOMPARE(dlg.timerRecord(), want);
        // Filled back from the record it yields the same.
        TimerDlg again(nullptr, false);
        again.setTimerRecord(want);
        again.show();
        QCOMPARE(editorShows(again.ui.get()), mode == "stopwatch" ? "0001" : "1011");
        clock::setFixed(moment); // a stopwatch starts when confirmed
        QCOMPARE(again.timerRecord(), want);
    }
};

TIDRA_TEST_MAIN(TestTimerWindows)
#include "tst_timerwindows.moc"
