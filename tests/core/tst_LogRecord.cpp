#include <QTest>

#include "core/LogRecord.h"

class tst_LogRecord : public QObject
{
    Q_OBJECT

private slots:
    void recordIsStampSpaceTextCrLf()
    {
        const QDateTime when(QDate(2026, 12, 6), QTime(14, 5, 42));
        QCOMPARE(LogRecord("N0CALL>hello", when, QLocale::c()), "06-Dec-26 14:05 N0CALL>hello\r\n");
        QCOMPARE(LogStamp(when, QLocale::c()).size(), 15);
    }

    void textIsWrittenExactlyAsGiven_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("line breaks inside") << QString("first\r\nsecond\nthird\rfourth");
        QTest::newRow("spaces and tabs at the ends") << QString("  \tx\t  ");
        QTest::newRow("markup") << QString("<b>hi</b> <img src=x>");
        QTest::newRow("NUL and right-to-left mark") << QString::fromUtf16(u"a\0b\u200Fשלום", 8);
    }
    void textIsWrittenExactlyAsGiven()
    {
        QFETCH(QString, text);
        const QDateTime when(QDate(2026, 1, 2), QTime(3, 4));
        QCOMPARE(LogRecord(text, when, QLocale::c()), "02-Jan-26 03:04 " + text + "\r\n");
    }

    void stampAroundMidnightAndTheYear()
    {
        QCOMPARE(LogStamp(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)), QLocale::c()), "31-Dec-26 23:59");
        QCOMPARE(LogStamp(QDateTime(QDate(2027, 1, 1), QTime(0, 0)), QLocale::c()), "01-Jan-27 00:00");
        QCOMPARE(LogStamp(QDateTime(QDate(2100, 3, 9), QTime(7, 0)), QLocale::c()), "09-Mar-00 07:00");
    }

    void stampFollowsTheLocalesMonthsAndSeparator()
    {
        const QDateTime when(QDate(2026, 12, 6), QTime(14, 5));
        const QLocale finnish(QLocale::Finnish, QLocale::Finland);
        QCOMPARE(LogStamp(when, finnish),
                 "06-" + finnish.monthName(12, QLocale::ShortFormat) + "-26 14.05");
        const QLocale german(QLocale::German, QLocale::Germany);
        QCOMPARE(LogStamp(when, german), "06-" + german.monthName(12, QLocale::ShortFormat) + "-26 14:05");
    }
};

QTEST_APPLESS_MAIN(tst_LogRecord)
#include "tst_LogRecord.moc"
