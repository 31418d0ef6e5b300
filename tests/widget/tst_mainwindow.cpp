#include "app/AppSettings.h"
#include "app/Autostart.h"
#include "app/Clock.h"
#include "app/MainSettingsDlg.h"
#include "tests/common/TestSupport.h"
#include "ui_maindialog.h"

#include <QDesktopServices>
#include <QScrollBar>
#include <QSettings>
#include <QUrlQuery>
#include <memory>

/// Receives what the window asks the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<td::MainSettingsDlg> w;

    void start() { w = std::make_unique<td::MainSettingsDlg>(); }

private slots:
    void init() { td::test::clearUserData(); }
    void cleanup()
    {
        w.reset();
        td::clock::reset();
    }

    void startsOnTheAboutPageWithNoRowSelected()
    {
        start();
        QVERIFY(w->isVisible());
        QCOMPARE(w->ui->mainList->currentRow(), -1);
        QCOMPARE(w->ui->stack->currentWidget(), w->ui->page_7);
    }

    void staysHiddenWhenAskedTo()
    {
        QSettings("Morvane", "Tidra").setValue("tray/showOnStartUp", false);
        start();
        QVERIFY(!w->isVisible());
        QVERIFY(!w->ui->showOnStartUp->isChecked());
    }

    void hidingNeverQuits_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("close button") << "button";
        QTest::newRow("escape") << "escape";
    }
    void hidingNeverQuits()
    {
        QFETCH(QString, how);
        start();
        w->showAlarms();
        QVERIFY(w->isVisible());
        QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
        if (how == "button")
            QTest::mouseClick(w->ui->closeButton, Qt::LeftButton);
        else
            QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QCOMPARE(quitting.count(), 0);
    }

    void arrowsMoveOneStep()
    {
        start();
        w->showDateTime();
        QScrollBar* bar = w->ui->mainList->verticalScrollBar();
        QVERIFY2(bar->maximum() > 2 * bar->singleStep(), "the strip must be taller than its view");
        QCOMPARE(bar->value(), 0);
        QTest::mousePress(w->ui->mainListUpButton, Qt::LeftButton);
        QTest::mouseRelease(w->ui->mainListUpButton, Qt::LeftButton);
        QCOMPARE(bar->value(), 0);
        QTest::mousePress(w->ui->mainListDownButton, Qt::LeftButton);
        QCOMPARE(bar->value(), bar->singleStep());
        QTest::mouseRelease(w->ui->mainListDownButton, Qt::LeftButton);
        QCOMPARE(bar->value(), bar->singleStep());
        for (int i = 0; i < 100; ++i)
            w->mainListDown();
        QCOMPARE(bar->value(), bar->maximum());
    }

    void datePageFollowsTheDay()
    {
        const QDateTime lastMoment(QDate(2027, 1, 31), QTime(23, 59, 59, 950));
        td::clock::setFixed(lastMoment);
        start();
        w->showDateTime();
        QCOMPARE(w->ui->calendar->selectedDate(), QDate(2027, 1, 31));
        QCOMPARE(w->ui->calendar->monthShown(), 1);

        w->ui->calendar->setCurrentPage(2027, 3); // the user looks ahead
        w->updateMainTimer();
        QCOMPARE(w->ui->calendar->monthShown(), 3);

        td::clock::advance(100); // midnight, new month
        w->updateMainTimer();
        QCOMPARE(w->ui->calendar->selectedDate(), QDate(2027, 2, 1));
        QCOMPARE(w->ui->calendar->monthShown(), 2);

        // Hidden, the page rests; it is right again the moment it shows.
        w->hide();
        td::clock::advance(24 * 3600 * 1000);
        w->updateMainTimer();
        QCOMPARE(w->ui->calendar->selectedDate(), QDate(2027, 2, 1));
        w->showDateTime();
        QCOMPARE(w->ui->calendar->selectedDate(), QDate(2027, 2, 2));
        QCOMPARE(w->ui->currentTime->time(), QTime(0, 0, 0));
        td::clock::reset();
    }

    void secondWindowIsRefused()
    {
        start();
        td::test::PromptRecorder prompts;
        td::MainSettingsDlg second;
        QCOMPARE(prompts.prompts.size(), 1);
        QCOMPARE(prompts.prompts[0].title, QString("Error"));
        QCOMPARE(prompts.prompts[0].text,
                 QString("Only one instance of Tidra!!! can be run at the same time!"));
        QVERIFY(!second.trayIcon);
        QCOMPARE(td::mainWindow, w.get());
    }

    void welcomeOnFirstStart()
    {
        start();
        w->ui->startWithOS->setChecked(false);
        QVERIFY(!td::Autostart::exists());
        w->welcomeFirstStart();
        QVERIFY(td::Autostart::exists());
        QVERIFY(w->ui->startWithOS->isChecked());
        QVERIFY(td::appSettings->startWithOS);
        // The balloon waits for a visible icon instead of getting lost.
        auto* balloon = w->trayIcon->findChild<QTimer*>("welcomeBalloonTimer");
        QVERIFY(balloon);
        QVERIFY(balloon->isActive());
    }

    void homeSiteAndMail()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        QDesktopServices::setUrlHandler("mailto", &catcher, "open");
        start();
        QTest::mouseClick(w->ui->webPageButton, Qt::LeftButton);
        QTest::mouseClick(w->ui->emailButton, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("mailto");
        QCOMPARE(catcher.urls.size(), 2);
        QCOMPARE(catcher.urls[0].scheme(), QString("https"));
        const QUrl mail = catcher.urls[1];
        QCOMPARE(mail.scheme(), QString("mailto"));
        QCOMPARE(QUrlQuery(mail).queryItemValue("subject", QUrl::FullyDecoded),
                 QString("Tidra!!! Time Manager"));
    }
};

TIDRA_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
