#include "app/AppSettings.h"
#include "app/MainSettingsDlg.h"
#include "tests/common/TestSupport.h"
#include "ui_maindialog.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTimer>
#include <memory>

using Reason = QSystemTrayIcon::ActivationReason;
Q_DECLARE_METATYPE(QList<int>)

namespace {
// Steps of a click script: tray reports, plus 'F' for the click timer firing.
constexpr int Fire = -100;
} // namespace

class TestTray : public QObject
{
    Q_OBJECT

    std::unique_ptr<td::MainSettingsDlg> w;

    /// Plays a script the way the event loop would: the timer fires only while it runs.
    void play(const QList<int>& script)
    {
        for (int step : script) {
            if (step == Fire) {
                if (w->clickTimer->isActive())
                    w->singliLeftClick();
            } else {
                w->trayIconActivated(Reason(step));
            }
            w->mainMenu->hide();
            w->fastMenu->hide();
        }
    }

private slots:
    void init()
    {
        td::test::clearUserData();
        w = std::make_unique<td::MainSettingsDlg>();
        w->hide();
    }
    void cleanup() { w.reset(); }

    void clickScripts_data()
    {
        QTest::addColumn<QList<int>>("script");
        QTest::addColumn<int>("singles");
        QTest::addColumn<int>("doubles");
        QTest::addColumn<int>("finalState");
        const int T = QSystemTrayIcon::Trigger, D = QSystemTrayIcon::DoubleClick;
        QTest::newRow("single click acts after the delay") << QList<int>{T, Fire} << 1 << 0 << 1;
        QTest::newRow("quick double click acts once") << QList<int>{T, D, T, Fire} << 0 << 1 << -1;
        QTest::newRow("slow double click: two singles")
            << QList<int>{T, Fire, D, T, Fire} << 2 << 0 << 1;
        QTest::newRow("double click without pending single is ignored")
            << QList<int>{D} << 0 << 0 << -1;
        QTest::newRow("second trigger restarts the delay") << QList<int>{T, T, Fire} << 1 << 0 << 1;
    }
    void clickScripts()
    {
        QFETCH(QList<int>, script);
        QFETCH(int, singles);
        QFETCH(int, doubles);
        QFETCH(int, finalState);
        td::appSettings->leftClick = td::ShowFastActionsMenu;
        td::appSettings->doubleClick = td::ShowMainMenu;
        QSignalSpy fast(w->fastMenu, &QMenu::aboutToShow);
        QSignalSpy main(w->mainMenu, &QMenu::aboutToShow);
        play(script);
        QCOMPARE(fast.count(), singles);
        QCOMPARE(main.count(), doubles);
        QCOMPARE(w->clickState, finalState);
    }

    void singleClickWaits200ms()
    {
        w->trayIconActivated(QSystemTrayIcon::Trigger);
        QVERIFY(w->clickTimer->isActive());
        QCOMPARE(w->clickTimer->interval(), 200);
        QCOMPARE(w->clickPos, QCursor::pos());
    }

    void defaultsDoubleClickOpensSettings()
    {
        // Defaults: left click = fast actions menu, double click = settings page.
        QSignalSpy fast(w->fastMenu, &QMenu::aboutToShow);
        play({QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Trigger,
              Fire});
        QVERIFY(w->isVisible());
        QCOMPARE(w->ui->mainList->currentRow(), 4);
        QCOMPARE(w->ui->stack->currentIndex(), 4);
        QCOMPARE(w->ui->tabWidget->currentIndex(), 2);
        QCOMPARE(fast.count(), 0);
    }

    void contextAlwaysOpensMainMenu()
    {
        td::appSettings->leftClick = td::NoTrayAction;
        td::appSettings->doubleClick = td::NoTrayAction;
        td::appSettings->middleClick = td::NoTrayAction;
        w->trayIconActivated(QSystemTrayIcon::Context);
        QVERIFY(w->mainMenu->isVisible());
        QVERIFY(!w->fastMenu->isVisible());
        QVERIFY(!w->clickTimer->isActive());
    }

    void middleClickActsAtOnce_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("window");
        QTest::newRow("settings") << 2 << true;
        QTest::newRow("none") << 5 << false;
        QTest::newRow("larger code") << 17 << false;
        QTest::newRow("negative code") << -1 << false;
    }
    void middleClickActsAtOnce()
    {
        QFETCH(int, code);
        td::appSettings->middleClick = code;
        w->trayIconActivated(QSystemTrayIcon::MiddleClick);
        QTEST(w->isVisible(), "window");
        QVERIFY(!w->mainMenu->isVisible() && !w->fastMenu->isVisible());
        QVERIFY(!w->clickTimer->isActive());
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
