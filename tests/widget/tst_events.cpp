// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmMsgDlg.h"
#include "app/MainSettingsDlg.h"
#include "app/TimerLoader.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/WindowPlacement.h"
#include "storage/EventFiles.h"
#include "tests/common/TestSupport.h"
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
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

QByteArray readFile(const QString& name)
{
    return test::fileBytes(folder() + "/" + name);
}

QByteArray timerBytes(const QByteArray& name, bool visible)
{
    return "Timer\n" + name + "\n1\n2024\n06\n05\n09\n15\n0\n0\n1\n1\n1\n1\n0\n0\n" +
           QByteArray::number(visible) + "\n640\n120\n0\n0\n2\nTimer end\n";
}

// Canonical files, as the program itself writes them. The moments lie after
// the pinned clock, so nothing fires or finishes while the test looks.
const QByteArray alarmsBytes =
    "Alarm\nMorning call\n1\n2024\n06\n05\n07\n30\n1\n2\n0\n1\n1\n1\n1\n1\n0\n2\nGet up\n"
    "Alarm end\nAlarm\nDentist\n1\n2024\n20\n05\n14\n45\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\nAlarm end\n";
const QByteArray timersBytes =
    timerBytes("Tea break", true) +
    "Timer\nDeadline\n0\n2024\n31\n12\n18\n00\n1\n1\n1\n1\n1\n1\n1\n1\n0\n300\n400\n0\n0\n0\n"
    "Timer end\n";
const QByteArray workTimersBytes = "400\n100\n400\n160\n400\n220\n400\n280\n";
const QByteArray scheduleBytes = "Christmas\n0\n2024\n25\n12\n2024\n25\n12\nSummer\n1\n2024\n01\n08"
                                 "\n2024\n14\n08\n";
const QList<std::pair<QString, QByteArray>> allFiles{{"Alarms", alarmsBytes},
                                                     {"Timers", timersBytes},
                                                     {"WorkTimers", workTimersBytes},
                                                     {"WorkSchedule", scheduleBytes}};

} // namespace

class TestEvents : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainSettingsDlg> window;
    test::PromptRecorder* prompts = nullptr;

    // The windows made so far, in the order they were made: after the four work windows.
    QList<TimerMsgDlg*> timerWindows() const { return window->findChildren<TimerMsgDlg*>().mid(4); }

    void start(bool withFiles = false)
    {
        for (const auto& [name, bytes] : allFiles)
            if (withFiles)
                writeFile(name, bytes);
        window = std::make_unique<MainSettingsDlg>();
    }

private slots:
    void init()
    {
        QFile::remove(folder()); // a file left where the folder belongs
        test::clearUserData();
        delete appSettings;
        appSettings = nullptr;
        // Monday 6 May 2024, 10:00, a working morning.
        clock::setFixed(QDateTime(QDate(2024, 5, 6), QTime(10, 0)));
        prompts = new test::PromptRecorder;
    }

    void cleanup()
    {
        window.reset();
        clock::reset();
        delete prompts;
    }

    // The first start makes a folder only its owner may look in; one that cannot be made is
    // told, and nothing is written.
    void dataFolder()
    {
        start();
        QVERIFY(window->settingsFolderCreated && window->alarms.isEmpty());
        QCOMPARE(QFile::permissions(folder()) & 0x7077, QFile::Permissions(0x7000));
        window.reset();
        QFile blocker(folder());
        QVERIFY(QDir(folder()).removeRecursively() && blocker.open(QIODevice::WriteOnly));
        start();
        window->scheduleSave();
        QVERIFY(!window->settingsFolderCreated && !window->saveTimer);
        window.reset();
        QCOMPARE(prompts->titles(), QStringList{"Settings Error"});
        QCOMPARE(prompts->prompts[0].text,
                 "Can't create settings folder " + folder() + ". Check access rights.");
        QVERIFY(QFileInfo(folder()).isFile() && blocker.size() == 0);
    }

    void loadShowsAndSavesBack()
    {
        writeFile("Timers.zGCsbV", "left by a save cut short");
        start(true);
        QCOMPARE(QDir(folder()).entryList(QDir::Files).size(), 4);
        const QList<TimerMsgDlg*> timers = timerWindows();
        QVERIFY(timers[0]->isVisible() && !timers[1]->isVisible() &&
                !window->alarms[0]->isVisible());
        QCOMPARE((QList<QPoint>{timers[0]->getPos(), timers[1]->getPos(),
                                window->lunchTimer->getPos(), window->vacationTimer->getPos()}),
                 (QList<QPoint>{{640, 120}, {300, 400}, {400, 100}, {400, 280}}));
        QVERIFY(window->writeEventFiles());
        for (const auto& [name, bytes] : allFiles)
            QCOMPARE(readFile(name), bytes);
    }

    // Many windows are made a slice at a time from the event loop, in the
    // order of the file; a save meanwhile keeps those still to come.
    void manyTimersLoadInSlices()
    {
        QByteArray bytes;
        QStringList expected;
        for (int i = 0; i < 12; ++i) {
            bytes += timerBytes("T" + QByteArray::number(i), i % 3);
            expected << QString("T%1").arg(i) + (i % 3 ? "" : " hidden");
        }
        writeFile("Timers", bytes);
        TimerLoader::sliceMsecs = 0;
        start();
        QCOMPARE(timerWindows().size(), qsizetype(TimerLoader::FirstSliceWindows));
        QVERIFY(window->writeEventFiles());
        QCOMPARE(readFile("Timers"), bytes);
        // One deleted before its window is made gets none.
        window->timerModel().remove(window->timerModel().ids().at(5));
        expected.removeAt(5);
        QTRY_VERIFY(!window->timerLoader);
        TimerLoader::sliceMsecs = 15;
        QStringList names;
        for (TimerMsgDlg* t : timerWindows())
            names << t->timerRecord().name + (t->isVisible() ? "" : " hidden");
        QCOMPARE(names, expected);
    }

    void saveFailuresAreToldOnceAndRetried()
    {
        start(true);
        const QString told = "Tidra could not save your alarms: Filename refers to a directory. "
                             "They are kept in memory and saved again when possible.";
        const QString blocked = folder() + "/Alarms";
        // A change not yet written is saved by Quit, which then asks nothing.
        appSettings->holidays.removeLast();
        window->scheduleSave();
        QVERIFY(window->saveTimer->isActive() && window->confirmQuit());
        QCOMPARE(readFile("WorkSchedule"), scheduleBytes.left(scheduleBytes.indexOf("Summer")));
        QVERIFY(QFile::remove(blocked) && QDir().mkdir(blocked));
        appSettings->holidays.removeFirst();
        window->scheduleSave();
        QMetaObject::invokeMethod(window->saveTimer, "timeout");
        QCOMPARE(prompts->notices, QStringList{told});
        QCOMPARE(readFile("WorkSchedule"), QByteArray()); // the other files are written
        QTimer* retry = window->retryTimer;
        QVERIFY(retry->isActive() && retry->interval() == 60 * 1000);
        // Failing again, after a change or on the retry, says nothing more.
        window->scheduleSave();
        QMetaObject::invokeMethod(window->saveTimer, "timeout");
        QMetaObject::invokeMethod(retry, "timeout");
        QCOMPARE(prompts->notices.size(), 1);
        QVERIFY(retry->isActive() && QDir().rmdir(blocked));
        QMetaObject::invokeMethod(retry, "timeout");
        QVERIFY(readFile("Alarms") == alarmsBytes && !retry->isActive());
        // A new streak is told again.
        QVERIFY(QFile::remove(blocked) && QDir().mkdir(blocked));
        window->saveEvents();
        QCOMPARE(prompts->notices, (QStringList{told, "Tidra saved your alarms again.", told}));
        // Quit asks before the unsaved changes are thrown away.
        QVERIFY(prompts->questions.isEmpty() && !window->confirmQuit());
        prompts->answer = true;
        QVERIFY(window->confirmQuit() && prompts->questions[0].startsWith(told.left(65) + "\n"));
    }

    // A file read in part is kept aside whole before the next save.
    void partlyReadFileIsKeptAside()
    {
        const QByteArray tooLong = "Alarm\n" + QByteArray(events::maxLineChars + 1, 'n') +
                                   alarmsBytes.mid(alarmsBytes.indexOf("\n1\n"));
        writeFile("Alarms", tooLong);
        start();
        QCOMPARE(window->alarms.size(), 2);
        const QString path = folder() + "/Alarms";
        QCOMPARE(prompts->notices,
                 QStringList{"Tidra could not read all of " + path +
                             ": it is too large. The whole file is kept as " + path + ".bak."});
        QVERIFY(window->writeEventFiles());
        QVERIFY(readFile("Alarms.bak") == tooLong && readFile("Alarms") != tooLong);
    }
};

TIDRA_TEST_MAIN(TestEvents)
#include "tst_events.moc"
