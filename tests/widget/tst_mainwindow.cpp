// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmMsgDlg.h"
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "storage/Autostart.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerMsgDlg.h"
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

Q_DECLARE_METATYPE(td::wake::Reason)

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<td::MainSettingsDlg> w;

    void start() { w = std::make_unique<td::MainSettingsDlg>(); }

    // A Monday in winter; the default timetable works 9:00 to 18:00, lunch at 13:00.
    static QDateTime monday(int h, int m, int s = 0)
    {
        return QDateTime(QDate(2027, 1, 4), QTime(h, m, s));
    }
    // Hidden on start, no work window wanted; with no working day either, no
    // work window counts down hidden to its end.
    static void quietStart(bool noWorkDays)
    {
        QSettings settings("Morvane", "Tidra");
        settings.setValue("tray/showOnStartUp", false);
        for (const char* what : {"Lunch", "EndDay", "Holiday", "Vacation"})
            settings.setValue(QString("work/TimeTo%1").arg(what), false);
        for (const char* day : {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"})
            settings.setValue(QString("work/%1Enable").arg(day), !noWorkDays && day[0] != 'S');
    }
    td::AlarmMsgDlg* addAlarm(const QDateTime& at)
    {
        td::AlarmRecord r;
        r.enabled = true;
        r.name = at.toString();
        r.date = at.date();
        r.time = at.time();
        auto* alarm = new td::AlarmMsgDlg(r, w.get());
        w->adoptAlarm(alarm, true);
        return alarm;
    }

private slots:
    void init() { td::test::clearUserData(); }
    void cleanup()
    {
        w.reset();
        td::clock::reset();
    }

    void startsOnTheAboutPageOrHidden()
    {
        start();
        QVERIFY(w->isVisible());
        QCOMPARE(w->ui->mainList->currentRow(), -1);
        QCOMPARE(w->ui->stack->currentWidget(), w->ui->page_7);
        w.reset();
        QSettings("Morvane", "Tidra").setValue("tray/showOnStartUp", false);
        start();
        QVERIFY(!w->isVisible() && !w->ui->showOnStartUp->isChecked());
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
        QCOMPARE(w->ui->currentTime->time(), QTime(0, 0, 0)); // at once, not a tick later
        w->ui->stack->setCurrentIndex(1);                     // another page: the clock rests
        td::clock::advance(1000);
        w->updateMainTimer();
        QCOMPARE(w->ui->currentTime->time(), QTime(0, 0, 0));
        w->ui->stack->setCurrentWidget(w->ui->page);
        QCOMPARE(w->ui->currentTime->time(), QTime(0, 0, 1));
    }

    // Each kind of deadline wins once; the main tick sleeps until it.
    void wakesForTheNextChange_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<td::wake::Reason>("reason");
        QTest::addColumn<QDateTime>("at");
        using R = td::wake::Reason;
        const QDateTime none;
        QTest::newRow("nothing pending or shown")
            << "no work" << monday(10, 0) << R::Nothing << none;
        QTest::newRow("alarm, one ms past its moment")
            << "alarm 10:01:30" << monday(10, 0) << R::Alarm << monday(10, 1, 30).addMSecs(1);
        QTest::newRow("alarm already due rings at once, then nothing")
            << "alarm 9:00 then no work" << monday(10, 0) << R::Nothing << none;
        QTest::newRow("reminder before the next occurrence")
            << "alarm 9:00 put off 5 min" << monday(10, 0) << R::Reminder
            << monday(10, 5).addMSecs(1);
        QTest::newRow("date page: the next second")
            << "date page" << monday(10, 0, 7).addMSecs(420) << R::Second << monday(10, 0, 8);
        QTest::newRow("lunch window goes at lunch")
            << "lunch window" << monday(12, 59, 30) << R::WorkWindow << monday(13, 0);
        QTest::newRow("holiday window follows the date")
            << "holiday window" << monday(20, 0) << R::Midnight
            << QDateTime(QDate(2027, 1, 5), QTime(0, 0));
    }
    void wakesForTheNextChange()
    {
        QFETCH(QString, setup);
        QFETCH(QDateTime, now);
        QFETCH(td::wake::Reason, reason);
        QFETCH(QDateTime, at);
        quietStart(setup.contains("no work"));
        QSettings settings("Morvane", "Tidra");
        settings.setValue("work/TimeToLunch", setup == "lunch window");
        settings.setValue("work/TimeToHoliday", setup == "holiday window");
        settings.sync();
        td::test::FakeSoundPlayer sound;
        td::clock::setFixed(now);
        start();
        td::wallclock::runDue(); // the first tick
        if (setup.startsWith("alarm 10:01:30"))
            addAlarm(monday(10, 1, 30));
        if (setup.startsWith("alarm 9:00"))
            addAlarm(monday(9, 0));
        if (setup == "date page")
            w->showDateTime();
        // Whatever changed asks for a tick at once, which arms the next wake.
        if (setup.startsWith("alarm") || setup == "date page")
            QVERIFY(w->mainTimer->isActive() &&
                    w->mainTimer->deadline() <= now.toMSecsSinceEpoch());
        td::wallclock::runDue();
        if (setup.contains("put off")) {
            QVERIFY(w->alarms.first()->isVisible()); // it rang; now put off
            w->alarms.first()->addDelay5min();
            td::wallclock::runDue();
        }
        const td::wake::Wake next = w->nextMainWake();
        QCOMPARE(next.reason, reason);
        if (reason == td::wake::Reason::Nothing) {
            // No timer of ours at all: the alarm pop-up that rang has faded away.
            QVERIFY(!w->mainTimer->isActive());
            for (td::AlarmMsgDlg* alarm : std::as_const(w->alarms))
                alarm->hide();
            QCOMPARE(td::wallclock::armedDelay(), qint64(-1));
            return;
        }
        QCOMPARE(next.at, at.toMSecsSinceEpoch());
        QCOMPARE(w->mainTimer->deadline(), next.at);
    }

    // A change of the clock (set by hand, a resume) wakes the tick at once:
    // three alarms jumped over fire once each, however often it is told.
    void clockJumpFiresEachOnce()
    {
        quietStart(true);
        td::test::FakeSoundPlayer sound;
        td::clock::setFixed(monday(10, 0));
        start();
        td::appSettings->alarmPlaySound = true;
        td::appSettings->alarmSoundFileName = TIDRA_SOURCE_DIR "/resources/oldphone.wav";
        for (int m : {10, 20, 30})
            addAlarm(monday(10, m));
        td::AlarmMsgDlg* later = addAlarm(monday(11, 0, 30));
        td::wallclock::runDue();
        QCOMPARE(w->mainTimer->deadline(), monday(10, 10).toMSecsSinceEpoch() + 1);

        td::clock::setFixed(monday(11, 0));
        td::wallclock::clockChanged();
        td::wallclock::clockChanged();
        QCOMPARE(sound.played.size(), qsizetype(1)); // one sound for all that ring together
        for (int i = 0; i < 3; ++i)
            QVERIFY(!w->alarms.at(i)->alarmEnabled() && w->alarms.at(i)->isVisible());
        QVERIFY(later->alarmEnabled() && !later->isVisible());
        QCOMPARE(td::wallclock::armedDelay(), qint64(30001));
        // Back by ten seconds: the same moment, now further off.
        td::clock::setFixed(monday(10, 59, 50));
        td::wallclock::clockChanged();
        QCOMPARE(w->mainTimer->deadline(), monday(11, 0, 30).toMSecsSinceEpoch() + 1);
        QCOMPARE(td::wallclock::armedDelay(), qint64(40001));
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
