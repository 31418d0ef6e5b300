// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmDlg.h"
#include "alarms/AlarmMsgDlg.h"
#include "alarms/OtherDelayDlg.h"
#include "app/CommandLine.h"
#include "app/InstanceProtocol.h"
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Contrast.h"
#include "common/HolidayRecord.h"
#include "common/LocaleFormat.h"
#include "common/Translations.h"
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
    using P = QPalette;
    const QList<std::pair<QList<P::ColorRole>, QRgb>> colours{
        {{P::Window, P::ToolTipBase, P::Button}, 0x353535},
        {{P::WindowText, P::ToolTipText, P::Text, P::ButtonText}, 0xffffff},
        {{P::Base}, 0x2a2a2a},
        {{P::AlternateBase, P::Midlight}, 0x424242},
        {{P::BrightText}, 0xff0000},
        {{P::Link, P::Highlight}, 0x2a82da},
        {{P::HighlightedText, P::Shadow}, 0},
        {{P::Light}, 0x505050},
        {{P::Dark}, 0x232323},
        {{P::Mid}, 0x2c2c2c},
        {{P::PlaceholderText}, 0xa0a0a0}};
    for (const auto& [roles, rgb] : colours)
        for (P::ColorRole role : roles)
            p.setColor(role, QColor(rgb));
    return p;
}

// The colour covering most of an image (of its opaque pixels only when
// `solid`): the ground text is drawn on, or a skin's ink.
QRgb mostCommon(const QImage& image, bool solid = false)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!solid || qAlpha(image.pixel(x, y)) == 255)
                ++counts[image.pixel(x, y) | 0xff000000];
    return counts.empty() ? 0 : std::max_element(counts.begin(), counts.end(), [](auto a, auto b) {
                                    return a.second < b.second;
                                })->first;
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
    const QRgb ground = mostCommon(crop);
    double best = 1;
    for (int y = 0; y < crop.height(); ++y)
        for (int x = 0; x < crop.width(); ++x)
            best = std::max(best, contrast::ratio(crop.pixel(x, y), ground));
    return best;
}

AlarmRecord alarm(const QString& name)
{
    AlarmRecord r;
    r.name = name;
    return r;
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

using Text = std::function<QString()>;
Q_DECLARE_METATYPE(Text)

class TestA11y : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainSettingsDlg> w;

private slots:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create("Fusion")); }
    void init() { test::clearUserData(); }
    void cleanup()
    {
        w.reset();
        QApplication::setPalette(lightPalette());
        installTranslations(QLocale::c());
    }

    // Every text we colour stays readable in a light and a dark theme, and
    // every skin's digits stand out on the timer window's ground.
    void textsKeepTheirContrast_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("part");
        QStringList parts = {"popup name",     "popup message",
                             "strip captions", "strip selected caption",
                             "about version",  "about credit"};
        static const QList<QObject*> skins = loadFontPlugins(TIDRA_BUILD_DIR);
        QVERIFY(!skins.isEmpty());
        for (QObject* plugin : skins)
            parts << "skin " + fontInterface(plugin)->name();
        for (bool dark : {false, true})
            for (const QString& part : parts)
                QTest::addRow("%s, %s", qPrintable(part), dark ? "dark" : "light") << dark << part;
    }
    void textsKeepTheirContrast()
    {
        QFETCH(bool, dark);
        QFETCH(QString, part);
        QApplication::setPalette(dark ? darkPalette() : lightPalette());
        w = std::make_unique<MainSettingsDlg>();
        QList<double> ratios;
        if (part.startsWith("popup")) {
            AlarmRecord r = alarm("Stand-up");
            r.message = "Bring the notes";
            auto* popup = new AlarmMsgDlg(r, w.get());
            popup->showAlarm();
            QVERIFY(QTest::qWaitForWindowExposed(popup));
            ratios << textContrast(part.endsWith("name") ? popup->ui->nameLabel
                                                         : popup->ui->textLabel);
        } else if (part.startsWith("skin")) {
            const QString skin = part.mid(5);
            w->fontPlugins = loadFontPlugins(TIDRA_BUILD_DIR);
            appSettings->timerDefaultSkin = skin;
            auto* timer = timerWindow(w.get(), "Tea break");
            timer->show();
            QVERIFY(QTest::qWaitForWindowExposed(timer));
            ratios << textContrast(timer->ui->nameLabel);
            // The skin's ink: the most common solid colour of its digit 8.
            const QRgb ink = mostCommon(findFontPlugin(w->fontPlugins, skin)
                                            ->symbolPixmap(QStringLiteral("8"))
                                            .toImage()
                                            .convertToFormat(QImage::Format_ARGB32),
                                        true);
            const double r = contrast::ratio(ink, mostCommon(timer->grab().toImage()));
            QVERIFY2(r >= contrast::GraphicMinimum, qPrintable(QString::number(r)));
        } else if (part.startsWith("strip")) {
            const bool selected = part.contains("selected");
            w->showPage(selected ? 2 : -1);
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            QListWidget* strip = w->ui->mainList;
            for (int row = 0; row < strip->count(); ++row) {
                const QRect item = strip->visualItemRect(strip->item(row));
                if (!strip->viewport()->rect().contains(item) || selected != (row == 2))
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

    // A few texts in German, ours and Qt's own; dates and time edits follow the locale.
    void translatedTexts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<Text>("text");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const char* locale, const char* want, const Text& text) {
            QTest::newRow(name) << locale << text << want;
        };
        row("page strip", "de_DE", "Wecker", [this] { return w->ui->mainList->item(1)->text(); });
        row("tray entry", "de_DE", "Wecker-Fenster zeigen",
            [this] { return w->alarmPopupsAction->text(); });
        row("label with mnemonic", "de_DE", "Bei &Linksklick",
            [this] { return w->ui->leftClickLabel->text(); });
        auto every = [](int n, int unit, int days = 0) {
            return [=] {
                AlarmRecord r;
                r.enabled = true;
                r.repeatMode = days ? RepeatDayOfWeek : RepeatEvery;
                r.repeatRange = n;
                r.repeatMeasure = unit;
                for (int d = 0; d < days; ++d)
                    r.days[d] = true;
                return repeatDescription(r);
            };
        };
        row("one hour", "de_DE", "Jede Stunde wiederholen", every(1, Hours));
        row("five hours", "de_DE", "Alle 5 Stunden wiederholen", every(5, Hours));
        row("English singular", "C", "Repeat every 1 Hour", every(1, Hours));
        row("English plural", "en_US", "Repeat every 2 Years", every(2, Years));
        row("weekdays", "de_DE", "Jeden Sonntag, Montag und Dienstag wiederholen",
            every(1, Hours, 3));
        row("Qt's own button", "de_DE", "Abbrechen",
            [] { return QDialogButtonBox(QDialogButtonBox::Cancel).buttons()[0]->text(); });
        // Texts of the command line and of the commands the running program answers.
        row("command line help", "de_DE", "--help Diese Hilfe ausgeben und beenden", [] {
            const QString help = cli::helpText();
            return help.mid(help.indexOf("--help"), 60).simplified().section('.', 0, 0);
        });
        row("command refused", "de_DE", "Es gibt keine Seite „nowhere“", [] {
            return protocol::checkArguments({protocol::command::show, {"nowhere"}})
                .section(';', 0, 0);
        });
        auto details = [this] {
            AlarmRecord r = alarm("Dentist");
            r.date = QDate(2026, 12, 9);
            r.time = QTime(16, 15);
            w->adoptAlarm(new AlarmMsgDlg(r, w.get()), true);
            return w->ui->alarmDateLabel->text() + " " + w->ui->alarmTimeLabel->text();
        };
        row("alarm date, German", "de_DE", "Mi. 09.12.26 16:15", details);
        row("alarm date, English", "en_US", "Wed 09 Dec 2026 16:15", details);
        auto moment = [](const char* pattern) {
            return [pattern] {
                return readableDateTime(QDateTime(QDate(2026, 12, 9), QTime(16, 15)), pattern);
            };
        };
        row("time first, German", "de_DE", "16:15 Mi. 09.12.26", moment("hh:mm ddd dd MMM yyyy"));
        row("date first, German", "de_DE", "09.12.26 16:15", moment("MM.dd.yyyy hh:mm"));
        row("date first, British", "en_GB", "12.09.2026 16:15", moment("MM.dd.yyyy hh:mm"));
        auto timeEdit = [] { return AlarmDlg().ui->alarmTime->displayFormat(); };
        row("time edit, US", "en_US", "h:mm AP", timeEdit);
        row("time edit, German", "de_DE", "HH:mm", timeEdit);
        row("time edit, C", "C", "H:mm", timeEdit);
    }
    void translatedTexts()
    {
        QFETCH(QString, locale);
        QFETCH(Text, text);
        installTranslations(QLocale(locale));
        w = std::make_unique<MainSettingsDlg>();
        QTEST(text(), "expected");
    }

    // Return edits the current row, Delete deletes it; the keys stay with the list.
    void listKeys_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("edits");
        QTest::addColumn<int>("rowsLeft");
        for (const char* list : {"alarmsList", "timersList", "holidaysList"}) {
            auto row = [list](const char* what, int row, int key, int modifiers, bool edits,
                              int left) {
                QTest::addRow("%s: %s", list, what)
                    << QString(list) << row << key << modifiers << edits << left;
            };
            row("Return edits", 1, Qt::Key_Return, 0, true, 3);
            row("keypad Enter edits", 2, Qt::Key_Enter, Qt::KeypadModifier, true, 3);
            row("Delete deletes", 1, Qt::Key_Delete, 0, false, 2);
            row("Return without a row", -1, Qt::Key_Return, 0, false, 3);
            row("Delete without a row", -1, Qt::Key_Delete, 0, false, 3);
            row("Ctrl+Delete is not ours", 1, Qt::Key_Delete, Qt::ControlModifier, false, 3);
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
            w->adoptAlarm(new AlarmMsgDlg(alarm(name), w.get()), true);
            w->adoptTimer(timerWindow(w.get(), name), false);
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
        QVERIFY(w->isVisible()); // the window's default button was not pressed
        if (rowsLeft == 2)
            QCOMPARE(view->model()->index(1, list == "holidaysList").data().toString(),
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
        QTest::newRow("Shift+F10 too")
            << int(Qt::Key_F10) << int(Qt::ShiftModifier) << true << true;
        QTest::newRow("F10 alone does not") << int(Qt::Key_F10) << 0 << true << false;
        QTest::newRow("Ctrl+Shift+F10 does not")
            << int(Qt::Key_F10) << int(Qt::ShiftModifier | Qt::ControlModifier) << true << false;
    }
    void popupKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, menu);
        AlarmMsgDlg popup(alarm("Stand-up"));
        popup.showAlarm();
        QTest::keyClick(&popup, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTEST(popup.isVisible(), "shown");
        QCOMPARE(popup.menu->isVisible(), menu);
        // It opens under the menu button, where a click would open it.
        const QPoint button = popup.ui->menuButton->mapToGlobal(QPoint(0, 0));
        QVERIFY(!menu ||
                (popup.menu->pos().x() == button.x() && popup.menu->pos().y() >= button.y()));
        popup.menu->hide();
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
            popups << new AlarmMsgDlg(alarm(name), w.get());
            w->adoptAlarm(popups.last(), true);
        }
        for (int i : {0, 2, 1})
            popups[i]->showAlarm();
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
                 "alarm 0,alarm 1:repeatRange,alarm 2,timer 0 0 0,timer 0 1 1,timer 1 0 1,holiday "
                 "0,"
                 "holiday 1,delay,fonts,page 0 0 0,page 1 0 0,page 2 0 0,page 3 0 0,page 4 0 0,"
                 "page 4 1 0:alarmSoundFile,page 4 2 0:timerSoundFile,page 4 3 0,page 4 3 1,page 5")
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
        w = std::make_unique<MainSettingsDlg>();
        // Sound choosers are offered as they are when sounds are on.
        w->ui->alarmPlaySound->setChecked(true);
        w->ui->timerPlaySound->setChecked(true);
        const QStringList a = state.split(' ');
        auto arg = [&a](int i) { return a.value(i).toInt(); };
        std::unique_ptr<QWidget> owned;
        QWidget* window = w.get();
        QWidget* ordered = nullptr; // the widget whose children are in reading order
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
            ordered = w->ui->stack->currentWidget();
        }
        if (owned)
            window = owned.get();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QStringList problems =
            test::keyboardProblems(window, ordered, followers.split(' ', Qt::SkipEmptyParts));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("; ")));
    }
};

TIDRA_TEST_MAIN(TestA11y)
#include "tst_a11y.moc"
