// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ShutdownSignals.h"
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
        QTest::addColumn<bool>("early");
        QTest::newRow("SIGTERM") << SIGTERM << false;
        QTest::newRow("SIGINT") << SIGINT << false;
        QTest::newRow("SIGHUP") << SIGHUP << false;
        // Start-up catches signals before the application object is ready and
        // checks requested() after each step that may spin a loop of its own.
        QTest::newRow("SIGTERM before the loop") << SIGTERM << true;
    }
    void signalEndsTheEventLoop()
    {
        QFETCH(int, signal);
        QFETCH(bool, early);
        if (early) {
            td::ShutdownSignals::catchEarly();
            QVERIFY(!td::ShutdownSignals::requested());
            ::raise(signal);
            QVERIFY(td::ShutdownSignals::requested());
        }
        std::unique_ptr<td::ShutdownSignals> handler(td::ShutdownSignals::install());
        QCOMPARE(td::ShutdownSignals::install(), handler.get());
        QSignalSpy spy(handler.get(), &td::ShutdownSignals::received);
        if (!early)
            QTimer::singleShot(0, [signal] { ::raise(signal); });
        // The next loop ends as soon as it runs; the timer is only a guard.
        QTimer guard;
        guard.callOnTimeout([] { QCoreApplication::exit(99); });
        guard.start(10000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), signal);
        // A second signal would end the process at once; start afresh.
        handler.reset();
        QVERIFY(!td::ShutdownSignals::requested());
    }
};

TIDRA_TEST_MAIN(TestStorageShutdown)
#include "tst_storage_shutdown.moc"
