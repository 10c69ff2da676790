#include <QTest>

#include "core/Caption.h"
#include "core/LogRecord.h"
#include "core/OutgoingLine.h"
#include "core/Transcript.h"

using namespace Qt::StringLiterals;

// The window's pure text rules: the stamps of transcript and log, the transcript's cap, the
// call sign and the trimming of a typed line.
class tst_TextRules : public QObject
{
    Q_OBJECT

private slots:
    // The clock is 24-hour even where the locale's own is not; separator and month are the
    // locale's; the year has two digits.
    void stamps_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("clock");
        QTest::addColumn<QString>("stamp");
        const QLocale finnish(QLocale::Finnish, QLocale::Finland);
        QTest::newRow("morning, US English") << QDateTime(QDate(2026, 12, 6), QTime(9, 5, 59))
                                             << QLocale(QLocale::English, QLocale::UnitedStates) << "09:05"
                                             << "06-Dec-26 09:05";
        QTest::newRow("New Year") << QDateTime(QDate(2027, 1, 1), QTime(0, 0)) << QLocale::c() << "00:00"
                                  << "01-Jan-27 00:00";
        QTest::newRow("2100") << QDateTime(QDate(2100, 3, 9), QTime(23, 59)) << QLocale::c() << "23:59"
                              << "09-Mar-00 23:59";
        QTest::newRow("Finnish") << QDateTime(QDate(2026, 12, 6), QTime(14, 5)) << finnish << "14.05"
                                 << "06-" + finnish.monthName(12, QLocale::ShortFormat) + "-26 14.05";
    }
    void stamps()
    {
        QFETCH(QDateTime, when);
        QFETCH(QLocale, locale);
        QFETCH(QString, clock);
        QFETCH(QString, stamp);
        // Received text goes in exactly as it came: markup, line breaks, NUL, direction marks.
        for (const QString &text : {QString(), u"one\r\ntwo <b>hi</b>"_s, QString::fromUtf16(u"a\0b\u200F", 4)}) {
            QCOMPARE(TranscriptEntry(text, when.time(), false, locale), clock + "<" + text + "\r\n");
            QCOMPARE(TranscriptEntry(text, when.time(), true, locale), clock + "<" + text + "\r\n\r\n");
            QCOMPARE(LogRecord(text, when, locale), stamp + " " + text + "\r\n");
        }
    }

    void transcriptIsCutPast18000KeepingTheNewest10000()
    {
        const QString atCap(18000, u'a');
        QCOMPARE(TranscriptCut(atCap), atCap);
        QCOMPARE(TranscriptCut("o" + QString(18000, u'k')), QString(10000, u'k'));
    }

    void callSignAndTypedLine()
    {
        QCOMPARE(BaseCallSign("N0CALL-R-2"), "N0CALL");
        QCOMPARE(BaseCallSign("-L"), "");
        // Only spaces go: tabs and no-break spaces are part of the line.
        QCOMPARE(TrimSpaces(QString::fromUtf16(u"  \t x\u00A0 ")), QString::fromUtf16(u"\t x\u00A0"));
        QCOMPARE(TrimSpaces("   "), "");
    }
};

QTEST_APPLESS_MAIN(tst_TextRules)
#include "tst_TextRules.moc"
