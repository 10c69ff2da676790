#include <QDateTime>
#include <QSignalSpy>
#include <QTest>

#include "Flood.h"

using namespace std::chrono_literals;

class tst_Flood : public QObject
{
    Q_OBJECT

private slots:
    void planTakesTwoWholeNumbersAboveZero_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("perSecond");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "10000" << "1000" << true;
        QTest::newRow("no rate") << "10000" << "" << false;
        QTest::newRow("zero count") << "0" << "1000" << false;
        QTest::newRow("negative") << "-5" << "1000" << false;
        QTest::newRow("fraction") << "10" << "2.5" << false;
    }
    void planTakesTwoWholeNumbersAboveZero()
    {
        QFETCH(QString, count);
        QFETCH(QString, perSecond);
        QFETCH(bool, valid);
        const std::optional<FloodPlan> plan = ParseFloodPlan(count, perSecond);
        QCOMPARE(plan.has_value(), valid);
        if (valid) {
            QCOMPARE(plan->count, count.toLongLong());
            QCOMPARE(plan->perSecond, perSecond.toLongLong());
        }
    }

    void textCarriesItsNumberAndSendTime()
    {
        QCOMPARE(FloodText(1, 1'765'000'000'123), "XX9FLD>1 1765000000123");
        QCOMPARE(FloodText(10'000, 0), "XX9FLD>10000 0");
    }

    void scheduleStartsAtOnceKeepsThePaceAndStopsAtTheCount()
    {
        const FloodPlan plan{10'000, 1'000};
        QCOMPARE(FloodTextsDue(plan, 0ms), 1);
        QCOMPARE(FloodTextsDue(plan, 1ms), 2);
        QCOMPARE(FloodTextsDue(plan, 5'000ms), 5'001);
        QCOMPARE(FloodTextsDue(plan, 9'999ms), 10'000);
        QCOMPARE(FloodTextsDue(plan, 60'000ms), 10'000);

        const FloodPlan slow{3, 2};
        QCOMPARE(FloodTextsDue(slow, 499ms), 1);
        QCOMPARE(FloodTextsDue(slow, 500ms), 2);
        QCOMPARE(FloodTextsDue(slow, 1'000ms), 3);
        QCOMPARE(FloodTextsDue(slow, 1'500ms), 3);
    }

    void floodRaisesEveryTextOnceInOrderThenFinishes()
    {
        Flood flood(FloodPlan{200, 2'000});
        QSignalSpy spoken(&flood, &Flood::ChatSpoken);
        QSignalSpy finished(&flood, &Flood::Finished);
        const qint64 start = QDateTime::currentMSecsSinceEpoch();
        flood.Start();
        QCOMPARE(spoken.size(), 1);
        QVERIFY(finished.wait(5'000));
        QCOMPARE(spoken.size(), 200);
        for (int i = 0; i < spoken.size(); ++i) {
            const QStringList fields = spoken.at(i).at(0).toString().split(' ');
            QCOMPARE(fields.at(0), QStringLiteral("XX9FLD>%1").arg(i + 1));
            QVERIFY(fields.at(1).toLongLong() >= start);
        }
        QCOMPARE(finished.size(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_Flood)
#include "tst_Flood.moc"
