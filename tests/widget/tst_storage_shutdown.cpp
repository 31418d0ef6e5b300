#include "storage/ShutdownSignals.h"
#include "tests/common/TestSupport.h"

#include <QSignalSpy>
#include <QTimer>
#include <csignal>

class TestStorageShutdown : public QObject
{
    Q_OBJECT
private slots:
    void signalEndsTheEventLoop_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    void signalEndsTheEventLoop()
    {
        QFETCH(int, signal);
        td::ShutdownSignals* handler = td::ShutdownSignals::install();
        QCOMPARE(td::ShutdownSignals::install(), handler);
        QSignalSpy spy(handler, &td::ShutdownSignals::received);
        QTimer::singleShot(0, [signal] { ::raise(signal); });
        // Only a guard: a working handler ends the loop long before.
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        guard.start(10000);
        const int code = QCoreApplication::exec();
        QCOMPARE(code, 0);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), signal);
        // A second signal would end the process at once; start afresh.
        delete handler;
    }

    void signalBeforeTheLoopIsKept()
    {
        // Start-up catches signals before the application object is ready and
        // checks requested() after each step that may spin a loop of its own.
        td::ShutdownSignals::catchEarly();
        QVERIFY(!td::ShutdownSignals::requested());
        ::raise(SIGTERM);
        QVERIFY(td::ShutdownSignals::requested());
        td::ShutdownSignals* handler = td::ShutdownSignals::install();
        // The next loop, a message box's for one, ends as soon as it runs.
        QEventLoop box;
        QTimer::singleShot(10000, &box, [&box] { box.exit(99); });
        QCOMPARE(box.exec(), 0);
        delete handler;
        QVERIFY(!td::ShutdownSignals::requested());
    }
};

TIDRA_TEST_MAIN(TestStorageShutdown)
#include "tst_storage_shutdown.moc"
