// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmDlg.h"
#include "alarms/AlarmMsgDlg.h"
#include "alarms/OtherDelayDlg.h"
#include "app/CommandLine.h"
#include "app/InstanceCommands.h"
#include "app/MainSettingsDlg.h"
#include "app/ShutdownSignals.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/Contrast.h"
#include "common/HolidayRecord.h"
#include "common/LocaleFormat.h"
#include "common/Translations.h"
#include "storage/Autostart.h"
#include "tests/common/TestSupport.h"
#include "timers/FontPluginInterface.h"
#include "timers/FontsLibrary.h"
#include "timers/TimerDlg.h"
#include "timers/TimerMsgDlg.h"
#include "ui_alarmdialog.h"
#include "ui_alarmmsgdialog2.h"
#include "ui_holidaydialog.h"
#include "ui_maindialog.h"
#include "ui_timerdialog.h"
#include "ui_timermsgdialog.h"
#include "work/VacationDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleHints>
#include <csignal>
#include <map>
#include <memory>

using namespace td;
using td::test::store;

namespace {

// The colour covering most of an image (of its opaque pixels only when
// `solid`): the ground text is drawn on, or a skin's ink.
QRgb mostCommon(const QImage& image, bool solid = false)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!solid || qAlpha(image.pixel(x, y)) == 255)
                ++counts[image.pixel(x, y) | 0xff000000];
    return std::max_element(counts.begin(), counts.end(),
                            [](auto a, auto b) { return a.second < b.second; })
        ->first;
}

// The contrast of the text in `area` (coordinates of `part`) of a shown window:
// its strongest pixel against its ground. Antialiasing only softens edges, so
// text in a readable colour always reaches that colour's full contrast.
double textContrast(QWidget* part, QRect area = {})
{
    QWidget* window = part->window();
    area = area.isNull() ? part->rect() : area;
    const QImage shot = window->grab().toImage();
    const qreal dpr = shot.devicePixelRatio();
    const QRect local(part->mapTo(window, area.topLeft()), area.size());
    const QImage crop = shot.copy(QRect((local.topLeft() * dpr), local.size() * dpr));
    const QRgb ground = mostCommon(crop);
    double best = 1;
    for (int y = 0; y < crop.height(); ++y)
        for (int x = 0; x < crop.width(); ++x)
            best = std::max(best, contrast::ratio(crop.pixel(x, y), ground));
    return best;
}

TimerMsgDlg* timerWindow(MainSettingsDlg* main, const QString& name)
{
    auto* timer = new TimerMsgDlg(main);
    TimerRecord r;
    r.name = name;
    timer->setTimerRecord(r);
    return timer;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainSettingsDlg> w;

    void start()
    {
        w.reset(); // one main window at a time
        w = std::make_unique<MainSettingsDlg>();
    }
    template <typename T = QWidget> T* get(const QString& name) { return w->findChild<T*>(name); }
    // Hidden on start, with the work windows the row names only; with no
    // working day either, no work window counts down hidden to its end.
    static void quiet(const QString& windows = "", bool workDays = false)
    {
        store().setValue("tray/showOnStartUp", false);
        for (const char* what : {"Lunch", "EndDay", "Holiday", "Vacation"})
            store().setValue(QString("work/TimeTo%1").arg(what), windows.contains(what));
        for (const char* day : {"Mon", "Tue", "Wed", "Thu", "Fri"})
            store().setValue(QString("work/%1Enable").arg(day), workDays);
    }
    AlarmMsgDlg* addAlarm(const QString& name, const QDateTime& at = {})
    {
        AlarmRecord r;
        r.name = name;
        r.enabled = at.isValid();
        r.date = at.date();
        r.time = at.time();
        auto* popup = new AlarmMsgDlg(r, w.get());
        w->adoptAlarm(popup, true);
        return popup;
    }

private slots:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create("Fusion")); }
    void init() { test::clearUserData(); }
    void cleanup()
    {
        w.reset();
        clock::reset();
        QApplication::setPalette(QApplication::style()->standardPalette());
        installTranslations(QLocale::c());
    }

    void datePageFollowsTheDay()
    {
        clock::setFixed(QDateTime(QDate(2027, 1, 31), QTime(23, 59, 59, 950)));
        start();
        w->showDateTime();
        clock::advance(100); // midnight, new month
        w->updateMainTimer();
        QCOMPARE(w->ui->calendar->selectedDate(), QDate(2027, 2, 1));
        QCOMPARE(w->ui->calendar->monthShown(), 2);
        // Hidden, the page rests; it is right again the moment it shows.
        w->hide();
        clock::advance(24 * 3600 * 1000);
        w->showDateTime();
        QCOMPARE(w->ui->calendar->selectedDate(), QDate(2027, 2, 2));
        QCOMPARE(w->ui->currentTime->time(), QTime(0, 0, 0)); // at once, not a tick later
    }

    // Each kind of deadline wins once; the main tick sleeps until it. On a
    // Monday in winter; the default timetable works 9:00 to 18:00, lunch at 13:00.
    void wakesForTheNextChange_data()
    {
        // setup | now | what the tick waits for | when
        test::addRows(R"(
nothing pending | | 10:00 | Nothing
alarm, one ms past its moment | alarm 10:01:30 | 10:00 | Alarm | 10:01:30.001
reminder before the next occurrence | alarm 09:00:00, put off | 10:00 | Reminder | 10:05:00.001
date page: the next second | date page | 10:00:07.420 | Second | 10:00:08
lunch window goes at lunch | Lunch | 12:59:30 | WorkWindow | 13:00
holiday window follows the date | Holiday | 20:00 | Midnight | 24:00
)");
    }
    void wakesForTheNextChange()
    {
        QFETCH(QStringList, f);
        const QString setup = f[0];
        const QDateTime now = test::at("2027-01-04 " + f[1]);
        const int reason =
            QString("Nothing Alarm Reminder Second WorkWindow Midnight").split(' ').indexOf(f[2]);
        quiet(setup, reason != 0);
        test::FakeSoundPlayer sound;
        clock::setFixed(now);
        start();
        wallclock::runDue(); // the first tick
        if (setup.startsWith("alarm"))
            addAlarm("Alarm", QDateTime(now.date(), QTime::fromString(setup.mid(6, 8))));
        if (setup == "date page")
            w->showDateTime();
        // Whatever changed asks for a tick at once, which arms the next wake.
        if (setup.startsWith("alarm") || setup == "date page")
            QVERIFY(w->mainTimer->isActive() &&
                    w->mainTimer->deadline() <= now.toMSecsSinceEpoch());
        wallclock::runDue();
        if (setup.endsWith("put off")) {
            QVERIFY(w->alarms.first()->isVisible()); // it rang; now put off
            w->alarms.first()->addDelay5min();
            wallclock::runDue();
        }
        const wake::Wake next = w->nextMainWake();
        QCOMPARE(int(next.reason), reason);
        if (reason == 0) { // no timer of ours at all
            QCOMPARE(wallclock::armedDelay(), qint64(-1));
        } else {
            QCOMPARE(QDateTime::fromMSecsSinceEpoch(next.at), test::at("2027-01-04 " + f[3]));
            QCOMPARE(w->mainTimer->deadline(), next.at);
        }
    }

    // A change of the clock (set by hand, a resume) wakes the tick at once:
    // three alarms jumped over fire once each, however often it is told.
    void clockJumpFiresEachOnce()
    {
        quiet();
        const auto monday = [](const char* time) {
            return test::at(QString("2027-01-04 ") + time);
        };
        test::FakeSoundPlayer sound;
        clock::setFixed(monday("10:00"));
        start();
        appSettings->alarmPlaySound = true;
        appSettings->alarmSoundFileName = TIDRA_SOURCE_DIR "/resources/oldphone.wav";
        for (const char* time : {"10:10", "10:20", "10:30"})
            addAlarm("Nap", monday(time));
        AlarmMsgDlg* later = addAlarm("Later", monday("11:00:30"));
        wallclock::runDue();
        QCOMPARE(w->mainTimer->deadline(), monday("10:10").toMSecsSinceEpoch() + 1);
        clock::setFixed(monday("11:00"));
        wallclock::clockChanged();
        wallclock::clockChanged();
        QCOMPARE(sound.played.size(), qsizetype(1)); // one sound for all that ring together
        for (int i = 0; i < 3; ++i)
            QVERIFY(!w->alarms.at(i)->alarmEnabled() && w->alarms.at(i)->isVisible());
        QVERIFY(later->alarmEnabled() && !later->isVisible());
        QCOMPARE(wallclock::armedDelay(), qint64(30001));
        // Back by ten seconds: the same moment, now further off.
        clock::setFixed(monday("10:59:50"));
        wallclock::clockChanged();
        QCOMPARE(w->mainTimer->deadline(), monday("11:00:30").toMSecsSinceEpoch() + 1);
        QCOMPARE(wallclock::armedDelay(), qint64(40001));
    }

    // The settings page stores each change at once, and what its widgets
    // cannot show is repaired by them.
    void settingsAreStoredAtOnce()
    {
        store().setValue("alarms/ShadeTime", 100);
        store().setValue("work/TueLunchEndTime", "half past");
        start();
        QCOMPARE(store().value("alarms/ShadeTime").toString(), "59");        // clamped
        QCOMPARE(store().value("work/TueLunchEndTime").toString(), "14:00"); // the form's
        w->ui->middleClickActionCombo->setCurrentIndex(3);
        w->ui->dayThuBeginLunch->setTime(QTime(12, 30));
        w->ui->alarmAlsoNotify->setChecked(true);
        QCOMPARE(store().value("tray/middleClick").toInt(), 3);
        QCOMPARE(store().value("work/ThuLunchBeginTime").toString(), QString("12:30"));
        QVERIFY(store().value("alarms/AlsoNotify").toBool());
        // The box shows and makes the autostart entry, not a stored key.
        w->ui->startWithOS->setChecked(true);
        QVERIFY(Autostart::exists() && appSettings->startWithOS);
        w->ui->startWithOS->setChecked(false);
        QVERIFY(!Autostart::exists() && !appSettings->startWithOS);
        w.reset();
        QVERIFY(Autostart::write("/usr/bin/tidra"));
        start();
        QVERIFY(w->ui->startWithOS->isChecked());
    }

    void commandsOfTheRunningProgram()
    {
        start();
        clock::setFixed(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 20)));
        const auto run = [this](const QStringList& words) {
            const protocol::Reply r = runInstanceCommand(*w, {words[0], words.mid(1)});
            return QString::number(r.code) + ' ' + r.out + r.err;
        };
        QCOMPARE(run({"alarm", "+25m", "Tea\tbreak"}),
                 "0 Alarm \"Tea\tbreak\" is set for 2026-12-07 10:25.\n");
        QCOMPARE(run({"timer", "90s", "Egg"}),
                 "0 Timer \"Egg\" counts down to 2026-12-07 10:01:50.\n");
        QCOMPARE(run({"alarm", "2026-12-07 09:00"}), "1 Alarm can not be placed in the past.");
        QCOMPARE(run({"timer", "1m", "Rice"}),
                 "0 Timer \"Rice\" counts down to 2026-12-07 10:01:20.\n");
        w->timerWindow(w->timerModel().ids().first())->hide();
        w->timerModel().stop(w->timerModel().ids().last());
        QCOMPARE(run({"list"}), "0 alarm\tTea\\tbreak\t2026-12-07 10:25\tPlay once\n"
                                "timer\tEgg\tcounting down\t2026-12-07 10:01:50\thidden\n"
                                "timer\tRice\tfinished\t2026-12-07 10:00:20\tshown\n");
        QCOMPARE(run({"show", "timers"}), "0 ");
        QVERIFY(w->isVisible() && w->ui->stack->currentIndex() == 2);
    }

    void soundChoosersAndNotes_data()
    {
        // chooser | file ("ok": one that plays) | what opening it says, or "off" | the note
        test::addRows(R"(
missing | timer | /nonexistent/ring.ogg | | the file does not exist.
cannot be decoded | alarm | ok | Could not open file | Could not open file.
sound off: no note | alarm | /nonexistent/ring.ogg | off |
)");
    }
    void soundChoosersAndNotes()
    {
        QFETCH(QStringList, f);
        const QString which = f[0], problem = f[2], note = f[3];
        const QString file = f[1] == "ok" ? TIDRA_SOURCE_DIR "/resources/oldphone.wav" : f[1];
        start();
        test::FakeSoundPlayer player;
        player.problems[file] = problem;
        auto* label = get<QLabel>(which + "SoundNote");
        get<QCheckBox>(which + "PlaySound")->setChecked(true);
        prompts::setOpenFileHandler(
            [&file](QWidget*, const QString&, const QString&, const QString&) { return file; });
        QTest::mouseClick(get<QPushButton>(which + "SoundChagngeButton"), Qt::LeftButton);
        QCOMPARE(store().value(which + "s/SoundFileName").toString(), file);
        get<QCheckBox>(which + "PlaySound")->setChecked(problem != "off");
        // A sound that looks right is opened a moment after it was chosen.
        QTRY_COMPARE(label->text(), note.isEmpty() ? note : "This sound cannot be played: " + note);
        QCOMPARE(label->isHidden(), note.isEmpty());
        QCOMPARE(player.played, QStringList());
        reportSoundProblem(file, QString());
    }

    // Mostly one or two double clicks in a platform's order of reports, then
    // (from 2000 ms) one ordinary click that must act. Steps at their
    // milliseconds: "T" Trigger, "D" DoubleClick, "C" Context, "M" MiddleClick,
    // "F" the single-click delay running out (only while it runs).
    void trayClicks_data()
    {
        // script | the middle click's action code (none: the defaults) | fast-actions
        // menus | main menus | the settings window shown
        test::addRows(R"(
single click acts after the delay | T0 F400 | 5 | 1 | 0 | 0
trigger, double, trigger | T0 D250 T260 F400 | 5 | 0 | 1 | 0
trigger, double; then a click | T0 D250 T2000 F2400 | 5 | 1 | 1 | 0
trigger, trigger, double; then a click | T0 T250 D250 F650 T2000 F2400 | 5 | 1 | 1 | 0
double alone; then a click | D0 T2000 F2400 | 5 | 1 | 1 | 0
double reported twice | T0 D250 D260 T270 F700 | 5 | 0 | 1 | 0
two double clicks in a row | T0 D200 T1000 D1200 T2000 F2400 | 5 | 1 | 2 | 0
two double clicks, release reports | T0 D200 T210 T1000 D1200 T1210 F1700 | 5 | 0 | 2 | 0
a third click right after belongs to the double click | T0 D200 T300 F700 | 5 | 0 | 1 | 0
slow second click: two singles | T0 F400 D500 T550 F950 | 5 | 2 | 0 | 0
second trigger restarts the delay | T0 T300 F700 | 5 | 1 | 0 | 0
context menu: the main menu at once | C0 | 5 | 0 | 1 | 0
middle: settings at once | M0 | 2 | 0 | 0 | 1
middle: negative code | M0 | -1 | 0 | 0 | 0
defaults: a double click opens the settings | T0 D300 T310 F400 | | 0 | 0 | 1
)");
    }
    void trayClicks()
    {
        QFETCH(QStringList, f);
        quiet();
        clock::setFixed(QDateTime(QDate(2026, 5, 6), QTime(9, 0)));
        start();
        if (!f[1].isEmpty()) {
            appSettings->doubleClick = ShowMainMenu;
            appSettings->middleClick = f[1].toInt();
        }
        QSignalSpy fast(w->fastMenu, &QMenu::aboutToShow);
        QSignalSpy main(w->mainMenu, &QMenu::aboutToShow);
        const QDateTime begin = now();
        for (const QString& step : f[0].split(' ')) {
            clock::setFixed(begin.addMSecs(step.mid(1).toInt()));
            if (step[0] != 'F')
                w->trayIconActivated(
                    QSystemTrayIcon::ActivationReason(QString(" CDTM").indexOf(step[0])));
            else if (w->clickTimer->isActive())
                w->singliLeftClick();
            // The single-click delay is the desktop's double-click interval.
            QVERIFY(!w->clickTimer->isActive() ||
                    w->clickTimer->interval() ==
                        QGuiApplication::styleHints()->mouseDoubleClickInterval());
            w->mainMenu->hide();
            w->fastMenu->hide();
        }
        QCOMPARE(QStringList({QString::number(fast.count()), QString::number(main.count()),
                              QString::number(w->isVisible())}),
                 f.mid(2));
        QVERIFY(!w->clickTimer->isActive());
        QVERIFY(!w->isVisible() || w->ui->stack->currentIndex() == 4);
    }

    // The colours we work out stay readable in a light and a dark theme: the
    // selected caption of the page strip, and every skin's digits on a timer
    // window's ground.
    void textsKeepTheirContrast()
    {
        for (const bool dark : {false, true}) {
            if (dark) // as desktop themes commonly give Qt programs
                QApplication::setPalette(QPalette(QColor(0x353535), QColor(0x353535)));
            start();
            w->showPage(2);
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            // The middle of the caption's first line, below the icon, on the selection.
            QListWidget* strip = w->ui->mainList;
            const QRect item = strip->visualItemRect(strip->currentItem());
            const double text = textContrast(
                strip->viewport(),
                QRect(item.left() + item.width() / 4, item.top() + strip->iconSize().height() + 4,
                      item.width() / 2, strip->fontMetrics().lineSpacing() * 85 / 100));
            QVERIFY2(text >= contrast::TextMinimum, qPrintable(QString::number(text)));
            w->fontPlugins = loadFontPlugins(TIDRA_BUILD_DIR);
            for (QObject* plugin : std::as_const(w->fontPlugins)) {
                appSettings->timerDefaultSkin = fontInterface(plugin)->name();
                auto* timer = timerWindow(w.get(), "Tea break");
                timer->show();
                QVERIFY(QTest::qWaitForWindowExposed(timer));
                // The skin's ink: the most common solid colour of its digit 8.
                const QImage eight = fontInterface(plugin)->symbolPixmap("8").toImage();
                const double ink =
                    contrast::ratio(mostCommon(eight.convertToFormat(QImage::Format_ARGB32), true),
                                    mostCommon(timer->grab().toImage()));
                QVERIFY2(ink >= contrast::GraphicMinimum,
                         qPrintable(appSettings->timerDefaultSkin + QString(": %1").arg(ink)));
            }
        }
    }

    // A text of ours in German; dates and time edits follow the locale.
    void translatedTexts_data()
    {
        test::addRows(R"(
page strip | de_DE | Wecker
alarm date | de_DE | Mi. 09.12.26 16:15
time edit  | en_US | h:mm AP)");
    }
    void translatedTexts()
    {
        QFETCH(QStringList, f);
        installTranslations(QLocale(f[0]));
        start();
        addAlarm("Dentist", QDateTime(QDate(2026, 12, 9), QTime(16, 15)));
        const QString row = QTest::currentDataTag();
        QCOMPARE(row == "page strip" ? w->ui->mainList->item(1)->text()
                 : row == "alarm date"
                     ? w->ui->alarmDateLabel->text() + " " + w->ui->alarmTimeLabel->text()
                     : AlarmDlg().ui->alarmTime->displayFormat(),
                 f[1]);
    }

    // Return edits the current row, Delete deletes it; the keys stay with the list.
    void listKeys_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("left"); // whether an editor opened, the rows left
        for (const char* list : {"alarmsList", "timersList", "holidaysList"}) {
            auto row = [list](const char* what, int row, int key, int modifiers, const char* left) {
                QTest::addRow("%s: %s", list, what) << list << row << key << modifiers << left;
            };
            row("Return edits", 1, Qt::Key_Return, 0, "edits one two three");
            row("keypad Enter edits", 2, Qt::Key_Enter, Qt::KeypadModifier, "edits one two three");
            row("Delete deletes", 1, Qt::Key_Delete, 0, "one three");
            row("Ctrl+Delete is not ours", 1, Qt::Key_Delete, Qt::ControlModifier, "one two three");
        }
    }
    void listKeys()
    {
        QFETCH(QString, list);
        QFETCH(int, row);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        start();
        appSettings->holidays.clear();
        const QDate day(2030, 1, 1);
        for (const QString name : {"one", "two", "three"}) {
            addAlarm(name);
            w->timerModel().add({TimerRecord(name, TypeTimer), TimerState::Finished, false, {}});
            appSettings->holidays << HolidayRecord{name, TypeHoliday, day, day};
        }
        w->updateHolidays();
        auto* view = w->findChild<QAbstractItemView*>(list);
        view->setCurrentIndex(row < 0 ? QModelIndex() : view->model()->index(row, 0));
        QString edited;
        test::whenModal([&edited](QWidget* modal) {
            edited = "edits ";
            modal->close();
        });
        QTest::keyClick(view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(w->isVisible()); // the window's default button was not pressed
        for (int r = 0; r < view->model()->rowCount(); ++r)
            edited += view->model()->index(r, list == "holidaysList").data().toString() + ' ';
        QTEST(edited.trimmed(), "left");
    }

    // Every window and state, in English and in German (whose texts bring their
    // own mnemonics).
    void formsWorkByKeyboard_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("followers");
        QTest::addColumn<QString>("locale");
        // "kind choices" as formsWorkByKeyboard() opens it, ":" the fields that follow another.
        for (const QString& row :
             QStringLiteral(
                 "alarm 0,alarm 1:repeatRange,alarm 2,timer 0 0 0,timer 0 1 1,timer 1 0 1,"
                 "holiday 0,holiday 1,delay,fonts,page 0 0 0,page 1 0 0,page 2 0 0,"
                 "page 3 0 0,page 4 0 0,page 4 1 0:alarmSoundFile,"
                 "page 4 2 0:timerSoundFile,page 4 3 0,page 4 3 1,page 5")
                 .split(','))
            for (const char* locale : {"C", "de_DE"})
                QTest::addRow("%s, %s", qPrintable(row), locale)
                    << row.section(':', 0, 0) << row.section(':', 1) << locale;
    }
    void formsWorkByKeyboard()
    {
        QFETCH(QString, state);
        QFETCH(QString, followers);
        QFETCH(QString, locale);
        installTranslations(QLocale(locale));
        start();
        // Sound choosers are offered as they are when sounds are on.
        w->ui->alarmPlaySound->setChecked(true);
        w->ui->timerPlaySound->setChecked(true);
        const QStringList a = state.split(' ');
        auto arg = [&a](int i) { return a.value(i).toInt(); };
        std::unique_ptr<QWidget> owned;
        if (a[0] == "alarm") {
            auto* editor = new AlarmDlg;
            editor->ui->alarmMode->setCurrentIndex(arg(1));
            owned.reset(editor);
        } else if (a[0] == "timer") {
            auto* editor = new TimerDlg(nullptr, false);
            (arg(1) ? editor->ui->modeStopwatch : editor->ui->modeTimer)->setChecked(true);
            editor->ui->timerType->setCurrentIndex(arg(2));
            editor->ui->formatCustom->setChecked(arg(3));
            owned.reset(editor);
        } else if (a[0] == "holiday") {
            auto* editor = new VacationDlg;
            editor->ui->holidayTypeCombo->setCurrentIndex(arg(1));
            owned.reset(editor);
        } else if (a[0] == "delay") {
            owned.reset(new OtherDelayDlg);
        } else if (a[0] == "fonts") {
            owned.reset(new FontsLibrary(loadFontPlugins(TIDRA_BUILD_DIR), QString()));
        } else {
            w->showPage(arg(1));
            w->ui->tabWidget->setCurrentIndex(arg(2));
            w->ui->tabWidget_2->setCurrentIndex(arg(3));
        }
        QWidget* window = owned ? owned.get() : w.get();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // On a page of the main window, reading order is that of the page.
        const QStringList problems =
            test::keyboardProblems(window, owned ? nullptr : w->ui->stack->currentWidget(),
                                   followers.split(' ', Qt::SkipEmptyParts));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("; ")));
    }
};

TIDRA_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
