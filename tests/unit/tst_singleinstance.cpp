#include "app/SingleInstance.h"
#include "tests/common/TestSupport.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSemaphore>
#include <QThread>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using Outcome = td::SingleInstance::Outcome;
namespace protocol = td::protocol;
Q_DECLARE_METATYPE(td::SingleInstance::Outcome)

namespace {

/// A running instance with its own event loop, as another process would have.
/// It echoes each request and ends on "quit".
class InstanceThread : public QThread
{
public:
    InstanceThread(const QString& name, const QString& folder) : m_name(name), m_folder(folder)
    {
        start();
        ready.acquire();
    }
    ~InstanceThread() override
    {
        quit();
        wait();
    }
    void run() override
    {
        td::SingleInstance instance(m_name, m_folder);
        outcome = instance.acquire(200);
        instance.setHandler([this](const protocol::Request& r) {
            if (r.command == protocol::command::quit)
                quit();
            return protocol::Reply{0, r.command + ':' + r.args.join(','), QString()};
        });
        ready.release();
        exec();
    }
    Outcome outcome = Outcome::Failed;
    QSemaphore ready;

private:
    QString m_name;
    QString m_folder;
};

QByteArray exchange(const QString& server, const QByteArray& data)
{
    QLocalSocket socket;
    socket.connectToServer(server);
    if (!socket.waitForConnected(2000))
        return "no connection";
    socket.write(data);
    socket.waitForBytesWritten(2000);
    QByteArray reply;
    while (!reply.contains('\n') && socket.waitForReadyRead(2000))
        reply += socket.readAll();
    return reply;
}

QString modeOf(const QString& path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0
               ? QString::number(st.st_mode & 0777, 8)
               : QStringLiteral("none");
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

    QString folder() const { return td::test::homePath() + "/runtime"; }

private slots:
    void oneInstanceAtATime()
    {
        InstanceThread first("one", folder());
        QCOMPARE(first.outcome, Outcome::Acquired);
        td::SingleInstance second("one", folder());
        QCOMPARE(second.acquire(), Outcome::Running);
        QVERIFY(!second.isHeld());
        protocol::Reply reply;
        QVERIFY(second.send({"show", {"alarms"}}, &reply));
        QCOMPARE(reply.out, QStringLiteral("show:alarms"));
        td::SingleInstance otherName("two", folder());
        QCOMPARE(otherName.acquire(), Outcome::Acquired);
        // "quit" returns once the instance is gone, lock and socket with it.
        QVERIFY(second.send({"quit", {}}, &reply));
        QVERIFY(first.wait(2000));
        QVERIFY(!QFile::exists(folder() + "/one.lock"));
        QVERIFY(!QFile::exists(folder() + "/one.socket"));
        QCOMPARE(second.acquire(), Outcome::Acquired);
        td::SingleInstance lonely("nobody", folder());
        QVERIFY(!lonely.send({"ping", {}}, &reply, 300));
    }

    void whateverIsAtTheLockPath_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("error");
        QTest::newRow("nothing") << "" << Outcome::Acquired << "";
        QTest::newRow("empty file") << "empty" << Outcome::Acquired << "";
        QTest::newRow("garbage") << "garbage" << Outcome::Acquired << "";
        QTest::newRow("lock of a dead process") << "dead" << Outcome::Acquired << "";
        QTest::newRow("another user's file") << "foreign" << Outcome::Acquired << "";
        QTest::newRow("symbolic link") << "symlink" << Outcome::Acquired << "";
        QTest::newRow("dangling symbolic link") << "dangling" << Outcome::Acquired << "";
        QTest::newRow("pipe") << "fifo" << Outcome::Acquired << "";
        QTest::newRow("socket") << "socket" << Outcome::Acquired << "";
        QTest::newRow("empty folder") << "folder" << Outcome::Acquired << "";
        QTest::newRow("folder with a file")
            << "full folder" << Outcome::Failed
            << "cannot lock %1/odd.lock: a folder with files in it is in the way";
        QTest::newRow("held by a program that does not answer")
            << "held" << Outcome::Failed
            << "cannot lock %1/odd.lock: process 4242 holds it and does not answer";
    }

    void whateverIsAtTheLockPath()
    {
        QFETCH(QString, what);
        QFETCH(Outcome, outcome);
        QFETCH(QString, error);
        QTemporaryDir dir(folder() + "/odd-XXXXXX");
        const QString lock = dir.path() + "/odd.lock";
        const QByteArray l = QFile::encodeName(lock);
        const QString target = dir.path() + "/precious";
        QFile(target).open(QIODevice::WriteOnly);
        QLocalServer squatter;
        int holder = -1;
        auto write = [&](const QByteArray& text) {
            QFile f(lock);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        };
        if (what == "empty")
            write("");
        else if (what == "garbage")
            write(QByteArray("\x00\xff junk\n", 8).repeated(1000));
        else if (what == "dead")
            write("2147483646\ntidra\nsomehost\n");
        else if (what == "foreign") {
            write("1\n");
            QCOMPARE(::chown(l.constData(), 65534, 65534), 0);
        } else if (what == "symlink")
            QVERIFY(QFile::link(target, lock));
        else if (what == "dangling")
            QVERIFY(QFile::link(dir.path() + "/gone", lock));
        else if (what == "fifo")
            QCOMPARE(::mkfifo(l.constData(), 0600), 0);
        else if (what == "socket")
            QVERIFY(squatter.listen(lock));
        else if (what == "folder")
            QVERIFY(QDir().mkdir(lock));
        else if (what == "full folder") {
            QVERIFY(QDir().mkdir(lock));
            QFile(lock + "/keep").open(QIODevice::WriteOnly);
        } else if (what == "held") {
            write("4242\n");
            holder = ::open(l.constData(), O_RDWR);
            QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);
        }

        td::SingleInstance guard("odd", dir.path());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(guard.acquire(300), outcome);
        QVERIFY(clock.elapsed() < 3000); // never hangs, a pipe included
        QCOMPARE(guard.errorString(), error.isEmpty() ? error : error.arg(dir.path()));
        if (outcome == Outcome::Acquired) {
            QVERIFY(QFileInfo(lock).isFile() && !QFileInfo(lock).isSymLink());
            QCOMPARE(QFileInfo(lock).ownerId(), ::geteuid());
            QCOMPARE(modeOf(lock), QStringLiteral("600"));
            QVERIFY(QFile::exists(target)); // a link is replaced, never followed
            QCOMPARE(QFileInfo(target).size(), 0);
            td::SingleInstance later("odd", dir.path());
            QCOMPARE(later.acquire(50), Outcome::Failed); // nobody serves in this thread
        }
        if (holder >= 0)
            ::close(holder);
    }

    void longRunningOwnerIsNotStale()
    {
        InstanceThread first("aged", folder());
        QFile lock(folder() + "/aged.lock");
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-3),
                                 QFileDevice::FileModificationTime));
        lock.close();
        td::SingleInstance second("aged", folder());
        QCOMPARE(second.acquire(), Outcome::Running);
    }

    void serverRefusesWhatItCannotRead_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QString>("reply");
        QTest::newRow("garbage") << QByteArray("\x01\x02 hello\n") << "not one Tidra understands";
        QTest::newRow("too long, no line end")
            << QByteArray(protocol::maxRequestBytes + 10, 'a') << "The message is too long.";
        QTest::newRow("unknown command")
            << QByteArray("{\"tidra\":1,\"command\":\"rm\"}\n") << "Unknown command \"rm\".";
        QTest::newRow("two requests, the first counts")
            << protocol::encode({"list", {}}) + protocol::encode({"quit", {}}) << "list:";
    }

    void serverRefusesWhatItCannotRead()
    {
        QFETCH(QByteArray, request);
        QFETCH(QString, reply);
        InstanceThread running("serve", folder());
        protocol::Reply got;
        QString error;
        QVERIFY(protocol::decode(exchange(folder() + "/serve.socket", request), &got, &error));
        QVERIFY2(reply.startsWith("list") ? got.out == reply : got.err.contains(reply),
                 qPrintable(got.out + got.err));
        QCOMPARE(got.code, reply.startsWith("list") ? 0 : 1);
        // and goes on serving
        td::SingleInstance client("serve", folder());
        QVERIFY(client.send({"list", {}}, &got));
        QCOMPARE(got.out, QStringLiteral("list:"));
        QVERIFY(running.isRunning());
    }

    void privateFolder_data()
    {
        QTest::addColumn<QString>("runtime"); // how the runtime folder is
        QTest::addColumn<QString>("fallback");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("error");
        QTest::newRow("runtime folder") << "700"
                                        << ""
                                        << "runtime"
                                        << "";
        QTest::newRow("runtime folder others can enter")
            << "755"
            << ""
            << ""
            << "runtime: other users can enter it (mode 0755)";
        QTest::newRow("runtime folder of another user") << "foreign"
                                                        << ""
                                                        << ""
                                                        << "runtime: it belongs to another user";
        QTest::newRow("runtime folder missing, fallback made") << "missing"
                                                               << "new"
                                                               << "fallback"
                                                               << "";
        QTest::newRow("open runtime folder, fallback made") << "777"
                                                            << "new"
                                                            << "fallback"
                                                            << "";
        QTest::newRow("own fallback tightened") << "missing"
                                                << "755"
                                                << "fallback"
                                                << "";
        QTest::newRow("fallback of another user") << "missing"
                                                  << "foreign"
                                                  << ""
                                                  << "fallback: it belongs to another user";
        QTest::newRow("fallback a link") << "missing"
                                         << "link"
                                         << ""
                                         << "fallback: it is a symbolic link";
        QTest::newRow("fallback a file") << "missing"
                                         << "file"
                                         << ""
                                         << "fallback: it is not a folder";
    }

    void privateFolder()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, fallback);
        QFETCH(QString, chosen);
        QFETCH(QString, error);
        QTemporaryDir dir(folder() + "/pf-XXXXXX");
        const QString r = dir.path() + "/runtime";
        const QString f = dir.path() + "/fallback";
        auto make = [&dir](const QString& path, const QString& how) {
            const QByteArray p = QFile::encodeName(path);
            if (how == "link")
                QFile::link(dir.path(), path);
            else if (how == "file")
                QFile(path).open(QIODevice::WriteOnly);
            else if (how != "missing" && how != "new" && !how.isEmpty()) {
                QDir().mkdir(path);
                ::chmod(p.constData(), how == "foreign" ? 0700 : how.toUInt(nullptr, 8));
                if (how == "foreign")
                    QCOMPARE(::chown(p.constData(), 65534, 65534), 0);
            }
        };
        make(r, runtime);
        make(f, fallback);
        QString why;
        const QString got = td::privateFolder({QString(), "relative/path", r},
                                              fallback.isEmpty() ? QString() : f, &why);
        QCOMPARE(got, chosen.isEmpty() ? QString() : dir.path() + '/' + chosen);
        QVERIFY2(error.isEmpty() || why.contains(dir.path() + '/' + error), qPrintable(why));
        QVERIFY(error.isEmpty() || why.startsWith("there is no private folder for it"));
        if (!got.isEmpty())
            QCOMPARE(modeOf(got), QStringLiteral("700"));
    }

    void fullRuntimeFolder_data()
    {
        QTest::addColumn<QString>("full");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("no space left") << "space" << Outcome::Acquired;
        QTest::newRow("no inode left") << "inodes" << Outcome::Failed;
    }

    void fullRuntimeFolder()
    {
        QFETCH(QString, full);
        QFETCH(Outcome, outcome);
        if (::geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        QTemporaryDir dir(folder() + "/full-XXXXXX");
        const QByteArray mount = QFile::encodeName(dir.path());
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=16k,nr_inodes=16,mode=700",
                                        "tmpfs", dir.path()}) != 0)
            QSKIP("cannot mount a tmpfs here");
        // Fill it: data until no block is left, or files until no inode is.
        QFile filler(dir.path() + "/filler");
        if (full == "space") {
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (filler.write(QByteArray(4096, 'x')) > 0) {
            }
            filler.close();
        } else {
            for (int i = 0;
                 QFile(dir.path() + "/f" + QString::number(i)).open(QIODevice::WriteOnly); ++i) {
            }
        }
        {
            td::SingleInstance guard("Tidra", dir.path());
            QCOMPARE(guard.acquire(200), outcome);
            if (outcome == Outcome::Failed)
                QCOMPARE(guard.errorString(), QStringLiteral("cannot lock %1/Tidra.lock: No space "
                                                             "left on device")
                                                  .arg(dir.path()));
        }
        QCOMPARE(QProcess::execute("umount", {dir.path()}), 0);
    }
};

TIDRA_TEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
