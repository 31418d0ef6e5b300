// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "tests/common/TestSupport.h"
#include "ui_maindialog.h"

#include <QMenu>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTimer>
#include <memory>

using Reason = QSystemTrayIcon::ActivationReason;

class TestTray : public QObject
{
    Q_OBJECT

    std::unique_ptr<td::MainSettingsDlg> w;

    /// Plays a script of tray reports at their milliseconds, the way the event
    /// loop would: "T" Trigger, "D" DoubleClick, "C" Context, "M" MiddleClick,
    /// "F" the single-click delay running out (only while it runs), e.g. "T0 D250 F400".
    void play(const QString& script)
    {
        const QDateTime start = td::now();
        for (const QString& step : script.split(' ', Qt::SkipEmptyParts)) {
            td::clock::setFixed(start.addMSecs(step.mid(1).toInt()));
            if (step[0] == 'F') {
                if (w->clickTimer->isActive())
                    w->singliLeftClick();
            } else {
                w->trayIconActivated(Reason(QString(" CDTM").indexOf(step[0])));
            }
            w->mainMenu->hide();
            w->fastMenu->hide();
        }
    }

private slots:
    void init()
    {
        td::test::clearUserData();
        td::clock::setFixed(QDateTime(QDate(2026, 5, 6), QTime(9, 0)));
        w = std::make_unique<td::MainSettingsDlg>();
        w->hide();
    }
    void cleanup()
    {
        w.reset();
        td::clock::reset();
    }

    // Mostly one or two double clicks in a platform's order of reports, then
    // (from 2000 ms) one ordinary click that must act.
    void clickScripts_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("middle"); // the middle click's action code
        QTest::addColumn<int>("singles");
        QTest::addColumn<int>("doubles");
        QTest::addColumn<bool>("window");
        QTest::newRow("single click acts after the delay") << "T0 F400" << 5 << 1 << 0 << false;
        QTest::newRow("trigger, double, trigger") << "T0 D250 T260 F400" << 5 << 0 << 1 << false;
        QTest::newRow("trigger, double; then a click")
            << "T0 D250 T2000 F2400" << 5 << 1 << 1 << false;
        QTest::newRow("trigger, trigger, double; then a click")
            << "T0 T250 D250 F650 T2000 F2400" << 5 << 1 << 1 << false;
        QTest::newRow("double alone; then a click") << "D0 T2000 F2400" << 5 << 1 << 1 << false;
        QTest::newRow("double reported twice") << "T0 D250 D260 T270 F700" << 5 << 0 << 1 << false;
        QTest::newRow("two double clicks in a row")
            << "T0 D200 T1000 D1200 T2000 F2400" << 5 << 1 << 2 << false;
        QTest::newRow("two double clicks, release reports")
            << "T0 D200 T210 T1000 D1200 T1210 F1700" << 5 << 0 << 2 << false;
        QTest::newRow("a third click right after belongs to the double click")
            << "T0 D200 T300 F700" << 5 << 0 << 1 << false;
        QTest::newRow("slow second click: two singles")
            << "T0 F400 D500 T550 F950" << 5 << 2 << 0 << false;
        QTest::newRow("second trigger restarts the delay")
            << "T0 T300 F700" << 5 << 1 << 0 << false;
        QTest::newRow("context menu: the main menu at once") << "C0" << 5 << 0 << 1 << false;
        QTest::newRow("middle: settings at once") << "M0" << 2 << 0 << 0 << true;
        QTest::newRow("middle: none") << "M0" << 5 << 0 << 0 << false;
        QTest::newRow("middle: larger code") << "M0" << 17 << 0 << 0 << false;
        QTest::newRow("middle: negative code") << "M0" << -1 << 0 << 0 << false;
    }
    void clickScripts()
    {
        QFETCH(QString, script);
        QFETCH(int, middle);
        td::appSettings->leftClick = td::ShowFastActionsMenu;
        td::appSettings->doubleClick = td::ShowMainMenu;
        td::appSettings->middleClick = middle;
        QSignalSpy fast(w->fastMenu, &QMenu::aboutToShow);
        QSignalSpy main(w->mainMenu, &QMenu::aboutToShow);
        play(script);
        QTEST(int(fast.count()), "singles");
        QTEST(int(main.count()), "doubles");
        QTEST(w->isVisible(), "window");
        QVERIFY(!w->clickTimer->isActive());
    }

    void singleClickWaitsTheDoubleClickInterval()
    {
        w->trayIconActivated(QSystemTrayIcon::Trigger);
        QVERIFY(w->clickTimer->isActive());
        QCOMPARE(w->clickTimer->interval(),
                 QGuiApplication::styleHints()->mouseDoubleClickInterval());
        QCOMPARE(w->clickPos, QCursor::pos());
    }

    void defaultsDoubleClickOpensSettings()
    {
        // Defaults: left click = fast actions menu, double click = settings page.
        QSignalSpy fast(w->fastMenu, &QMenu::aboutToShow);
        play("T0 D300 T310 F400");
        QVERIFY(w->isVisible());
        QCOMPARE(w->ui->mainList->currentRow(), 4);
        QCOMPARE(w->ui->stack->currentIndex(), 4);
        QCOMPARE(w->ui->tabWidget->currentIndex(), 2);
        QCOMPARE(fast.count(), 0);
    }

    void menuActionsShowTheirPages()
    {
        const QList<QAction*> actions{w->dateTimeAction, w->alarmsAction,   w->timersAction,
                                      w->workAction,     w->settingsAction, w->aboutAction};
        for (int row = 0; row < actions.size(); ++row) {
            w->hide();
            actions[row]->trigger();
            QVERIFY(w->isVisible());
            QCOMPARE(w->ui->stack->currentIndex(), row);
            QCOMPARE(w->ui->mainList->currentRow(), row);
        }
    }

    void quitEndsTheEventLoop()
    {
        QTimer::singleShot(0, w->quitAction, &QAction::trigger);
        QTimer guard;
        guard.setSingleShot(true);
        bool timedOut = false;
        connect(&guard, &QTimer::timeout, [&]() {
            timedOut = true;
            qApp->exit(1);
        });
        guard.start(5000);
        QCOMPARE(qApp->exec(), 0);
        QVERIFY(!timedOut);
    }
};

TIDRA_TEST_MAIN(TestTray)
#include "tst_tray.moc"
