#include <QTest>

#include "core/LogRecord.h"
#include "core/SentLines.h"
#include "core/Transcript.h"

using namespace Qt::StringLiterals;

// The window's pure text rules: the stamps of transcript and log, the transcript's cap and the
// recall of sent lines.
class tst_TextRules : public QObject
{
    Q_OBJECT

private slots:
    // The clock is 24-hour even where the locale's own is not; separator and month are the
    // locale's; the year has two digits. Text goes in exactly as it came: markup, line breaks,
    // NUL, direction marks.
    void stamps()
    {
        const QLocale finnish(QLocale::Finnish, QLocale::Finland), us(QLocale::English, QLocale::UnitedStates);
        const QString text = u"one\r\ntwo <b>hi</b>\0\u200F"_s;
        const QDateTime morning(QDate(2026, 12, 6), QTime(9, 5, 59));
        QCOMPARE(TranscriptEntry(text, morning.time(), false, us), "09:05<" + text + "\r\n");
        QCOMPARE(TranscriptEntry(text, QTime(14, 5), true, finnish), "14.05<" + text + "\r\n\r\n");
        QCOMPARE(LogRecord(text, morning, us), "06-Dec-26 09:05 " + text + "\r\n");
        QCOMPARE(LogRecord("", QDateTime(QDate(2100, 3, 9), QTime(23, 59)), QLocale::c()), "09-Mar-00 23:59 \r\n");
        QCOMPARE(LogRecord("", QDateTime(QDate(2026, 12, 6), QTime(14, 5)), finnish),
                 "06-" + finnish.monthName(12, QLocale::ShortFormat) + "-26 14.05 \r\n");
    }

    void transcriptIsCutPast18000KeepingTheNewest10000()
    {
        const QString atCap(18000, u'a');
        QCOMPARE(TranscriptCut(atCap), atCap);
        QCOMPARE(TranscriptCut("o" + QString(18000, u'k')), QString(10000, u'k'));
    }

    // The walk through the sent lines "a", "b", "c", with the box played by a string: each step
    // is a key (Up, Down), a send of what the box holds, or text typed over the box ("=text").
    void recall_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("boxAfterEachStep");
        QTest::newRow("newest first, stops at both ends, the draft comes back")
            << " draft " << QStringList{"Up", "Up", "Up", "Up", "Down", "Down", "Down", "Down"}
            << "c|b|a|a|b|c| draft | draft ";
        QTest::newRow("an edited line becomes the draft, the walk starts again")
            << "" << QStringList{"Up", "Up", "=b!", "Down", "Up", "Down"} << "c|b|b!|b!|c|b!";
        QTest::newRow("a sent line is newest, the walk starts afresh")
            << "old" << QStringList{"Up", "=c2", "Send", "Up", "Up", "Down", "Down"} << "c|c2||c2|c|c2|";
    }
    void recall()
    {
        QFETCH(QString, box);
        QFETCH(QStringList, steps);
        SentLines lines;
        for (const char *line : {"a", "b", "c"})
            lines.Remember(QString::fromLatin1(line));
        QStringList seen;
        for (const QString &step : steps) {
            if (step == "Up")
                box = lines.Older(box).value_or(box);
            else if (step == "Down")
                box = lines.Newer(box).value_or(box);
            else if (step == "Send")
                lines.Remember(std::exchange(box, QString()));
            else
                box = step.mid(1);
            seen.append(box);
        }
        QTEST(seen.join('|'), "boxAfterEachStep");
    }
};

QTEST_APPLESS_MAIN(tst_TextRules)
#include "tst_TextRules.moc"
