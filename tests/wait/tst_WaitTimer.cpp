#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "wait/DueTime.h"
#include "wait/WaitTimer.h"

// Windows' due time counts relative hundred-nanosecond units, negative, in two halves; past 429
// seconds the count needs the high half too.
static_assert(DueTimeForSeconds(3).low == 0xFE363C80u && DueTimeForSeconds(3).high == 0xFFFFFFFFu);
static_assert(DueTimeForSeconds(1000).low == 0xABF41C00u && DueTimeForSeconds(1000).high == 0xFFFFFFFDu);

// The wait against the real clock.
class tst_WaitTimer : public QObject
{
    Q_OBJECT

private slots:
    // Half a second into a wait of two seconds, an event handler starts a wait of one second: it
    // re-arms the shared due time, and both end together a second later (the inner wait starting
    // at all shows that timers run during a wait).
    void nestedWaitRearmsTheSharedDueTime()
    {
        QElapsedTimer clock;
        clock.start();
        qint64 innerEnded = -1;
        QTimer::singleShot(500, [&] {
            WaitSeconds(1);
            innerEnded = clock.elapsed();
        });
        WaitSeconds(2);
        const qint64 outerEnded = clock.elapsed();
        QVERIFY2(innerEnded >= 1500 && innerEnded < 1900, qPrintable(QString::number(innerEnded)));
        QVERIFY2(outerEnded - innerEnded < 200, qPrintable(QString::number(outerEnded)));
    }
};

QTEST_MAIN(tst_WaitTimer)
#include "tst_WaitTimer.moc"
