#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "wait/DueTime.h"
#include "wait/WaitTimer.h"

class tst_WaitTimer : public QObject
{
    Q_OBJECT

private slots:
    void dueTimeIsRelativeHundredNanosecondUnitsInTwoHalves()
    {
        static_assert(DueTimeForSeconds(3).low == 0xFE363C80u && DueTimeForSeconds(3).high == 0xFFFFFFFFu);
        QCOMPARE(DueTimeForSeconds(4).low, 0xFD9DA600u);
        QCOMPARE(DueTimeForSeconds(4).high, 0xFFFFFFFFu);
        // Past 429 seconds the count needs the high half too.
        QCOMPARE(DueTimeForSeconds(1000).low, 0xABF41C00u);
        QCOMPARE(DueTimeForSeconds(1000).high, 0xFFFFFFFDu);
    }

    void waitReturnsOnTimeWhileEventsRun()
    {
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(50);

        QElapsedTimer clock;
        clock.start();
        WaitSeconds(1);
        const qint64 elapsed = clock.elapsed();

        QVERIFY2(elapsed >= 1000, qPrintable(QString::number(elapsed)));
        QVERIFY2(elapsed < 1400, qPrintable(QString::number(elapsed)));
        QVERIFY2(ticks >= 15, "timers must keep running during the wait");
    }

    void nestedWaitRearmsTheSharedDueTime()
    {
        QElapsedTimer clock;
        clock.start();
        qint64 innerEnded = -1;
        // Half a second into the outer wait, an event handler starts a wait of its own.
        QTimer::singleShot(500, [&] {
            WaitSeconds(1);
            innerEnded = clock.elapsed();
        });
        WaitSeconds(1);
        const qint64 outerEnded = clock.elapsed();

        QVERIFY2(innerEnded >= 1500, qPrintable(QString::number(innerEnded)));
        QVERIFY2(outerEnded >= 1500, "the outer wait ends no earlier than the inner one's due time");
        QVERIFY2(outerEnded - innerEnded < 200, "both end together");
    }

    void waitOfZeroOrLessReturns()
    {
        QElapsedTimer clock;
        clock.start();
        WaitSeconds(0);
        WaitSeconds(-5);
        QVERIFY(clock.elapsed() < 200);
    }
};

QTEST_MAIN(tst_WaitTimer)
#include "tst_WaitTimer.moc"
