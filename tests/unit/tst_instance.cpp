// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmModel.h"
#include "app/CommandLine.h"
#include "app/InstanceCommands.h"
#include "app/MainSettingsDlg.h"
#include "app/SingleInstance.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "storage/EventStore.h"
#include "storage/SafeWrite.h"
#include "storage/SettingsFile.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/TestSupport.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace protocol = td::protocol;
using Outcome = td::SingleInstance::Outcome;
using Delivery = td::SingleInstance::Delivery;
Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(Delivery)

namespace {

/// Runs `work` as another process would, while this one serves.
template <typename Work> auto elsewhere(Work work)
{
    decltype(work()) result;
    std::unique_ptr<QThread> thread(QThread::create([&] { result = work(); }));
    thread->start();
    while (!thread->wait(5))
        QCoreApplication::processEvents();
    return result;
}

/// What a row puts at the socket's path.
enum class Obstacle {
    Nothing,
    StaleSocket,
    Link,
    EmptyFolder,
    FullFolder,
    File,
    MuteServer,
    FullQueue
};

sockaddr_un addressOf(const QString& path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
    return address;
}

/// A socket bound at `path`; a crash leaves it so, closed and never listening.
int boundSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = addressOf(path);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

/// Listens at `path` and never accepts, its queue full: a connect has to
/// wait. The descriptors to close go to `fds`.
bool fullQueue(const QString& path, std::vector<int>& fds)
{
    fds.push_back(boundSocket(path));
    if (fds.back() < 0 || ::listen(fds.back(), 0) != 0)
        return false;
    const sockaddr_un address = addressOf(path);
    for (int i = 0; i < 16; ++i) {
        fds.push_back(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0));
        if (::connect(fds.back(), reinterpret_cast<const sockaddr*>(&address), sizeof address))
            return errno == EAGAIN;
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Obstacle)

class TestInstance : public QObject
{
    Q_OBJECT

    static QString folder() { return td::test::homePath() + "/runtime"; }
    std::vector<int> m_fds;

    void put(const QString& path, Obstacle what)
    {
        switch (what) {
        case Obstacle::StaleSocket: {
            const int fd = boundSocket(path);
            QVERIFY(fd >= 0);
            ::close(fd);
            break;
        }
        case Obstacle::FullQueue:
            QVERIFY(fullQueue(path, m_fds));
            break;
        case Obstacle::Link:
            QVERIFY(QFile::link(folder() + "/precious", path));
            break;
        case Obstacle::FullFolder:
            QVERIFY(QDir().mkpath(path + "/inside"));
            break;
        case Obstacle::EmptyFolder:
            QVERIFY(QDir().mkpath(path));
            break;
        case Obstacle::File:
            QVERIFY(td::files::saveFile(path, "mine"));
            break;
        case Obstacle::Nothing:
        case Obstacle::MuteServer:
            break;
        }
    }

private slots:
    void cleanup()
    {
        for (int fd : std::exchange(m_fds, {}))
            ::close(fd);
    }
    void init()
    {
        td::test::clearUserData();
        QDir(folder()).removeRecursively();
        QDir().mkpath(folder());
        QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(td::files::saveFile(folder() + "/precious", "keep"));
    }

    // Ours is cleared like the lock's leftovers; what is not is named, and
    // Tidra does not run without a socket.
    void socketPath_data()
    {
        QTest::addColumn<Obstacle>("what");
        QTest::addColumn<QString>("error"); // empty: acquired
        QTest::newRow("a crash's socket") << Obstacle::StaleSocket << "";
        QTest::newRow("a link") << Obstacle::Link << "";
        QTest::newRow("an empty folder") << Obstacle::EmptyFolder << "";
        QTest::newRow("a folder with a file")
            << Obstacle::FullFolder << "a folder with files in it is in the way";
        QTest::newRow("a file") << Obstacle::File << "a file that is not Tidra's is in the way";
    }
    void socketPath()
    {
        QFETCH(Obstacle, what);
        QFETCH(QString, error);
        const QString path = folder() + "/Tidra.socket";
        put(path, what);
        td::SingleInstance instance("Tidra", folder());
        QCOMPARE(instance.acquire(100), error.isEmpty() ? Outcome::Acquired : Outcome::Failed);
        QCOMPARE(instance.errorString(),
                 error.isEmpty() ? error : "cannot listen on " + path + ": " + error);
        QCOMPARE(instance.isHeld(), error.isEmpty());
        QCOMPARE(td::test::fileBytes(folder() + "/precious"), QByteArray("keep"));
        if (error.isEmpty())
            QCOMPARE(elsewhere([] {
                         protocol::Reply reply;
                         return td::SingleInstance("Tidra", folder()).deliver({"ping", {}}, &reply);
                     }),
                     Delivery::Answered);
        else
            QVERIFY(QFileInfo::exists(what == Obstacle::File ? path : path + "/inside"));
    }

    // Not running only when nothing listens; one that does not answer is busy.
    void delivery_data()
    {
        QTest::addColumn<Obstacle>("what");
        QTest::addColumn<Delivery>("delivery");
        QTest::newRow("nothing there") << Obstacle::Nothing << Delivery::NotRunning;
        QTest::newRow("a crash's socket") << Obstacle::StaleSocket << Delivery::NotRunning;
        QTest::newRow("listening, never answering") << Obstacle::MuteServer << Delivery::Busy;
        QTest::newRow("listening, its queue full") << Obstacle::FullQueue << Delivery::Busy;
    }
    void delivery()
    {
        QFETCH(Obstacle, what);
        const QString path = folder() + "/Tidra.socket";
        put(path, what);
        QLocalServer mute;
        QVERIFY(what != Obstacle::MuteServer || mute.listen(path));
        QElapsedTimer clock;
        clock.start();
        const Delivery got = elsewhere([] {
            protocol::Reply reply;
            return td::SingleInstance("Tidra", folder()).deliver({"list", {}}, &reply, 300);
        });
        QTEST(got, "delivery");
        QVERIFY(clock.elapsed() < 2000);
    }

    // Connections held open without a word never keep a command out, however
    // many; one that comes while Tidra is starting is answered once it can be.
    void heldConnections_data()
    {
        QTest::addColumn<int>("held");
        QTest::addColumn<bool>("starting");
        QTest::newRow("none") << 0 << false;
        QTest::newRow("as many as are kept") << 8 << false;
        QTest::newRow("far more") << 40 << false;
        QTest::newRow("while starting") << 0 << true;
    }
    void heldConnections()
    {
        QFETCH(int, held);
        QFETCH(bool, starting);
        td::SingleInstance first("Tidra", folder());
        QCOMPARE(first.acquire(), Outcome::Acquired);
        const auto handler = [](const protocol::Request& r) {
            return protocol::Reply{0, r.command, QString()};
        };
        if (starting)
            QTimer::singleShot(0, &first, [&first, handler] { first.setHandler(handler); });
        else
            first.setHandler(handler);
        const QString got = elsewhere([held] {
            std::vector<std::unique_ptr<QLocalSocket>> sockets;
            for (int i = 0; i < held; ++i) {
                sockets.push_back(std::make_unique<QLocalSocket>());
                sockets.back()->connectToServer(folder() + "/Tidra.socket");
                sockets.back()->waitForConnected(1000);
            }
            protocol::Reply reply;
            const Delivery d =
                td::SingleInstance("Tidra", folder()).deliver({"list", {}}, &reply, 3000);
            return QString::number(int(d)) + ' ' + QString::number(reply.code) + reply.out;
        });
        QCOMPARE(got, QString("0 0list"));
    }

    // "quit" says done only once the files are written and Tidra is ending; on
    // a full disk it says why and Tidra runs on with its alarms.
    void quit_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("loop"); // 0: the program ends; 7: it runs on
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
        td::clock::setFixed(QDateTime(QDate(2024, 5, 6), QTime(10, 0)));
        td::test::FullDisk disk(td::EventStore::dataFolder());
        if (diskFull)
            TIDRA_NEED_FULL_DISK(disk);
        auto window = std::make_unique<td::MainSettingsDlg>();
        window->alarmModel().add(td::test::once(td::test::monday, QTime(11, 0), "Tea"));
        if (diskFull)
            disk.fill();
        const protocol::Reply r = td::runInstanceCommand(*window, {"quit", {}});
        QTEST(QString::number(r.code) + ' ' + r.out + r.err, "reply");
        // The application's own loop: a QEventLoop would leave the quit behind for every later one.
        QTimer::singleShot(100, qApp, [] { QCoreApplication::exit(7); });
        QTEST(QCoreApplication::exec(), "loop");
        QCOMPARE(td::test::fileBytes(td::EventStore::dataFolder() + "/Alarms").contains("Tea"),
                 !diskFull);
        disk.free();
        window.reset();
        td::clock::reset();
    }

    void farAhead_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err");
        const QString tooFar = "Alarm can not be placed more than 9999 days ahead.";
        QTest::newRow("the last day") << "+9999d" << 0 << "";
        QTest::newRow("an hour more") << "+239977h" << 1 << tooFar;
        QTest::newRow("a million days") << "+1000000d" << 1 << tooFar;
        QTest::newRow("past 64 bits") << "+99999999999999999999m" << 1 << tooFar;
    }
    void farAhead()
    {
        QFETCH(QString, when);
        const td::cli::AlarmCommand c =
            td::cli::alarmCommand({when}, QDateTime(QDate(2026, 5, 4), QTime(10, 0)));
        QTEST(c.refusal.code, "code");
        QTEST(c.refusal.err, "err");
    }

    // Only the user reads the settings, also after an older Tidra left them open.
    void settingsFileMode_data()
    {
        QTest::addColumn<QByteArray>("before"); // empty: no file
        QTest::newRow("a new file") << QByteArray();
        QTest::newRow("an open file, the same settings") << QByteArray("[tray]\nmiddleClick=2\n");
        QTest::newRow("an open file, other settings") << QByteArray("[tray]\nmiddleClick=1\n");
    }
    void settingsFileMode()
    {
        QFETCH(QByteArray, before);
        const QString file = td::settingsfile::path();
        if (!before.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(file).path()) && td::files::saveFile(file, before));
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ReadGroup | QFile::ReadOther));
        }
        QVERIFY(td::settingsfile::write({{"tray/middleClick", 2}}));
        QCOMPARE(td::test::modeOf(file), 0600);
    }

    // The started instance gets the toolkit's options; a name or a message,
    // which every user could read in its arguments, stays out.
    void detachedArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("started");
        QTest::newRow("an alarm") << QStringList{"tidra", "--alarm", "+5m", "Secret", "Words"}
                                  << QStringList{"--detached-instance"};
        QTest::newRow("toolkit options")
            << QStringList{"tidra", "-platform", "xcb", "--timer", "5m", "Egg", "-reverse"}
            << QStringList{"-platform", "xcb", "-reverse", "--detached-instance"};
    }
    void detachedArguments()
    {
        QFETCH(QStringList, arguments);
        QTEST(td::cli::detachedArguments(arguments), "started");
        QVERIFY(td::cli::parse({"tidra", "--detached-instance"}).detached);
    }
};

TIDRA_TEST_MAIN(TestInstance)
#include "tst_instance.moc"
