// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmDlg.h"
#include "alarms/OtherDelayDlg.h"
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/Contrast.h"
#include "common/HolidayRecord.h"
#include "common/Translations.h"
#include "storage/Autostart.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"
#include "timers/FontsLibrary.h"
#include "timers/TimerDlg.h"
#include "timers/TimerMsgDlg.h"
#include "ui_alarmdialog.h"
#include "ui_holidaydialog.h"
#include "ui_timerdialog.h"
#include "work/VacationDlg.h"

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
    template <typename T = QWidget> T* get(const QString& name)
    {
        return test::child<T>(w.get(), name);
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

    // Hidden, the date page rests; it is right again the moment it shows, not at the next tick.
    void datePageFollowsTheDay()
    {
        clock::setFixed(QDateTime(QDate(2027, 1, 31), QTime(23, 59, 59, 950)));
        start();
        w->showDateTime();
        w->hide();
        clock::advance(100);
        w->showDateTime();
        QCOMPARE(get<QCalendarWidget>("calendar")->selectedDate(), QDate(2027, 2, 1));
        QCOMPARE(get<QTimeEdit>("currentTime")->time(), QTime(0, 0, 0));
    }

    // A sound that cannot be decoded is said under its chooser, a moment after it was chosen.
    void soundNote()
    {
        start();
        test::FakeSoundPlayer player;
        const QString file = TIDRA_SOURCE_DIR "/resources/oldphone.wav";
        player.problems[file] = "Could not open file";
        get<QCheckBox>("alarmPlaySound")->setChecked(true);
        prompts::setOpenFileHandler(
            [file](QWidget*, const QString&, const QString&, const QString&) { return file; });
        QTest::mouseClick(get<QPushButton>("alarmSoundChagngeButton"), Qt::LeftButton);
        prompts::setOpenFileHandler({});
        auto* note = get<QLabel>("alarmSoundNote");
        QTRY_COMPARE(note->text(), "This sound cannot be played: Could not open file.");
        QVERIFY(!note->isHidden());
        reportSoundProblem(file, QString());
    }

    // A click waits out the desktop's double-click interval before its menu.
    void trayClickWaitsForADoubleClick()
    {
        store().setValue("tray/showOnStartUp", false);
        start();
        w->trayIconActivated(QSystemTrayIcon::Trigger);
        auto* delay = get<QTimer>("clickTimer");
        QVERIFY(delay->isActive());
        QCOMPARE(delay->interval(), QGuiApplication::styleHints()->mouseDoubleClickInterval());
    }

    // Every skin's digits stay readable in a dark theme.
    void skinsKeepTheirContrast()
    {
        start();
        QApplication::setPalette(QPalette(QColor(0x353535), QColor(0x353535)));
        const QList<QObject*> skins = loadFontPlugins(TIDRA_BUILD_DIR);
        TimerMsgDlg::setFontPlugins(&skins);
        for (QObject* plugin : skins) {
            appSettings->timerDefaultSkin = fontInterface(plugin)->name();
            TimerMsgDlg timer;
            timer.setTimerRecord(TimerRecord("Tea break", TypeTimer));
            timer.show();
            QVERIFY(QTest::qWaitForWindowExposed(&timer));
            // The skin's ink: the most common solid colour of its digit 8.
            const QImage eight = fontInterface(plugin)->symbolPixmap("8").toImage();
            const double ink =
                contrast::ratio(mostCommon(eight.convertToFormat(QImage::Format_ARGB32), true),
                                mostCommon(timer.grab().toImage()));
            QVERIFY2(ink >= contrast::GraphicMinimum, qPrintable(appSettings->timerDefaultSkin));
        }
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
            w->alarmModel().add(test::once(day, QTime(12, 0), name));
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

    // The settings page stores each change at once, and what its widgets
    // cannot show is repaired by them.
    void settingsAreStoredAtOnce()
    {
        store().setValue("alarms/ShadeTime", 100);
        start();
        QCOMPARE(store().value("alarms/ShadeTime").toString(), "59"); // clamped
        get<QComboBox>("middleClickActionCombo")->setCurrentIndex(3);
        get<QCheckBox>("alarmAlsoNotify")->setChecked(true);
        QCOMPARE(store().value("tray/middleClick").toInt(), 3);
        QVERIFY(store().value("alarms/AlsoNotify").toBool());
        // The box shows and makes the autostart entry, not a stored key.
        get<QCheckBox>("startWithOS")->setChecked(true);
        QVERIFY(Autostart::exists() && appSettings->startWithOS);
        get<QCheckBox>("startWithOS")->setChecked(false);
        QVERIFY(!Autostart::exists() && !appSettings->startWithOS);
    }

    // Every page of the main window, in English and in German (whose texts bring their own
    // mnemonics).
    void formsWorkByKeyboard_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("innerTab");
        QTest::addColumn<QStringList>("followers");
        QTest::addColumn<QString>("locale");
        for (const char* locale : {"C", "de_DE"}) {
            const auto row = [locale](int page, int tab, int inner, QStringList followers = {}) {
                QTest::addRow("page %d %d %d, %s", page, tab, inner, locale)
                    << page << tab << inner << followers << QString(locale);
            };
            for (const int page : {0, 1, 2, 3, 4, 5})
                row(page, 0, 0);
            row(4, 1, 0, {"alarmSoundFile"});
            row(4, 2, 0, {"timerSoundFile"});
            row(4, 3, 1);
            row(4, 4, 0);
        }
    }
    void formsWorkByKeyboard()
    {
        QFETCH(int, page);
        QFETCH(int, tab);
        QFETCH(int, innerTab);
        QFETCH(QStringList, followers);
        QFETCH(QString, locale);
        installTranslations(QLocale(locale));
        start();
        // Sound choosers are offered as they are when sounds are on.
        get<QCheckBox>("alarmPlaySound")->setChecked(true);
        get<QCheckBox>("timerPlaySound")->setChecked(true);
        w->showPage(page);
        get<QTabWidget>("tabWidget")->setCurrentIndex(tab);
        get<QTabWidget>("tabWidget_2")->setCurrentIndex(innerTab);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QStringList problems = test::keyboardProblems(w.get(), followers);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("; ")));
    }

    // The editors too, in each state that shows other fields.
    void editorsWorkByKeyboard_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<int>("choice"); // alarm: repeat mode; timer: type; holiday: type
        QTest::addColumn<QStringList>("followers");
        QTest::addColumn<QString>("locale");
        for (const char* locale : {"C", "de_DE"}) {
            const auto row = [locale](const char* editor, int choice, QStringList followers = {}) {
                QTest::addRow("%s %d, %s", editor, choice, locale)
                    << QString(editor) << choice << followers << QString(locale);
            };
            row("alarm", 1, {"repeatRange"});
            row("alarm", 2);
            row("timer", 0);
            row("timer", 1);
            row("holiday", 1);
            row("delay", 0);
        }
    }
    void editorsWorkByKeyboard()
    {
        QFETCH(QString, editor);
        QFETCH(int, choice);
        QFETCH(QStringList, followers);
        QFETCH(QString, locale);
        installTranslations(QLocale(locale));
        std::unique_ptr<QDialog> shown;
        if (editor == "alarm") {
            auto* alarm = new AlarmDlg;
            alarm->ui->alarmMode->setCurrentIndex(choice);
            shown.reset(alarm);
        } else if (editor == "timer") {
            auto* timer = new TimerDlg(nullptr, false);
            timer->ui->timerType->setCurrentIndex(choice);
            shown.reset(timer);
        } else if (editor == "holiday") {
            auto* holiday = new VacationDlg;
            holiday->ui->holidayTypeCombo->setCurrentIndex(choice);
            shown.reset(holiday);
        } else {
            shown = std::make_unique<OtherDelayDlg>();
        }
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
        const QStringList problems = test::keyboardProblems(shown.get(), followers);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("; ")));
    }

    // The page strip opens at its top with its first two entries whole, on its last page
    // and in a large font too.
    void stripShowsWholeEntries()
    {
        const QFont font = QApplication::font();
        const auto restore = qScopeGuard([font] { QApplication::setFont(font); });
        QApplication::setFont(QFont(font.family(), 14));
        installTranslations(QLocale("de_DE")); // the longest captions
        start();
        w->showPage(5);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto* strip = get<QListWidget>("mainList");
        for (const int row : {0, 1})
            QVERIFY(strip->viewport()->rect().contains(strip->visualItemRect(strip->item(row))));
    }
};

TIDRA_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
