// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"
#include "tests/common/TestSupport.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QScopeGuard>
#include <QSemaphore>
#include <QThread>
#include <QTimer>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
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
            if (r.command == protocol::command::quit) // saving takes a moment
                QTimer::singleShot(200, [this] { quit(); });
            return protocol::Reply{0, r.command + ':' + r.args.join(','), QString()};
        });
        ready.release();
        exec();
    }
    Outcome outcome = Outcome::Failed;
    QSemaphore ready;

private:
    QString m_name, m_folder;
};

QString modeOf(const QString& path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0
               ? QString::number(st.st_mode & 0777, 8)
               : QStringLiteral("none");
}

/// A folder as a row names it: missing, a link, a file, a mode, another user's.
void make(const QString& path, const QString& how)
{
    const QByteArray p = QFile::encodeName(path);
    if (how == "link")
        QFile::link(QFileInfo(path).path(), path);
    else if (how == "file")
        QFile(path).open(QIODevice::WriteOnly);
    else if (how != "missing" && !how.isEmpty()) {
        QDir().mkdir(path);
        ::chmod(p.constData(), how == "foreign" ? 0700 : how.toUInt(nullptr, 8));
        if (how == "foreign")
            QCOMPARE(::chown(p.constData(), 65534, 65534), 0);
    }
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
        // A lock held for days is still held: nothing goes stale by age.
        QFile lock(folder() + "/one.lock");
        QVERIFY(lock.open(QIODevice::ReadWrite) &&
                lock.setFileTime(QDateTime::currentDateTime().addDays(-3),
                                 QFileDevice::FileModificationTime));
        lock.close();
        td::SingleInstance second("one", folder());
        QCOMPARE(second.acquire(), Outcome::Running);
        QVERIFY(!second.isHeld());
        protocol::Reply reply;
        QVERIFY(second.send({"show", {"alarms"}}, &reply));
        QCOMPARE(reply.out, QStringLiteral("show:alarms"));
        td::SingleInstance otherName("two", folder());
        QCOMPARE(otherName.acquire(), Outcome::Acquired);
        // "quit" returns once the instance has let go of its socket, however long
        // it takes to save; the lock goes right after.
        QVERIFY(second.send({"quit", {}}, &reply));
        QVERIFY(!QFile::exists(folder() + "/one.socket"));
        QVERIFY(first.wait(2000));
        QVERIFY(!QFile::exists(folder() + "/one.lock"));
        QCOMPARE(second.acquire(), Outcome::Acquired);
        QVERIFY(!td::SingleInstance("nobody", folder()).send({"ping", {}}, &reply, 300));
    }

    void whateverIsAtTheLockPath_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("error"); // empty: acquired
        for (const char* what : {"nothing", "empty", "garbage", "dead", "foreign", "symlink",
                                 "dangling", "fifo", "socket", "folder", "no space"})
            QTest::newRow(what) << what << "";
        QTest::newRow("full folder") << "full folder"
                                     << "a folder with files in it is in the way";
        QTest::newRow("held") << "held"
                              << "process 4242 holds it and does not answer";
        QTest::newRow("no inode") << "no inode"
                                  << "No space left on device";
    }
    void whateverIsAtTheLockPath()
    {
        QFETCH(QString, what);
        QFETCH(QString, error);
        QTemporaryDir dir(folder() + "/odd-XXXXXX");
        const QString lock = dir.path() + "/odd.lock", target = dir.path() + "/precious";
        const QByteArray l = QFile::encodeName(lock), d = QFile::encodeName(dir.path());
        bool mounted = false;
        auto unmount = qScopeGuard([&] {
            if (mounted)
                ::umount2(d.constData(), MNT_DETACH);
        });
        if (what.startsWith("no ")) {
            mounted =
                ::mount("tmpfs", d.constData(), "tmpfs", 0, "size=16k,nr_inodes=16,mode=700") == 0;
            if (!mounted)
                QSKIP("mounting a small file system needs root");
            // Data until no block is left, or files until no inode is.
            QFile filler(dir.path() + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (what == "no space" && filler.write(QByteArray(4096, 'x')) > 0) {
            }
            for (int i = 0;
                 what == "no inode" &&
                 QFile(dir.path() + "/f" + QString::number(i)).open(QIODevice::WriteOnly);
                 ++i) {
            }
        }
        QFile(target).open(QIODevice::WriteOnly);
        QLocalServer squatter;
        int holder = -1;
        auto write = [&](const QByteArray& text) {
            QFile f(lock);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
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
        } else if (what == "symlink" || what == "dangling")
            QVERIFY(QFile::link(what == "symlink" ? target : dir.path() + "/gone", lock));
        else if (what == "fifo")
            QCOMPARE(::mkfifo(l.constData(), 0600), 0);
        else if (what == "socket")
            QVERIFY(squatter.listen(lock));
        else if (what.endsWith("folder"))
            QVERIFY(QDir().mkdir(lock) && (what == "folder" || QDir().mkdir(lock + "/keep")));
        else if (what == "held") {
            write("4242\n");
            holder = ::open(l.constData(), O_RDWR);
            QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);
        }
        auto closeHolder = qScopeGuard([holder] {
            if (holder >= 0)
                ::close(holder);
        });

        td::SingleInstance guard("odd", dir.path());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(guard.acquire(300), error.isEmpty() ? Outcome::Acquired : Outcome::Failed);
        QVERIFY(clock.elapsed() < 3000); // never hangs, a pipe included
        QCOMPARE(guard.errorString(),
                 error.isEmpty() ? error : "cannot lock " + lock + ": " + error);
        if (error.isEmpty()) {
            QVERIFY(QFileInfo(lock).isFile() && !QFileInfo(lock).isSymLink());
            QCOMPARE(QFileInfo(lock).ownerId(), ::geteuid());
            QCOMPARE(modeOf(lock), QStringLiteral("600"));
            QCOMPARE(QFileInfo(target).size(), 0); // a link is replaced, never followed
            QCOMPARE(td::SingleInstance("odd", dir.path()).acquire(50), Outcome::Failed);
        }
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
        QLocalSocket socket;
        socket.connectToServer(folder() + "/serve.socket");
        QVERIFY(socket.waitForConnected(2000));
        socket.write(request);
        QByteArray line;
        while (!line.contains('\n') && socket.waitForReadyRead(2000))
            line += socket.readAll();
        protocol::Reply got;
        QString error;
        QVERIFY(protocol::decode(line, &got, &error));
        const bool served = reply.startsWith("list");
        QVERIFY2(served ? got.out == reply : got.err.contains(reply),
                 qPrintable(got.out + got.err));
        QCOMPARE(got.code, served ? 0 : 1);
        // and goes on serving
        QVERIFY(td::SingleInstance("serve", folder()).send({"list", {}}, &got));
        QCOMPARE(got.out, QStringLiteral("list:"));
        QVERIFY(running.isRunning());
    }

    void privateFolder_data()
    {
        // How the runtime folder and the fallback are, which is chosen, why none.
        QTest::addColumn<QString>("runtime");
        QTest::addColumn<QString>("fallback");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("error");
        auto row = [](const char* name, const char* r, const char* f, const char* chosen,
                      const char* error = "") { QTest::newRow(name) << r << f << chosen << error; };
        row("runtime folder", "700", "", "runtime");
        row("runtime folder others can enter", "755", "", "",
            "runtime: other users can enter it (mode 0755)");
        row("runtime of another user", "foreign", "", "", "runtime: it belongs to another user");
        row("runtime missing, fallback made", "missing", "new", "fallback");
        row("open runtime, fallback made", "777", "new", "fallback");
        row("own fallback tightened", "missing", "755", "fallback");
        row("fallback of another user", "missing", "foreign", "",
            "fallback: it belongs to another user");
        row("fallback a link", "missing", "link", "", "fallback: it is a symbolic link");
        row("fallback a file", "missing", "file", "", "fallback: it is not a folder");
    }
    void privateFolder()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, fallback);
        QFETCH(QString, chosen);
        QFETCH(QString, error);
        QTemporaryDir dir(folder() + "/pf-XXXXXX");
        make(dir.path() + "/runtime", runtime);
        make(dir.path() + "/fallback", fallback == "new" ? "missing" : fallback);
        QString why;
        const QString got =
            td::privateFolder({QString(), "relative/path", dir.path() + "/runtime"},
                              fallback.isEmpty() ? QString() : dir.path() + "/fallback", &why);
        QCOMPARE(got, chosen.isEmpty() ? QString() : dir.path() + '/' + chosen);
        QVERIFY2(error.isEmpty() || (why.startsWith("there is no private folder for it") &&
                                     why.contains(dir.path() + '/' + error)),
                 qPrintable(why));
        if (!got.isEmpty())
            QCOMPARE(modeOf(got), QStringLiteral("700"));
    }
};

TIDRA_TEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
