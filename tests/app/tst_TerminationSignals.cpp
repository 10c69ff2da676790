#include <QSignalSpy>
#include <QTest>

#include <csignal>

#include "app/TerminationSignals.h"

// Signals raised in the test's own process: each of them would end it, were it not handled.
class tst_TerminationSignals : public QObject
{
    Q_OBJECT

private slots:
    // The handler only wakes the event loop: Received() comes from there, not from the handler,
    // and once for two signals that come before the loop has run.
    void eachSignalWakesTheEventLoopOnce()
    {
        TerminationSignals terminationSignals;
        QSignalSpy received(&terminationSignals, &TerminationSignals::Received);
        int count = 0;
        for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
            std::raise(number);
            std::raise(number);
            QCOMPARE(received.count(), count);
            QVERIFY(received.wait(10'000));
            QTest::qWait(200);
            QCOMPARE(received.count(), ++count);
        }
    }
};

QTEST_GUILESS_MAIN(tst_TerminationSignals)
#include "tst_TerminationSignals.moc"
