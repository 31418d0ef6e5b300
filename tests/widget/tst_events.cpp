// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmModel.h"
#include "app/InstanceCommands.h"
#include "app/MainSettingsDlg.h"
#include "app/TimerLoader.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "storage/EventStore.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerMsgDlg.h"

using namespace td;

namespace {

QString folder()
{
    return EventStore::dataFolder();
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
           QByteArray::number(visible) + "\n640\n120\n0\n0\n2\n-\n0\n-\n-\nTimer end\n";
}

// One alarm a "Name hh:mm", on the day of the pinned clock.
QByteArray alarmsFile(const QStringList& alarms)
{
    QList<events::AlarmEntry> entries;
    for (const QString& alarm : alarms)
        entries << events::AlarmEntry(test::alarm(alarm));
    return events::formatAlarms(entries);
}

// The moments lie after the pinned clock, so nothing fires or finishes while the test looks.
const QStringList twoAlarms{"Morning 11:00", "Dentist 14:45"};
const QByteArray workTimersBytes = "400\n100\n400\n160\n400\n220\n400\n280\n";

} // namespace

class TestEvents : public QObject
{
    Q_OBJECT

    test::PromptRecorder* prompts = nullptr;
    std::unique_ptr<MainSettingsDlg> window;
    std::unique_ptr<EventStore> store;
    std::unique_ptr<AlarmModel> model;

    // A store over a fresh model, as the program makes them at a start.
    void startStore(bool load = true)
    {
        store.reset();
        model = std::make_unique<AlarmModel>();
        store = std::make_unique<EventStore>(*model, nullptr);
        if (load)
            store->load();
    }
    void fire(const QString& timerName)
    {
        auto* timer = test::child<QTimer>(store.get(), timerName);
        QVERIFY(timer->isActive());
        QMetaObject::invokeMethod(timer, "timeout");
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
        store.reset();
        model.reset();
        clock::reset();
        delete prompts;
    }

    // Nothing is written before the files were read; the first load makes a folder only its
    // owner may enter, and only the first is a first start. One that cannot be made is told.
    void dataFolder()
    {
        startStore(false);
        model->add(test::alarm("Tea 10:30"));
        QVERIFY(!store->saveNow() && !store->savePending() && !QFileInfo::exists(folder()));
        store->load();
        QVERIFY(store->folderCreated() && model->count() == 1);
        QCOMPARE(test::modeOf(folder()), 0700);
        startStore();
        QVERIFY(!store->folderCreated());
        QVERIFY(QDir(folder()).removeRecursively() && QFile(folder()).open(QIODevice::WriteOnly));
        startStore();
        model->add(test::alarm("Tea 10:30"));
        QVERIFY(!store->savePending() && !store->saveNow());
        QCOMPARE(prompts->prompts, QStringList{"Settings Error: Can't create settings folder " +
                                               folder() + ". Check access rights."});
    }

    // Loading sweeps what interrupted saves left and writes nothing; a change
    // is written soon, once for a burst of them.
    void changesAreSavedSoon()
    {
        writeFile("Alarms", alarmsFile(twoAlarms));
        writeFile("Alarms.zGCsbV", "left by a save cut short");
        startStore();
        QVERIFY(model->count() == 2 && !store->savePending());
        QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList{"Alarms"});
        model->remove(model->idAt(0));
        model->add(test::alarm("Tea 10:30"));
        fire("eventSaveTimer");
        QCOMPARE(readFile("Alarms"), alarmsFile({"Dentist 14:45", "Tea 10:30"}));
    }

    void saveFailuresAreToldOnceAndRetried()
    {
        startStore();
        store->setSources({[] { return QList<events::TimerEntry>(); }, {}});
        const QString told = "Tidra could not save your alarms: Filename refers to a directory. "
                             "They are kept in memory and saved again when possible.";
        // A change not yet written is saved by Quit, which then asks nothing.
        model->add(test::alarm("Tea 10:30"));
        QVERIFY(store->savePending() && store->confirmQuit());
        QVERIFY(readFile("Alarms").contains("Tea") && prompts->questions.isEmpty());
        const QString blocked = folder() + "/Alarms";
        QVERIFY(QFile::remove(blocked) && QDir().mkdir(blocked) &&
                QFile::remove(folder() + "/Timers"));
        model->add(test::alarm("Soup 12:00"));
        fire("eventSaveTimer");
        QCOMPARE(prompts->notices, QStringList{told});
        QCOMPARE(readFile("Timers"), QByteArray()); // the other files are written
        auto* retry = test::child<QTimer>(store.get(), "eventRetryTimer");
        QVERIFY(retry->isActive() && retry->interval() == 60 * 1000);
        // Failing again, after a change or on the retry, says nothing more.
        model->add(test::alarm("Cake 15:00"));
        fire("eventSaveTimer");
        fire("eventRetryTimer");
        QCOMPARE(prompts->notices.size(), 1);
        QVERIFY(retry->isActive() && QDir().rmdir(blocked));
        fire("eventRetryTimer");
        QVERIFY(readFile("Alarms").contains("Cake") && !retry->isActive());
        // A new streak is told again.
        QVERIFY(QFile::remove(blocked) && QDir().mkdir(blocked) && !store->saveNow());
        QCOMPARE(prompts->notices, (QStringList{told, "Tidra saved your alarms again.", told}));
        // Quit asks before the unsaved changes are thrown away.
        QVERIFY(prompts->questions.isEmpty() && !store->confirmQuit());
        prompts->answer = true;
        QVERIFY(store->confirmQuit() && prompts->questions[0].startsWith(told.left(65) + "\n"));
    }

    // A file read in part is kept aside whole before the next save; when no
    // copy can be made, it is never written.
    void partlyReadFile_data()
    {
        QTest::addColumn<bool>("copyFits");
        QTest::addColumn<QString>("told");
        QTest::newRow("kept aside") << true << "The whole file is kept as %1.bak.";
        QTest::newRow("no room for a copy")
            << false
            << "No copy of it could be kept, so Tidra leaves it as it is and does not save "
               "changes to it.";
    }
    void partlyReadFile()
    {
        QFETCH(bool, copyFits);
        QFETCH(QString, told);
        const QByteArray alarms = alarmsFile(twoAlarms);
        const QByteArray tooLong = "Alarm\n" + QByteArray(events::maxLineChars + 1, 'n') +
                                   alarms.mid(alarms.indexOf("\n1\n"));
        test::FullDisk disk(folder(), 256, 16);
        TIDRA_NEED_FULL_DISK(disk);
        writeFile("Alarms", tooLong);
        const QString path = folder() + "/Alarms";
        if (!copyFits)
            disk.fillEntries();
        startStore();
        disk.free();
        QCOMPARE(model->count(), 2);
        QCOMPARE(prompts->notices, QStringList{"Tidra could not read all of " + path +
                                               ": it is too large. " + told.arg(path)});
        model->add(test::alarm("Tea 10:30"));
        QVERIFY(store->saveNow());
        QCOMPARE(readFile("Alarms") == tooLong, !copyFits);
        QVERIFY(!copyFits || readFile("Alarms.bak") == tooLong);
    }

    void reminderSurvivesARestart()
    {
        startStore();
        const Reminder later{test::at("2024-05-06 10:05").toMSecsSinceEpoch(),
                             RingShow::Notification, 300};
        model->add(test::alarm("Tea 09:00"), {}, later);
        QVERIFY(store->saveNow());
        startStore();
        QCOMPARE(model->count(), 1);
        QVERIFY(model->alarms()[0].reminder == later);
    }

    // The reply to --alarm is true: "set" once the file holds it, otherwise a refusal with
    // the reason, and the alarm is not kept.
    void alarmCommand_data()
    {
        QTest::addColumn<int>("existing");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("reply");
        QTest::newRow("saved") << 0 << false << "0 Alarm \"Tea\" is set for 2024-05-06 10:25.\n";
        QTest::newRow("disk full")
            << 0 << true << "1 Tidra could not save it: No space left on device.\n";
        QTest::newRow("list full")
            << AlarmModel::maxAlarms << false << "1 " + AlarmModel::fullMessage() + "\n";
    }
    void alarmCommand()
    {
        QFETCH(int, existing);
        QFETCH(bool, diskFull);
        test::FullDisk disk(folder());
        if (diskFull)
            TIDRA_NEED_FULL_DISK(disk);
        window = std::make_unique<MainSettingsDlg>();
        AlarmModel& alarms = window->alarmModel();
        for (int i = 0; i < existing; ++i)
            alarms.add(test::alarm("Old 11:00"));
        if (diskFull)
            disk.fill();
        const protocol::Reply r = runInstanceCommand(*window, {"alarm", {"+25m", "Tea"}});
        QTEST(QString::number(r.code) + ' ' + r.out + r.err, "reply");
        QCOMPARE(alarms.count(), existing + (r.code == 0));
        QVERIFY(r.code || alarms.alarms().last().nextShowMsecs() ==
                              test::at("2024-05-06 10:25").toMSecsSinceEpoch());
        QCOMPARE(readFile("Alarms").contains("Tea"), r.code == 0);
    }

    // The windows made so far, in the order they were made: after the four work windows.
    QList<TimerMsgDlg*> timerWindows() const { return window->findChildren<TimerMsgDlg*>().mid(4); }

    // Many windows are made a slice at a time from the event loop, in the order of the file,
    // shown or hidden as they were; a save meanwhile keeps those still to come. Each work
    // window stands where it stood.
    void manyTimersLoadInSlices()
    {
        QByteArray bytes;
        QStringList expected;
        for (int i = 0; i < 12; ++i) {
            bytes += timerBytes("T" + QByteArray::number(i), i % 3);
            expected << QString("T%1").arg(i) + (i % 3 ? "" : " hidden");
        }
        writeFile("Timers", bytes);
        writeFile("WorkTimers", workTimersBytes);
        TimerLoader::sliceMsecs = 0;
        window = std::make_unique<MainSettingsDlg>();
        const auto work = window->workWindows();
        QCOMPARE((QList<QPoint>{work[0]->getPos(), work[3]->getPos()}),
                 (QList<QPoint>{{400, 100}, {400, 280}}));
        QCOMPARE(timerWindows().size(), qsizetype(TimerLoader::FirstSliceWindows));
        QVERIFY(window->store().saveNow());
        QCOMPARE(readFile("Timers"), bytes);
        QCOMPARE(readFile("WorkTimers"), workTimersBytes);
        // One deleted before its window is made gets none.
        window->timerModel().remove(window->timerModel().ids().at(5));
        expected.removeAt(5);
        QTRY_COMPARE(timerWindows().size(), qsizetype(11));
        TimerLoader::sliceMsecs = 15;
        QStringList names;
        for (TimerMsgDlg* t : timerWindows())
            names << t->timerRecord().name + (t->isVisible() ? "" : " hidden");
        QCOMPARE(names, expected);
    }
};

TIDRA_TEST_MAIN(TestEvents)
#include "tst_events.moc"
