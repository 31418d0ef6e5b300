#include "app/SingleInstance.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QLocalServer>
#include <QSignalSpy>

class TestSingleInstance : public QObject
{
    Q_OBJECT

    QString folder() const { return td::test::homePath() + "/runtime"; }

private slots:
    void secondGuardIsRefusedUntilReleased()
    {
        td::SingleInstance first("one", folder());
        td::SingleInstance second("one", folder());
        QVERIFY(first.acquire());
        QVERIFY(first.isHeld());
        QVERIFY(!second.acquire());
        QVERIFY(!second.isHeld());
        td::SingleInstance otherName("two", folder());
        QVERIFY(otherName.acquire());
        first.release();
        QVERIFY(!QFile::exists(first.lockFilePath()));
        QVERIFY(!QFile::exists(first.serverPath()));
        QVERIFY(second.acquire());
    }

    void lockOfADeadProcessIsTakenOver()
    {
        // A lock file left by a crash: its process id cannot be running, since
        // ids stay below the kernel's pid_max.
        QFile pidMax("/proc/sys/kernel/pid_max");
        QVERIFY(pidMax.open(QIODevice::ReadOnly));
        const QByteArray deadPid = pidMax.readAll().trimmed();
        QFile lock(folder() + "/crashed.lock");
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(deadPid + "\ntidra\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        td::SingleInstance guard("crashed", folder());
        QVERIFY(guard.acquire());
    }

    void longRunningOwnerIsNotStale()
    {
        td::SingleInstance first("aged", folder());
        QVERIFY(first.acquire());
        // Age alone never makes a lock stale: the first instance runs for days.
        QFile lock(first.lockFilePath());
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-3),
                                 QFileDevice::FileModificationTime));
        lock.close();
        td::SingleInstance second("aged", folder());
        QVERIFY(!second.acquire());
    }

    void leftoverSocketIsReplaced()
    {
        QFile leftover(folder() + "/left.socket");
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        td::SingleInstance guard("left", folder());
        QVERIFY(guard.acquire());
        td::SingleInstance later("left", folder());
        QSignalSpy asked(&guard, &td::SingleInstance::activationRequested);
        QVERIFY(later.notifyRunning(2000));
        QVERIFY(asked.wait(2000));
    }

    void secondStartAsksTheFirstOnce()
    {
        td::SingleInstance first("ask", folder());
        QVERIFY(first.acquire());
        QSignalSpy asked(&first, &td::SingleInstance::activationRequested);
        td::SingleInstance second("ask", folder());
        QVERIFY(!second.acquire());
        QVERIFY(second.notifyRunning(2000));
        QVERIFY(asked.wait(2000));
        QTRY_COMPARE(asked.count(), 1);
        td::SingleInstance lonely("nobody", folder());
        QVERIFY(!lonely.notifyRunning(200));
    }
};

TIDRA_TEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
