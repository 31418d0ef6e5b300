#include "alarms/AlarmMsgDlg.h"
#include "app/AppInfo.h"
#include "app/AppSettings.h"
#include "app/Clock.h"
#include "app/MainSettingsDlg.h"
#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"
#include "timers/FontsLibrary.h"
#include "timers/TimerDlg.h"
#include "timers/TimerMsgDlg.h"
#include "ui_fontsdialog.h"
#include "ui_maindialog.h"
#include "ui_timerdialog.h"

#include <QPointer>
#include <QPushButton>
#include <QSettings>

using namespace td;

namespace {

QDateTime at(int d, int h, int m)
{
    return QDateTime(QDate(2026, 6, d), QTime(h, m));
}

// Answers the next editor: fill it, then apply (or cancel).
void answerEditor(std::function<void(Ui::TimerDialog*)> fill, bool apply = true)
{
    test::whenModal([fill, apply](QWidget* w) {
        auto* editor = qobject_cast<TimerDlg*>(w);
        QVERIFY(editor);
        fill(editor->ui);
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

class TestTimerList : public QObject
{
    Q_OBJECT

    MainSettingsDlg* main = nullptr;

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
        clock::setFixed(at(10, 12, 0));
        main = new MainSettingsDlg;
    }
    void cleanupTestCase()
    {
        delete main;
        clock::reset();
    }
    void init() { clock::setFixed(at(10, 12, 0)); }
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
            adopt(left.emplace_back(QString("T%1").arg(i)), 0, at(11, 9, i));
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
        TimerMsgDlg* t = adopt("A", type, type ? at(10, 11, 0) : at(10, 17, 45), path != "list");
        adopt("B", 0, at(11, 9, 0));
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
        TimerMsgDlg* t = adopt("Egg", 0, at(10, 12, 5));
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
            QCOMPARE(QDateTime(popup->alarm().date, popup->alarm().time), at(10, 12, 5));
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
};

TIDRA_TEST_MAIN(TestTimerList)
#include "tst_timerlist.moc"
