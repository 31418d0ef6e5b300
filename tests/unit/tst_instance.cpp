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
using Delivery = td::SingleInstance::Delivery;

namespace {

QString folder()
{
    return td::test::homePath() + "/runtime";
}

/// How another process's request fares after `held` connections that say
/// nothing; this process serves meanwhile.
Delivery listElsewhere(int held = 0, int timeoutMs = 3000)
{
    Delivery got = Delivery::NotRunning;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        std::vector<std::unique_ptr<QLocalSocket>> sockets(held);
        for (auto& s : sockets) {
            s = std::make_unique<QLocalSocket>();
            s->connectToServer(folder() + "/Tidra.socket");
            s->waitForConnected(1000);
        }
        protocol::Reply r;
        got = td::SingleInstance("Tidra", folder()).deliver({"list", {}}, &r, timeoutMs);
    }));
    thread->start();
    while (!thread->wait(5))
        QCoreApplication::processEvents();
    return got;
}

void serve(td::SingleInstance& instance)
{
    instance.setHandler([](const protocol::Request& r) { return protocol::Reply{0, r.command}; });
}

enum class Obstacle { CrashSocket, EmptyFolder, FolderWithFile, File };

} // namespace

Q_DECLARE_METATYPE(Obstacle)
Q_DECLARE_METATYPE(Delivery)

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
    // and Tidra does not run without its socket.
    void socketPath_data()
    {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::addColumn<QString>("error");
        QTest::newRow("a crash's socket") << Obstacle::CrashSocket << "";
        QTest::newRow("an empty folder") << Obstacle::EmptyFolder << "";
        QTest::newRow("a folder with a file")
            << Obstacle::FolderWithFile << "a folder with files in it is in the way";
        QTest::newRow("a file") << Obstacle::File << "a file that is not Tidra's is in the way";
    }
    void socketPath()
    {
        QFETCH(Obstacle, obstacle);
        QFETCH(QString, error);
        const QString path = folder() + "/Tidra.socket";
        if (obstacle == Obstacle::CrashSocket) {
            sockaddr_un address = {AF_UNIX, {}};
            qstrncpy(address.sun_path, QFile::encodeName(path).constData(), 100);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            ::close(fd);
        } else if (obstacle == Obstacle::File) {
            QVERIFY(td::files::saveFile(path, "mine"));
        } else {
            QVERIFY(QDir().mkpath(path));
            if (obstacle == Obstacle::FolderWithFile)
                QVERIFY(td::files::saveFile(path + "/file", "theirs"));
        }
        td::SingleInstance instance("Tidra", folder());
        QCOMPARE(instance.acquire(100), error.isEmpty() ? Outcome::Acquired : Outcome::Failed);
        QCOMPARE(instance.errorString(),
                 error.isEmpty() ? error : "cannot listen on " + path + ": " + error);
        QCOMPARE(instance.isHeld(), error.isEmpty()); // no lock without a socket
        serve(instance);
        QCOMPARE(listElsewhere(), error.isEmpty() ? Delivery::Answered : Delivery::NotRunning);
        const QFileInfo left(path);
        QCOMPARE(left.isFile() || left.isDir(), !error.isEmpty()); // a socket is neither
    }

    // Held connections never keep a command out; one that comes while Tidra
    // starts is answered then; a Tidra that does not answer is busy, not absent.
    void busy_data()
    {
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("serveAfterMs"); // -1: never
        QTest::addColumn<Delivery>("delivery");
        QTest::newRow("far more held than kept") << 40 << 0 << Delivery::Answered;
        QTest::newRow("while starting") << 0 << 100 << Delivery::Answered;
        QTest::newRow("never answering") << 0 << -1 << Delivery::Busy;
    }
    void busy()
    {
        QFETCH(int, held);
        QFETCH(int, serveAfterMs);
        td::SingleInstance first("Tidra", folder());
        QCOMPARE(first.acquire(), Outcome::Acquired);
        if (serveAfterMs >= 0)
            QTimer::singleShot(serveAfterMs, &first, [&first] { serve(first); });
        QTEST(listElsewhere(held, 500), "delivery");
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
