#include <QSignalSpy>
#include <QTest>

#include <csignal>

#include "app/TerminationSignals.h"

// Signals raised in the test's own process: each of them would end it, were it not handled.
class tst_TerminationSignals : public QObject
{
    Q_OBJECT

private slots:
    // The handler only wakes the event loop: Received() comes from there, not from the handler.
    void eachSignalWakesTheEventLoop_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP;
        QTest::newRow("SIGINT") << SIGINT;
    }
    void eachSignalWakesTheEventLoop()
    {
        QFETCH(int, number);
        TerminationSignals terminationSignals;
        QSignalSpy received(&terminationSignals, &TerminationSignals::Received);
        std::raise(number);
        QCOMPARE(received.count(), 0);
        QVERIFY(received.wait(10'000));
    }

    // A second signal before the loop has run brings no second Received(); one after it does.
    void signalsTogetherWakeItOnce()
    {
        TerminationSignals terminationSignals;
        QSignalSpy received(&terminationSignals, &TerminationSignals::Received);
        std::raise(SIGTERM);
        std::raise(SIGTERM);
        QVERIFY(received.wait(10'000));
        QTest::qWait(200);
        QCOMPARE(received.count(), 1);
        std::raise(SIGINT);
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 2, 10'000);
    }
};

QTEST_GUILESS_MAIN(tst_TerminationSignals)
#include "tst_TerminationSignals.moc"
