// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/InstanceCommands.h"
#include "app/MainSettingsDlg.h"
#include "app/SingleInstance.h"
#include "storage/EventStore.h"
#include "storage/SafeWrite.h"
#include "storage/SettingsFile.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/TestSupport.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace protocol = td::protocol;
using Outcome = td::SingleInstance::Outcome;

namespace {

QString folder()
{
    return td::test::homePath() + "/runtime";
}

/// Another process's "list" after `held` connections that say nothing, as
/// "<delivery> <code><out>"; this process serves meanwhile.
QString listElsewhere(int held = 0, int timeoutMs = 3000)
{
    QString got;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        std::vector<std::unique_ptr<QLocalSocket>> sockets(held);
        for (auto& s : sockets) {
            s = std::make_unique<QLocalSocket>();
            s->connectToServer(folder() + "/Tidra.socket");
            s->waitForConnected(1000);
        }
        protocol::Reply r;
        const auto d = td::SingleInstance("Tidra", folder()).deliver({"list", {}}, &r, timeoutMs);
        got = QString::number(int(d)) + ' ' + QString::number(r.code) + r.out;
    }));
    thread->start();
    while (!thread->wait(5))
        QCoreApplication::processEvents();
    return got;
}

} // namespace

class TestInstance : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        td::test::clearUserData();
        QDir(folder()).removeRecursively();
        QVERIFY(QDir().mkpath(folder()) &&
                QFile::setPermissions(folder(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // Our leftovers at the socket's path are cleared; anything else is named,
    // and Tidra does not run without its socket. 0: answered, 1: nobody, 2: busy.
    void socketPath_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("list");
        QTest::newRow("a crash's socket") << "socket"
                                          << ""
                                          << "0 0list";
        QTest::newRow("an empty folder") << "folder"
                                         << ""
                                         << "0 0list";
        QTest::newRow("a folder with a file") << "folder/file"
                                              << "a folder with files in it is in the way"
                                              << "1 0";
        QTest::newRow("a file") << "file"
                                << "a file that is not Tidra's is in the way"
                                << "1 0";
    }
    void socketPath()
    {
        QFETCH(QString, what);
        QFETCH(QString, error);
        const QString path = folder() + "/Tidra.socket";
        if (what == "socket") {
            sockaddr_un address = {AF_UNIX, {}};
            qstrncpy(address.sun_path, QFile::encodeName(path).constData(), 100);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            ::close(fd);
        } else if (what.startsWith("folder"))
            QVERIFY(
                QDir().mkpath(folder() + "/Tidra." + QString(what).replace("folder", "socket")));
        else
            QVERIFY(td::files::saveFile(path, "mine"));
        td::SingleInstance instance("Tidra", folder());
        QCOMPARE(instance.acquire(100), error.isEmpty() ? Outcome::Acquired : Outcome::Failed);
        QCOMPARE(instance.errorString(),
                 error.isEmpty() ? error : "cannot listen on " + path + ": " + error);
        QCOMPARE(instance.isHeld(), error.isEmpty()); // no lock without a socket
        instance.setHandler([](const protocol::Request& r) {
            return protocol::Reply{0, r.command};
        });
        QTEST(listElsewhere(), "list");
        QCOMPARE(QFileInfo(path).isFile() || QFileInfo(path).isDir(), !error.isEmpty());
    }

    // Held connections never keep a command out; one that comes while Tidra
    // starts is answered then; a Tidra that does not answer is busy, not absent.
    void busy_data()
    {
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("handler"); // -1 none, else ms until it is set
        QTest::addColumn<QString>("list");
        QTest::newRow("as many held as are kept") << 8 << 0 << "0 0list";
        QTest::newRow("far more held") << 40 << 0 << "0 0list";
        QTest::newRow("while starting") << 0 << 100 << "0 0list";
        QTest::newRow("never answering") << 0 << -1 << "2 0";
    }
    void busy()
    {
        QFETCH(int, held);
        QFETCH(int, handler);
        td::SingleInstance first("Tidra", folder());
        QCOMPARE(first.acquire(), Outcome::Acquired);
        if (handler >= 0)
            QTimer::singleShot(handler, &first, [&first] {
                first.setHandler([](const protocol::Request& r) {
                    return protocol::Reply{0, r.command};
                });
            });
        QTEST(listElsewhere(held, 500), "list");
    }

    // Done only once the files are written and Tidra ends; on a full disk the
    // reason, and Tidra runs on with its alarms.
    void quit_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("exitCode"); // 7: it ran on
        QTest::newRow("saved") << false << "0 " << 0;
        QTest::newRow("disk full") << true
                                   << "1 Tidra could not save your alarms: No space left on "
                                      "device. It keeps running with them.\n"
                                   << 7;
    }
    void quit()
    {
        QFETCH(bool, diskFull);
        td::test::PromptRecorder prompts;
        td::test::FullDisk disk(td::EventStore::dataFolder());
        if (diskFull)
            TIDRA_NEED_FULL_DISK(disk);
        auto window = std::make_unique<td::MainSettingsDlg>();
        window->alarmModel().add(td::test::once(td::test::monday.addYears(9), QTime(11, 0)));
        if (diskFull)
            disk.fill();
        const protocol::Reply r = td::runInstanceCommand(*window, {"quit", {}});
        QTEST(QString::number(r.code) + ' ' + r.out + r.err, "reply");
        // The application's loop: a QEventLoop would pass the exit on to every later one.
        QTimer::singleShot(100, qApp, [] { QCoreApplication::exit(7); });
        QTEST(QCoreApplication::exec(), "exitCode");
        QCOMPARE(td::test::fileBytes(td::EventStore::dataFolder() + "/Alarms").contains("Tea"),
                 !diskFull);
        disk.free();
    }

    void farAhead_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addColumn<QString>("err");
        const QString tooFar = "Alarm can not be placed more than 9999 days ahead.";
        QTest::newRow("the last day") << "+9999d"
                                      << "";
        QTest::newRow("an hour more") << "+239977h" << tooFar;
        QTest::newRow("a million days") << "+1000000d" << tooFar;
        QTest::newRow("past 64 bits") << "+99999999999999999999m" << tooFar;
    }
    void farAhead()
    {
        QFETCH(QString, when);
        const QDateTime now(QDate(2026, 5, 4), QTime(10, 0));
        QTEST(td::cli::alarmCommand({when}, now).refusal.err, "err");
    }

    // The settings are the user's alone, also when an older file was open to others.
    void settingsFileMode()
    {
        QVERIFY(td::settingsfile::write({{"tray/middleClick", 2}}));
        const QString file = td::settingsfile::path();
        QCOMPARE(td::test::modeOf(file), 0600);
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadOther));
        QVERIFY(td::settingsfile::write({{"tray/middleClick", 2}}));
        QCOMPARE(td::test::modeOf(file), 0600);
    }

    // The started Tidra gets the toolkit's options; names and messages, which
    // every user could read in its arguments, stay out.
    void detachedArguments()
    {
        QCOMPARE(td::cli::detachedArguments(
                     {"tidra", "-platform", "xcb", "--alarm", "+5m", "Secret", "-reverse"}),
                 QStringList({"-platform", "xcb", "-reverse", "--detached-instance"}));
        QVERIFY(td::cli::parse({"tidra", "--detached-instance"}).detached);
    }
};

TIDRA_TEST_MAIN(TestInstance)
#include "tst_instance.moc"
