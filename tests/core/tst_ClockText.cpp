#include <QTest>

#include "core/ClockText.h"

class tst_ClockText : public QObject
{
    Q_OBJECT

private slots:
    void clockIsTwentyFourHourWithLeadingZeros_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("expected");
        QTest::newRow("morning") << QTime(9, 5) << "09:05";
        QTest::newRow("one minute before midnight") << QTime(23, 59) << "23:59";
        QTest::newRow("midnight") << QTime(0, 0) << "00:00";
        QTest::newRow("afternoon") << QTime(14, 5, 59) << "14:05";
    }
    void clockIsTwentyFourHourWithLeadingZeros()
    {
        QFETCH(QTime, time);
        QFETCH(QString, expected);
        QCOMPARE(ClockText(time, QLocale::c()), expected);
        // A locale whose own clock is 12-hour still gets the 24-hour stamp.
        QCOMPARE(ClockText(time, QLocale(QLocale::English, QLocale::UnitedStates)), expected);
    }

    void separatorFollowsTheLocale()
    {
        QCOMPARE(TimeSeparator(QLocale::c()), ":");
        QCOMPARE(TimeSeparator(QLocale(QLocale::English, QLocale::UnitedStates)), ":");
        QCOMPARE(TimeSeparator(QLocale(QLocale::Finnish, QLocale::Finland)), ".");
        QCOMPARE(ClockText(QTime(23, 59), QLocale(QLocale::Finnish, QLocale::Finland)), "23.59");
    }
};

QTEST_APPLESS_MAIN(tst_ClockText)
#include "tst_ClockText.moc"
