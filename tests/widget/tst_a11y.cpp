#include "alarms/AlarmDlg.h"
#include "alarms/AlarmMsgDlg.h"
#include "alarms/OtherDelayDlg.h"
#include "app/AppSettings.h"
#include "app/CommandLine.h"
#include "app/Contrast.h"
#include "app/InstanceProtocol.h"
#include "app/LocaleFormat.h"
#include "app/MainSettingsDlg.h"
#include "app/Translations.h"
#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
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
#include "work/HolidayRecord.h"
#include "work/VacationDlg.h"

#include <QDialogButtonBox>
#include <QMenu>
#include <QPushButton>

#include <QStyleFactory>
#include <map>
#include <memory>

using namespace td;

namespace {

QPalette lightPalette()
{
    return QStyleFactory::create(QStringLiteral("Fusion"))->standardPalette();
}

// The dark Fusion palette desktop themes commonly give Qt programs.
QPalette darkPalette()
{
    QPalette p;
    const QColor window(53, 53, 53), base(42, 42, 42), text(Qt::white);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
    p.setColor(QPalette::ToolTipBase, window);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Link, QColor(42, 130, 218));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::Light, QColor(80, 80, 80));
    p.setColor(QPalette::Midlight, QColor(66, 66, 66));
    p.setColor(QPalette::Dark, QColor(35, 35, 35));
    p.setColor(QPalette::Mid, QColor(44, 44, 44));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::PlaceholderText, QColor(160, 160, 160));
    return p;
}

// The colour covering most of an image: the ground text is drawn on.
QRgb groundOf(const QImage& image)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
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
    if (area.isNull())
        area = part->rect();
    const QImage shot = window->grab().toImage();
    const qreal dpr = shot.devicePixelRatio();
    const QRect local(part->mapTo(window, area.topLeft()), area.size());
    const QImage crop = shot.copy(QRect((local.topLeft() * dpr), local.size() * dpr));
    const QRgb ground = groundOf(crop);
    double best = 1;
    for (int y = 0; y < crop.height(); ++y)
        for (int x = 0; x < crop.width(); ++x)
            best = std::max(best, contrast::ratio(crop.pixel(x, y), ground));
    return best;
}

} // namespace

// Puts a window into one of its states and returns the widget whose children
// must be in reading order (nullptr: the whole window).
using Setup = std::function<QWidget*(QWidget*&)>;
Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(std::function<QString()>)

class TestA11y : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainSettingsDlg> w;

    void usePalette(bool dark) { QApplication::setPalette(dark ? darkPalette() : lightPalette()); }

private slots:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create("Fusion")); }
    void init() { test::clearUserData(); }
    void cleanup()
    {
        w.reset();
        QApplication::setPalette(lightPalette());
        installTranslations(QLocale::c());
    }

    // Every text we colour stays readable in a light and a dark theme.
    void textsKeepTheirContrast_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("part");
        const QStringList parts = {"popup name",     "popup message",          "timer caption",
                                   "strip captions", "strip selected caption", "about version",
                                   "about credit"};
        for (bool dark : {false, true})
            for (const QString& part : parts)
                QTest::addRow("%s, %s", qPrintable(part), dark ? "dark" : "light") << dark << part;
    }
    void textsKeepTheirContrast()
    {
        QFETCH(bool, dark);
        QFETCH(QString, part);
        usePalette(dark);
        w = std::make_unique<MainSettingsDlg>();
        QList<double> ratios;
        if (part.startsWith("popup")) {
            AlarmRecord r;
            r.name = "Stand-up";
            r.message = "Bring the notes";
            auto* popup = new AlarmMsgDlg(r, w.get());
            popup->showAlarm();
            QVERIFY(QTest::qWaitForWindowExposed(popup));
            ratios << textContrast(part.endsWith("name") ? popup->ui->nameLabel
                                                         : popup->ui->textLabel);
        } else if (part.startsWith("timer")) {
            auto* timer = new TimerMsgDlg(w.get());
            TimerRecord r;
            r.name = "Tea break";
            timer->setTimerRecord(r);
            timer->show();
            QVERIFY(QTest::qWaitForWindowExposed(timer));
            ratios << textContrast(timer->ui->nameLabel);
        } else if (part.startsWith("strip")) {
            w->showPage(part.contains("selected") ? 2 : -1);
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            QListWidget* strip = w->ui->mainList;
            for (int row = 0; row < strip->count(); ++row) {
                const QRect item = strip->visualItemRect(strip->item(row));
                if (!strip->viewport()->rect().contains(item) ||
                    part.contains("selected") != (row == 2))
                    continue;
                // The middle of the caption's first line, below the icon: a
                // selected caption's ground is the selection drawn behind it.
                const int top = item.top() + strip->iconSize().height() + 4;
                const int line = strip->fontMetrics().lineSpacing() * 85 / 100;
                ratios << textContrast(strip->viewport(), QRect(item.left() + item.width() / 4, top,
                                                                item.width() / 2, line));
            }
            QVERIFY(!ratios.isEmpty());
        } else {
            w->showAbout();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            ratios << textContrast(part.endsWith("version") ? w->ui->versionLabel
                                                            : w->ui->label_18);
        }
        for (double ratio : ratios)
            QVERIFY2(ratio >= contrast::TextMinimum, qPrintable(QString::number(ratio)));
    }

    // Skins draw their digits in their own colours; the timer window's ground
    // must let them stand out whatever the theme.
    void skinsStandOutOnTheirWindow_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("skin");
        static const QList<QObject*> skins = loadFontPlugins(TIDRA_BUILD_DIR);
        QVERIFY(!skins.isEmpty());
        for (bool dark : {false, true})
            for (QObject* plugin : skins) {
                const QString name = fontInterface(plugin)->name();
                QTest::addRow("%s, %s", qPrintable(name), dark ? "dark" : "light") << dark << name;
            }
    }
    void skinsStandOutOnTheirWindow()
    {
        QFETCH(bool, dark);
        QFETCH(QString, skin);
        usePalette(dark);
        w = std::make_unique<MainSettingsDlg>();
        w->fontPlugins = loadFontPlugins(TIDRA_BUILD_DIR);
        appSettings->timerDefaultSkin = skin;
        auto* timer = new TimerMsgDlg(w.get());
        TimerRecord r;
        r.name = "Tea break";
        timer->setTimerRecord(r);
        timer->show();
        QVERIFY(QTest::qWaitForWindowExposed(timer));
        // The skin's ink: the most common solid colour of its digit 8.
        const QImage eight = findFontPlugin(w->fontPlugins, skin)
                                 ->symbolPixmap(QStringLiteral("8"))
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32);
        std::map<QRgb, int> solid;
        for (int y = 0; y < eight.height(); ++y)
            for (int x = 0; x < eight.width(); ++x)
                if (qAlpha(eight.pixel(x, y)) == 255)
                    ++solid[eight.pixel(x, y)];
        QVERIFY(!solid.empty());
        const QRgb ink = std::max_element(solid.begin(), solid.end(), [](auto a, auto b) {
                             return a.second < b.second;
                         })->first;
        const QRgb ground = groundOf(timer->grab().toImage());
        QVERIFY2(contrast::ratio(ink, ground) >= contrast::GraphicMinimum,
                 qPrintable(QString::number(contrast::ratio(ink, ground))));
        QVERIFY(textContrast(timer->ui->nameLabel) >= contrast::TextMinimum);
    }

    // A few texts in German, ours and Qt's own; dates and time edits follow the locale.
    void translatedTexts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<std::function<QString()>>("text");
        QTest::addColumn<QString>("expected");
        auto ui = [this] { return w->ui; };
        QTest::newRow("page strip")
            << "de_DE" << std::function<QString()>([ui] { return ui()->mainList->item(1)->text(); })
            << "Wecker";
        QTest::newRow("tray entry")
            << "de_DE" << std::function<QString()>([this] { return w->alarmPopupsAction->text(); })
            << "Wecker-Fenster zeigen";
        QTest::newRow("label with mnemonic")
            << "de_DE" << std::function<QString()>([ui] { return ui()->leftClickLabel->text(); })
            << "Bei &Linksklick";
        auto every = [](int n, int unit) {
            return std::function<QString()>([=] {
                AlarmRecord r;
                r.enabled = true;
                r.repeatMode = RepeatEvery;
                r.repeatRange = n;
                r.repeatMeasure = unit;
                return repeatDescription(r);
            });
        };
        QTest::newRow("one hour") << "de_DE" << every(1, Hours) << "Jede Stunde wiederholen";
        QTest::newRow("five hours") << "de_DE" << every(5, Hours) << "Alle 5 Stunden wiederholen";
        QTest::newRow("English singular") << "C" << every(1, Hours) << "Repeat every 1 Hour";
        QTest::newRow("English plural") << "en_US" << every(2, Years) << "Repeat every 2 Years";
        QTest::newRow("weekdays") << "de_DE" << std::function<QString()>([] {
            AlarmRecord r;
            r.enabled = true;
            r.repeatMode = RepeatDayOfWeek;
            r.days[0] = r.days[1] = r.days[2] = true;
            return repeatDescription(r);
        }) << "Jeden Sonntag, Montag und Dienstag wiederholen";
        QTest::newRow("Qt's own button") << "de_DE" << std::function<QString()>([] {
            QDialogButtonBox box(QDialogButtonBox::Cancel);
            return box.button(QDialogButtonBox::Cancel)->text();
        }) << "Abbrechen";
        // Texts of the command line and of the commands the running program answers.
        QTest::newRow("command line help") << "de_DE" << std::function<QString()>([] {
            const QString help = cli::helpText();
            return help.mid(help.indexOf("--help"), 60).simplified().section('.', 0, 0);
        }) << "--help Diese Hilfe ausgeben und beenden";
        QTest::newRow("command refused") << "de_DE" << std::function<QString()>([this] {
            return protocol::checkArguments({protocol::command::show, {"nowhere"}})
                .section(';', 0, 0);
        }) << "Es gibt keine Seite „nowhere“";
        auto details = [this] {
            AlarmRecord r;
            r.name = "Dentist";
            r.date = QDate(2026, 12, 9);
            r.time = QTime(16, 15);
            w->adoptAlarm(new AlarmMsgDlg(r, w.get()), true);
            return w->ui->alarmDateLabel->text() + " " + w->ui->alarmTimeLabel->text();
        };
        QTest::newRow("alarm date, German")
            << "de_DE" << std::function<QString()>(details) << "Mi. 09.12.26 16:15";
        QTest::newRow("alarm date, English")
            << "en_US" << std::function<QString()>(details) << "Wed 09 Dec 2026 16:15";
        auto moment = [](const char* pattern) {
            return std::function<QString()>([pattern] {
                return readableDateTime(QDateTime(QDate(2026, 12, 9), QTime(16, 15)), pattern);
            });
        };
        QTest::newRow("time first, German")
            << "de_DE" << moment("hh:mm ddd dd MMM yyyy") << "16:15 Mi. 09.12.26";
        QTest::newRow("date first, German")
            << "de_DE" << moment("MM.dd.yyyy hh:mm") << "09.12.26 16:15";
        QTest::newRow("date first, British")
            << "en_GB" << moment("MM.dd.yyyy hh:mm") << "12.09.2026 16:15";
        auto timeEdit = [] {
            AlarmDlg editor;
            return editor.ui->alarmTime->displayFormat();
        };
        QTest::newRow("time edit, US")
            << "en_US" << std::function<QString()>(timeEdit) << "h:mm AP";
        QTest::newRow("time edit, German")
            << "de_DE" << std::function<QString()>(timeEdit) << "HH:mm";
        QTest::newRow("time edit, C") << "C" << std::function<QString()>(timeEdit) << "H:mm";
    }
    void translatedTexts()
    {
        QFETCH(QString, locale);
        QFETCH(std::function<QString()>, text);
        QFETCH(QString, expected);
        installTranslations(QLocale(locale));
        w = std::make_unique<MainSettingsDlg>();
        QCOMPARE(text(), expected);
    }

    void listKeys_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("edits");
        QTest::addColumn<int>("rowsLeft");
        for (const char* list : {"alarmsList", "timersList", "holidaysList"}) {
            auto row = [list](const char* what) {
                return &(QTest::addRow("%s: %s", list, what) << QString(list));
            };
            *row("Return edits") << 1 << int(Qt::Key_Return) << 0 << true << 3;
            *row("keypad Enter edits")
                << 2 << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true << 3;
            *row("Delete deletes") << 1 << int(Qt::Key_Delete) << 0 << false << 2;
            *row("Return without a row") << -1 << int(Qt::Key_Return) << 0 << false << 3;
            *row("Delete without a row") << -1 << int(Qt::Key_Delete) << 0 << false << 3;
            *row("Ctrl+Delete is not ours")
                << 1 << int(Qt::Key_Delete) << int(Qt::ControlModifier) << false << 3;
        }
    }
    void listKeys()
    {
        QFETCH(QString, list);
        QFETCH(int, row);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, edits);
        QFETCH(int, rowsLeft);
        w = std::make_unique<MainSettingsDlg>();
        appSettings->holidays.clear();
        for (const QString name : {"one", "two", "three"}) {
            AlarmRecord a;
            a.name = name;
            w->adoptAlarm(new AlarmMsgDlg(a, w.get()), true);
            auto* timer = new TimerMsgDlg(w.get());
            TimerRecord t;
            t.name = name;
            timer->setTimerRecord(t);
            w->adoptTimer(timer, false);
            appSettings->holidays << HolidayRecord{name, TypeHoliday, QDate(2030, 1, 1),
                                                   QDate(2030, 1, 1)};
        }
        w->updateHolidays();
        auto* view = w->findChild<QAbstractItemView*>(list);
        view->setCurrentIndex(row < 0 ? QModelIndex() : view->model()->index(row, 0));
        QString editor;
        test::whenModal([&](QWidget* modal) {
            editor = modal->metaObject()->className();
            modal->close();
        });
        QTest::keyClick(view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(!editor.isEmpty(), edits);
        QCOMPARE(view->model()->rowCount(), rowsLeft);
        // Return stays with the list: the window's default button is not pressed.
        QVERIFY(w->isVisible());
        if (rowsLeft == 2)
            QCOMPARE(view->model()->index(1, list == "holidaysList" ? 1 : 0).data().toString(),
                     QString("three"));
    }

    void popupKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("menu");
        QTest::newRow("Escape hides") << int(Qt::Key_Escape) << 0 << false << false;
        QTest::newRow("Menu key opens the menu") << int(Qt::Key_Menu) << 0 << true << true;
        QTest::newRow("Shift+F10 opens the menu")
            << int(Qt::Key_F10) << int(Qt::ShiftModifier) << true << true;
        QTest::newRow("F10 alone does not") << int(Qt::Key_F10) << 0 << true << false;
        QTest::newRow("Ctrl+Shift+F10 does not")
            << int(Qt::Key_F10) << int(Qt::ShiftModifier | Qt::ControlModifier) << true << false;
    }
    void popupKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, shown);
        QFETCH(bool, menu);
        AlarmRecord r;
        r.name = "Stand-up";
        AlarmMsgDlg popup(r);
        popup.showAlarm();
        QTest::keyClick(&popup, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(popup.isVisible(), shown);
        QCOMPARE(popup.menu->isVisible(), menu);
        if (menu) {
            // It opens under the menu button, where a click would open it.
            const QPoint button = popup.ui->menuButton->mapToGlobal(QPoint(0, 0));
            QCOMPARE(popup.menu->pos().x(), button.x());
            QVERIFY(popup.menu->pos().y() >= button.y());
            popup.menu->hide();
        }
    }

    // Pop-ups never take the focus when they appear; the tray menu's entry
    // takes it to the newest of those shown.
    void showAlarmPopupsFocusesTheNewest()
    {
        w = std::make_unique<MainSettingsDlg>();
        w->showPage(1);
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        emit w->mainMenu->aboutToShow();
        QVERIFY(!w->alarmPopupsAction->isEnabled());
        QList<AlarmMsgDlg*> popups;
        for (const char* name : {"first", "second", "third"}) {
            AlarmRecord r;
            r.name = name;
            popups << new AlarmMsgDlg(r, w.get());
            w->adoptAlarm(popups.last(), true);
        }
        popups[0]->showAlarm();
        popups[2]->showAlarm();
        popups[1]->showAlarm();
        QTest::qWait(50);
        QCOMPARE(QApplication::activeWindow(), w.get());
        emit w->mainMenu->aboutToShow();
        QVERIFY(w->alarmPopupsAction->isEnabled());
        w->alarmPopupsAction->trigger();
        QTRY_COMPARE(QApplication::activeWindow(), popups[1]);
        QCOMPARE(QApplication::focusWidget(), popups[1]);
        // Escape on it leaves the one shown before it for the next time.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!popups[1]->isVisible());
        w->showAlarmPopups();
        QTRY_COMPARE(QApplication::activeWindow(), popups[2]);
        // A pop-up shown again is the newest again.
        popups[0]->hide();
        popups[0]->showAlarm();
        w->showAlarmPopups();
        QTRY_COMPARE(QApplication::activeWindow(), popups[0]);
    }

    void formsWorkByKeyboard_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QStringList>("followers");
        QTest::addColumn<QString>("locale");
        // Each state in English and in German, whose texts bring their own mnemonics.
        auto row = [](const char* name, const Setup& setup, const QStringList& followers) {
            for (const char* locale : {"C", "de_DE"})
                QTest::addRow("%s, %s", name, locale) << setup << followers << QString(locale);
        };
        auto alarmEditor = [](int mode) {
            return Setup([mode](QWidget*& window) -> QWidget* {
                auto* editor = new AlarmDlg;
                editor->ui->alarmMode->setCurrentIndex(mode);
                window = editor;
                return nullptr;
            });
        };
        row("alarm editor, once", alarmEditor(0), QStringList());
        // The repeat fields continue the mode's choice, Tab away from it.
        row("alarm editor, repeating", alarmEditor(1), QStringList{"repeatRange"});
        row("alarm editor, weekdays", alarmEditor(2), QStringList());
        auto timerEditor = [](bool stopwatch, int type, bool custom) {
            return Setup([=](QWidget*& window) -> QWidget* {
                auto* editor = new TimerDlg(nullptr, false);
                (stopwatch ? editor->ui->modeStopwatch : editor->ui->modeTimer)->setChecked(true);
                editor->ui->timerType->setCurrentIndex(type);
                editor->ui->formatCustom->setChecked(custom);
                window = editor;
                return nullptr;
            });
        };
        row("timer editor, time to", timerEditor(false, 0, false), QStringList());
        row("timer editor, count for, custom", timerEditor(false, 1, true), QStringList());
        row("stopwatch editor, custom", timerEditor(true, 0, true), QStringList());
        auto holidayEditor = [](int type) {
            return Setup([type](QWidget*& window) -> QWidget* {
                auto* editor = new VacationDlg;
                editor->ui->holidayTypeCombo->setCurrentIndex(type);
                window = editor;
                return nullptr;
            });
        };
        row("holiday editor", holidayEditor(0), QStringList());
        row("vacation editor", holidayEditor(1), QStringList());
        row("other delay", Setup([](QWidget*& window) -> QWidget* {
                window = new OtherDelayDlg;
                return nullptr;
            }),
            QStringList());
        row("fonts library", Setup([](QWidget*& window) -> QWidget* {
                window = new FontsLibrary(loadFontPlugins(TIDRA_BUILD_DIR), QString());
                return nullptr;
            }),
            QStringList());
        // The main window: one row per page and settings tab.
        auto page = [](int strip, int tab, int workTab) {
            return Setup([=](QWidget*& window) -> QWidget* {
                auto* main = mainWindow;
                main->showPage(strip);
                main->ui->tabWidget->setCurrentIndex(tab);
                main->ui->tabWidget_2->setCurrentIndex(workTab);
                window = main;
                return main->ui->stack->currentWidget();
            });
        };
        row("date and time page", page(0, 0, 0), QStringList());
        row("alarms page", page(1, 0, 0), QStringList());
        row("timers page", page(2, 0, 0), QStringList());
        row("work page", page(3, 0, 0), QStringList());
        row("settings, tray", page(4, 0, 0), QStringList());
        row("settings, alarms", page(4, 1, 0), QStringList{"alarmSoundFile"});
        row("settings, timers", page(4, 2, 0), QStringList{"timerSoundFile"});
        row("settings, schedule", page(4, 3, 0), QStringList());
        row("settings, holidays", page(4, 3, 1), QStringList());
        row("about page", page(5, 0, 0), QStringList());
    }
    void formsWorkByKeyboard()
    {
        QFETCH(Setup, setup);
        QFETCH(QStringList, followers);
        QFETCH(QString, locale);
        installTranslations(QLocale(locale));
        w = std::make_unique<MainSettingsDlg>();
        // Sound choosers are offered as they are when sounds are on.
        w->ui->alarmPlaySound->setChecked(true);
        w->ui->timerPlaySound->setChecked(true);
        QWidget* window = nullptr;
        QWidget* ordered = setup(window);
        std::unique_ptr<QWidget> owned(window == w.get() ? nullptr : window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QStringList problems = test::keyboardProblems(window, ordered, followers);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("; ")));
    }
};

TIDRA_TEST_MAIN(TestA11y)
#include "tst_a11y.moc"
