// The chat log as Windows writes it: in the ANSI code page, which is 1252 (Western European)
// where these tests run.
#include <windows.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/ChatLog.h"

class tst_ChatLogAnsi : public QObject
{
    Q_OBJECT

private slots:
    // A character the code page lacks becomes a question mark; the record stays whole.
    void recordsAreAppendedInTheAnsiCodePage()
    {
        if (GetACP() != 1252)
            QSKIP("The expected bytes are those of code page 1252.");
        QTemporaryDir dir;
        ChatLog(dir.filePath("ParloxLog.txt")).Append(QString::fromUtf8("N0CALL>Grüße aus Köln €\r\n"));
        ChatLog(dir.filePath("ParloxLog.txt")).Append(QString::fromUtf8("XX1ABC>日本 ✓ ok\r\n"));
        QFile file(dir.filePath("ParloxLog.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("N0CALL>Gr\xFC\xDF"
                            "e aus K\xF6ln \x80\r\nXX1ABC>?? ? ok\r\n"));
    }
};

QTEST_APPLESS_MAIN(tst_ChatLogAnsi)
#include "tst_ChatLogAnsi.moc"
