#include <QTest>

#include "core/Transcript.h"

class tst_Transcript : public QObject
{
    Q_OBJECT

private slots:
    void entryLayout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("doubleSpacing");
        QTest::addColumn<QString>("expected");
        QTest::newRow("single") << "hello" << false << "09:05<hello\r\n";
        QTest::newRow("double") << "hello" << true << "09:05<hello\r\n\r\n";
        QTest::newRow("own line") << "N0CALL>hi there" << true << "09:05<N0CALL>hi there\r\n\r\n";
        QTest::newRow("line breaks inside, stamp only before the first")
            << "one\r\ntwo" << false << "09:05<one\r\ntwo\r\n";
        QTest::newRow("markup kept") << "<b>hi</b>" << false << "09:05<<b>hi</b>\r\n";
        QTest::newRow("empty") << "" << false << "09:05<\r\n";
    }
    void entryLayout()
    {
        QFETCH(QString, text);
        QFETCH(bool, doubleSpacing);
        QFETCH(QString, expected);
        QCOMPARE(TranscriptEntry(text, QTime(9, 5, 30), doubleSpacing, QLocale::c()), expected);
    }

    void fiveCharactersMakeThirteenOrFifteen()
    {
        QCOMPARE(TranscriptEntry("abcde", QTime(9, 5), false, QLocale::c()).size(), 13);
        QCOMPARE(TranscriptEntry("abcde", QTime(9, 5), true, QLocale::c()).size(), 15);
    }

    void cutKeepsTheNewestTextOnlyPastTheCap()
    {
        const QString atCap(kTranscriptCap, QLatin1Char('a'));
        QCOMPARE(TranscriptCut(atCap), atCap);

        const QString overCap = QString(kTranscriptCap + 1 - kTranscriptKeep, QLatin1Char('o'))
                                + QString(kTranscriptKeep, QLatin1Char('k'));
        QCOMPARE(TranscriptCut(overCap), QString(kTranscriptKeep, QLatin1Char('k')));
        QCOMPARE(TranscriptCut(QString()), QString());
    }

    void cutMayFallBetweenCrAndLf()
    {
        // The kept text begins right after a CR: with the lone LF of that line break.
        QString pane(kTranscriptCap - kTranscriptKeep, QLatin1Char('x'));
        pane += QStringLiteral("\r\n");
        pane += QString(kTranscriptKeep - 1, QLatin1Char('y'));
        QCOMPARE(pane.size(), kTranscriptCap + 1);
        const QString kept = TranscriptCut(pane);
        QCOMPARE(kept.size(), kTranscriptKeep);
        QVERIFY(kept.startsWith(QLatin1Char('\n')));
    }
};

QTEST_APPLESS_MAIN(tst_Transcript)
#include "tst_Transcript.moc"
