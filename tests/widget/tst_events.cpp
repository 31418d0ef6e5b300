#include "alarms/AlarmMsgDlg.h"
#include "app/AppSettings.h"
#include "app/Clock.h"
#include "app/MainSettingsDlg.h"
#include "app/WindowPlacement.h"
#include "storage/EventFiles.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerLoader.h"
#include "timers/TimerMsgDlg.h"
#include "ui_maindialog.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QSettings>
#include <QTimer>
#include <memory>

using namespace td;

namespace {

QString folder()
{
    return test::homePath() + "/.Tidra";
}

void writeFile(const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(folder());
    QFile f(folder() + "/" + name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& name)
{
    QFile f(folder() + "/" + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Canonical files, as the program itself writes them. The moments lie after
// the pinned clock, so nothing fires or finishes while the test looks.
const QByteArray alarmsBytes =
    "Alarm\nMorning call\n1\n2024\n06\n05\n07\n30\n1\n2\n0\n1\n1\n1\n1\n1\n0\n2\nGet up\nAlarm "
    "end\n"
    "Alarm\nDentist\n1\n2024\n20\n05\n14\n45\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\nAlarm end\n";
const QByteArray timersBytes =
    "Timer\nTea break\n1\n2024\n06\n05\n09\n15\n0\n0\n1\n1\n1\n1\n0\n0\n1\n640\n120\nTimer end\n"
    "Timer\nDeadline\n0\n2024\n31\n12\n18\n00\n1\n1\n1\n1\n1\n1\n1\n1\n0\n300\n400\nTimer end\n";
const QByteArray workTimersBytes = "400\n100\n400\n160\n400\n220\n400\n280\n";
const QByteArray scheduleBytes = "Christmas\n0\n2024\n25\n12\n2024\n25\n12\nSummer\n1\n2024\n01\n08"
                                 "\n2024\n14\n08\n";

void writeAllFiles()
{
    writeFile("Alarms", alarmsBytes);
    writeFile("Timers", timersBytes);
    writeFile("WorkTimers", workTimersBytes);
    writeFile("WorkSchedule", scheduleBytes);
}

} // namespace

class TestEvents : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainSettingsDlg> window;

    void start() { window = std::make_unique<MainSettingsDlg>(); }

private slots:
    void init()
    {
        QFile::remove(folder()); // a file left where the folder belongs
        test::clearUserData();
        delete appSettings;
        appSettings = nullptr;
        // Monday 6 May 2024, 10:00, a working morning.
        clock::setFixed(QDateTime(QDate(2024, 5, 6), QTime(10, 0)));
    }

    void cleanup()
    {
        window.reset();
        clock::reset();
    }

    void firstStartThenLaterStart()
    {
        test::PromptRecorder prompts;
        QVERIFY(!QFileInfo::exists(folder()));
        start();
        QVERIFY(window->settingsFolderCreated);
        QVERIFY(QFileInfo(folder()).isDir());
        // Only its owner may look into the folder.
        QCOMPARE(QFile::permissions(folder()) & 0x7077,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(window->alarms.isEmpty() && window->timers.isEmpty());
        window.reset();
        // Every file exists after the first run, the empty ones empty.
        for (const char* name : {"Alarms", "Timers", "WorkSchedule"})
            QCOMPARE(readFile(name), QByteArray());
        QCOMPARE(readFile("WorkTimers").count('\n'), 8);
        // A later start tidies the folder: private, without leftovers of saves.
        writeFile("Timers.zGCsbV", "left by a save cut short");
        QVERIFY(QFile::setPermissions(folder(), QFile::Permissions(0x7755)) &&
                QFile::setPermissions(folder() + "/Alarms", QFile::Permissions(0x6644)));
        start();
        QVERIFY(!window->settingsFolderCreated);
        QVERIFY(prompts.prompts.isEmpty());
        QCOMPARE(QFile::permissions(folder()) & 0x7077, QFile::Permissions(0x7000));
        QCOMPARE(QFile::permissions(folder() + "/Alarms") & 0x7077, QFile::Permissions(0x6000));
        QCOMPARE(QDir(folder()).entryList(QDir::Files).size(), 4);
    }

    void folderThatCannotBeCreated()
    {
        test::PromptRecorder prompts;
        QFile blocker(folder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.write("not a folder");
        blocker.close();
        start();
        QCOMPARE(prompts.prompts.size(), 1);
        QCOMPARE(prompts.prompts[0].kind, prompts::Kind::Critical);
        QCOMPARE(prompts.prompts[0].title, QString("Settings Error"));
        QCOMPARE(prompts.prompts[0].text,
                 "Can't create settings folder " + folder() + ". Check access rights.");
        QVERIFY(!window->settingsFolderCreated);
        window->scheduleSave();
        QVERIFY(!window->saveTimer || !window->saveTimer->isActive());
        window.reset(); // leaving writes nothing either
        QCOMPARE(prompts.prompts.size(), 1);
        QVERIFY(blocker.open(QIODevice::ReadOnly));
        QCOMPARE(blocker.readAll(), QByteArray("not a folder"));
    }

    void loadShowsAndSavesBack()
    {
        QSettings("Morvane", "Tidra").setValue("work/TimeToVacation", true);
        writeAllFiles();
        start();
        QCOMPARE(window->ui->alarmsList->count(), 2);
        QCOMPARE(window->ui->alarmsList->item(0)->text(), QString("Morning call"));
        QCOMPARE(window->ui->alarmsList->currentRow(), 1);
        QVERIFY(!window->alarms[0]->isVisible() && !window->alarms[1]->isVisible());
        QCOMPARE(window->ui->timersList->item(0)->text(), QString("Tea break"));
        QCOMPARE(window->ui->timersList->currentRow(), 1);
        TimerMsgDlg* tea = window->timers[0];
        TimerMsgDlg* deadline = window->timers[1];
        QVERIFY(tea->isVisible() && tea->tickTimer->isActive());
        QVERIFY(!deadline->isVisible());
        QCOMPARE(tea->getPos(), QPoint(640, 120));
        QCOMPARE(deadline->getPos(), QPoint(300, 400));
        QCOMPARE(window->lunchTimer->getPos(), QPoint(400, 100));
        // The vacation target comes from the holidays, read after the window was
        // placed; taking its size then must not move its centre.
        QVERIFY(window->vacationTimer->isVisible());
        QCOMPARE(window->vacationTimer->getPos(), QPoint(400, 280));

        QVERIFY(window->writeEventFiles());
        QCOMPARE(readFile("Alarms"), alarmsBytes);
        QCOMPARE(readFile("Timers"), timersBytes);
        QCOMPARE(readFile("WorkTimers"), workTimersBytes);
        QCOMPARE(readFile("WorkSchedule"), scheduleBytes);
        // A window hidden at start keeps its centre when shown.
        deadline->show();
        QCOMPARE(deadline->getPos(), QPoint(300, 400));
    }

    void windowsOffTheDesktopComeBack_data()
    {
        QTest::addColumn<QPoint>("saved");
        QTest::newRow("far left") << QPoint(-5000, 300);
        QTest::newRow("short work file reads 0") << QPoint(0, 0);
    }

    void windowsOffTheDesktopComeBack()
    {
        QFETCH(QPoint, saved);
        writeFile("Timers", "Timer\nGone\n1\n2024\n06\n05\n09\n15\n0\n0\n1\n1\n1\n1\n0\n0\n1\n" +
                                QByteArray::number(saved.x()) + "\n" +
                                QByteArray::number(saved.y()) + "\nTimer end\n");
        writeFile("WorkTimers",
                  QByteArray::number(saved.x()) + "\n" + QByteArray::number(saved.y()) + "\n");
        start();
        const QRect desktop = availableDesktop();
        for (TimerMsgDlg* w : {window->timers.value(0), window->lunchTimer, window->dayEndTimer}) {
            QVERIFY(w);
            QVERIFY(desktop.contains(w->geometry().topLeft()));
            QVERIFY(desktop.contains(w->getPos()));
        }
    }

    // Started on a Saturday, every work window stays hidden; their stored
    // places near the corner must survive, and Monday shows them there.
    void hiddenWorkWindowsKeepTheirPlace()
    {
        const QByteArray nearCorner = "100\n60\n100\n170\n100\n280\n100\n390\n";
        writeFile("WorkTimers", nearCorner);
        clock::setFixed(QDateTime(QDate(2024, 5, 4), QTime(10, 0)));
        start();
        for (TimerMsgDlg* w :
             {window->lunchTimer, window->dayEndTimer, window->holidayTimer, window->vacationTimer})
            QVERIFY(!w->isVisible());
        QVERIFY(window->writeEventFiles());
        QCOMPARE(readFile("WorkTimers"), nearCorner);

        clock::setFixed(QDateTime(QDate(2024, 5, 6), QTime(10, 0)));
        window->updateWorkingTimersVisibility();
        TimerMsgDlg* lunch = window->lunchTimer;
        QVERIFY(lunch->isVisible());
        // Small enough to sit wholly on the desktop around its centre.
        QVERIFY(lunch->width() <= 200 && lunch->height() <= 120);
        QCOMPARE(lunch->getPos(), QPoint(100, 60));
        QCOMPARE(window->dayEndTimer->getPos(), QPoint(100, 170));
    }

    void changesAreSavedSoon()
    {
        writeAllFiles();
        start();
        QVERIFY(window->saveTimer == nullptr || !window->saveTimer->isActive());
        appSettings->holidays.removeFirst();
        window->scheduleSave();
        QTimer* timer = window->saveTimer;
        QVERIFY(timer && timer->isActive());
        QVERIFY(timer->interval() > 0 && timer->interval() <= 1000);
        QCOMPARE(readFile("WorkSchedule"), scheduleBytes);
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(readFile("WorkSchedule"), scheduleBytes.mid(scheduleBytes.indexOf("Summer")));
        QVERIFY(!timer->isActive());
    }

    void movedTimerWindowIsSavedSoon()
    {
        writeAllFiles();
        start();
        TimerMsgDlg* t = window->timers.value(0);
        QVERIFY(t);
        t->show();
        QCoreApplication::processEvents();
        if (window->saveTimer)
            window->saveTimer->stop();
        // Not a drag: the window manager or the keyboard moved it.
        t->move(t->pos() + QPoint(37, 23));
        QVERIFY(window->saveTimer && window->saveTimer->isActive());
        const QPoint centre = centreOf(t);
        QMetaObject::invokeMethod(window->saveTimer, "timeout");
        const QList<QByteArray> lines = readFile("Timers").split('\n');
        QVERIFY(lines.contains(QByteArray::number(centre.x())));
        QVERIFY(lines.contains(QByteArray::number(centre.y())));
    }

    // Many windows are made a slice at a time from the event loop, in the
    // order of the file; a save meanwhile keeps those still to come.
    void manyTimersLoadInSlices()
    {
        QByteArray bytes;
        for (int i = 0; i < 12; ++i)
            bytes += "Timer\nT" + QByteArray::number(i) +
                     "\n1\n2024\n06\n05\n09\n15\n0\n0\n1\n1\n1\n1"
                     "\n0\n0\n" +
                     QByteArray::number(i % 3 ? 1 : 0) + "\n640\n120\nTimer end\n";
        writeFile("Timers", bytes);
        TimerLoader::sliceMsecs = 0;
        start();
        QCOMPARE(window->timers.size(), qsizetype(TimerLoader::FirstSliceWindows));
        QVERIFY(window->writeEventFiles());
        QCOMPARE(readFile("Timers"), bytes);
        QTRY_VERIFY(!window->timerLoader);
        TimerLoader::sliceMsecs = 15;
        QStringList names;
        for (TimerMsgDlg* t : std::as_const(window->timers))
            names << t->timerRecord().name + (t->isVisible() ? "" : " hidden");
        QCOMPARE(names, QStringList({"T0 hidden", "T1", "T2", "T3 hidden", "T4", "T5", "T6 hidden",
                                     "T7", "T8", "T9 hidden", "T10", "T11"}));
        QVERIFY(window->writeEventFiles());
        QCOMPARE(readFile("Timers"), bytes);
    }

    void saveFailuresAreToldOnceAndRetried()
    {
        test::PromptRecorder prompts;
        writeAllFiles();
        start();
        const QString told = "Tidra could not save your alarms: Filename refers to a directory. "
                             "They are kept in memory and saved again when possible.";
        const QString blocked = folder() + "/Alarms";
        // A change not yet written is saved by Quit, which then asks nothing.
        appSettings->holidays.removeLast();
        window->scheduleSave();
        QVERIFY(window->confirmQuit());
        QCOMPARE(readFile("WorkSchedule"), scheduleBytes.left(scheduleBytes.indexOf("Summer")));
        QVERIFY(QFile::remove(blocked) && QDir().mkdir(blocked));
        appSettings->holidays.removeFirst();
        window->scheduleSave();
        QMetaObject::invokeMethod(window->saveTimer, "timeout");
        QCOMPARE(prompts.notices, QStringList{told});
        QCOMPARE(readFile("WorkSchedule"), QByteArray()); // the other files are written
        QTimer* retry = window->retryTimer;
        QVERIFY(retry && retry->isActive() && retry->interval() == 60 * 1000);
        // Failing again, after a change or on the retry, says nothing more.
        window->scheduleSave();
        QMetaObject::invokeMethod(window->saveTimer, "timeout");
        QMetaObject::invokeMethod(retry, "timeout");
        QCOMPARE(prompts.notices.size(), 1);
        QVERIFY(retry->isActive() && QDir().rmdir(blocked));
        QMetaObject::invokeMethod(retry, "timeout");
        QCOMPARE(readFile("Alarms"), alarmsBytes);
        QVERIFY(!retry->isActive());
        // A new streak is told again.
        QVERIFY(QFile::remove(blocked) && QDir().mkdir(blocked));
        window->saveEvents();
        QCOMPARE(prompts.notices, (QStringList{told, "Tidra saved your alarms again.", told}));
        // Quit asks before the unsaved changes are thrown away; so does the tray's.
        QVERIFY(prompts.questions.isEmpty() && !window->confirmQuit());
        prompts.answer = true;
        QVERIFY(window->confirmQuit());
        window->quitAction->trigger();
        QCOMPARE(prompts.questions.size(), 3);
        QVERIFY(prompts.questions[0].startsWith("Tidra could not save your alarms: Filename "
                                                "refers to a directory.\n"));
    }

    void partlyReadFileIsKeptAside_data()
    {
        QTest::addColumn<int>("copiesBefore");
        QTest::addColumn<QString>("told");
        QTest::newRow("kept") << 0 << "The whole file is kept as %1.bak.";
        QTest::newRow("no name left for a copy")
            << 999
            << "No copy of it could be kept, so Tidra leaves it as it is and does not "
               "save changes to it.";
    }
    void partlyReadFileIsKeptAside()
    {
        QFETCH(int, copiesBefore);
        QFETCH(QString, told);
        test::PromptRecorder prompts;
        const QByteArray tooLong = "Alarm\n" + QByteArray(events::maxLineChars + 1, 'n') +
                                   alarmsBytes.mid(alarmsBytes.indexOf("\n1\n"));
        writeFile("Alarms", tooLong);
        for (int n = 1; n <= copiesBefore; ++n)
            writeFile("Alarms.bak" + (n > 1 ? "." + QString::number(n) : QString()), "other");
        start();
        QCOMPARE(window->alarms.size(), 2);
        QCOMPARE(prompts.notices,
                 QStringList{"Tidra could not read all of " + folder() +
                             "/Alarms: it is too large. " + told.arg(folder() + "/Alarms")});
        QVERIFY(window->writeEventFiles());
        const bool kept = copiesBefore == 0;
        QCOMPARE(readFile("Alarms.bak"), kept ? tooLong : QByteArray("other"));
        QCOMPARE(readFile("Alarms") == tooLong, !kept);
        window.reset();
        start();
        QCOMPARE(prompts.notices.size(), kept ? 1 : 2);
        QCOMPARE(QDir(folder()).entryList({"Alarms.bak*"}).size(), qMax(1, copiesBefore));
    }
};

TIDRA_TEST_MAIN(TestEvents)
#include "tst_events.moc"
