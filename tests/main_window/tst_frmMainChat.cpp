#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "Rig.h"

namespace {

QByteArray LogOf(const Rig &rig)
{
    QFile file(rig.logPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Chat through the real widgets: sending, receiving, the transcript and the log.
class tst_frmMainChat : public QObject
{
    Q_OBJECT

private:
    // Each case gets a rig of its own, so that nothing one case did spills into the next.
    std::unique_ptr<Rig> rig;
    QLineEdit *chatOut = nullptr;
    QPlainTextEdit *chatIn = nullptr;

    void Type(const QString &text, Qt::Key key = Qt::Key_Return)
    {
        chatOut->setText(text);
        QTest::keyClick(chatOut, key);
    }
    void LoggingOn() { rig->Find<QAction>("mnuRecordOn")->trigger(); }
    QString Pane() const { return chatIn->toPlainText(); }

private slots:
    void init()
    {
        rig = std::make_unique<Rig>();
        rig->Start();
        QVERIFY(QTest::qWaitForWindowActive(rig->window.get()));
        chatOut = rig->Find<QLineEdit>("tbChatOut");
        chatIn = rig->Find<QPlainTextEdit>("tbChatIn");
    }
    void cleanup() { rig.reset(); }

    void enterSendsTheTrimmedLineToHostLogAndTranscript()
    {
        LoggingOn();
        Type("  hello there  ");
        QCOMPARE(rig->host.posted, QStringList({"hello there"}));
        QCOMPARE(LogOf(*rig), "06-Dec-26 14:05 N0CALL>hello there\r\n");
        QCOMPARE(Pane(), "14:05<N0CALL>hello there\n\n");
        QCOMPARE(chatOut->text(), "");
        QCOMPARE(QApplication::focusWidget(), chatOut);
    }

    void keypadEnterAndTheButtonSendToo()
    {
        Type("one", Qt::Key_Enter);
        chatOut->setText("two");
        QTest::mouseClick(rig->Find<QPushButton>("cmdSend"), Qt::LeftButton);
        QCOMPARE(rig->host.posted, QStringList({"one", "two"}));
        QCOMPARE(QApplication::focusWidget(), chatOut);
    }

    void nothingToSend()
    {
        LoggingOn();
        Type("");
        Type("     ");
        QCOMPARE(chatOut->text(), "");
        QTest::mouseClick(rig->Find<QPushButton>("cmdSend"), Qt::LeftButton);
        QVERIFY(rig->host.posted.isEmpty());
        QCOMPARE(Pane(), "");
        QVERIFY(!QFile::exists(rig->logPath()));
        QCOMPARE(QApplication::focusWidget(), chatOut);
    }

    void tabsAtTheEndsAreSent()
    {
        Type(" \tx y\t ");
        QCOMPARE(rig->host.posted, QStringList({"\tx y\t"}));
    }

    void failedSendKeepsTheLineAndSaysWhy_data()
    {
        QTest::addColumn<HostError::Outcome>("outcome");
        QTest::addColumn<QString>("says");
        QTest::newRow("refused") << HostError::Outcome::NotDone << "Your line was not sent.\r\n";
        QTest::newRow("no answer in time") << HostError::Outcome::Unknown << "Your line may not have been sent.\r\n";
    }
    void failedSendKeepsTheLineAndSaysWhy()
    {
        QFETCH(HostError::Outcome, outcome);
        QFETCH(QString, says);
        LoggingOn();
        rig->host.failingStep = "PostChatLine";
        rig->host.failingOutcome = outcome;
        Type("  are you there?");
        QCOMPARE(rig->messages.size(), 1);
        QCOMPARE(rig->messages[0].icon, QMessageBox::Warning);
        QCOMPARE(rig->messages[0].title, "Parlox");
        QVERIFY2(rig->messages[0].text.startsWith(says), qPrintable(rig->messages[0].text));
        QVERIFY(rig->messages[0].text.contains("the host did not answer"));
        QCOMPARE(chatOut->text(), "  are you there?");
        QCOMPARE(Pane(), "");
        QVERIFY(!QFile::exists(rig->logPath()));
        QCOMPARE(rig->unloads, 0);
    }

    void longLinesGoOutWhole_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("100,000 characters") << 100'000;
        QTest::newRow("1 MB") << (1 << 20);
    }
    void longLinesGoOutWhole()
    {
        QFETCH(int, length);
        const QString line(length, QLatin1Char('x'));
        QGuiApplication::clipboard()->setText(line);
        QTest::keyClick(chatOut, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(chatOut, Qt::Key_Return);
        QCOMPARE(rig->host.posted.value(0).size(), length);
    }

    void transcriptAndLogShareOneStampAtAMinutesTurn()
    {
        LoggingOn();
        rig->clockRuns = true;
        emit rig->host.ChatTextReceived("XX1ABC>turn");
        QTRY_VERIFY(!Pane().isEmpty());
        Type("mine");
        QCOMPARE(Pane(), "14:06<XX1ABC>turn\n\n14:07<N0CALL>mine\n\n");
        QCOMPARE(LogOf(*rig), "06-Dec-26 14:06 XX1ABC>turn\r\n06-Dec-26 14:07 N0CALL>mine\r\n");
    }

    void loggingOffWritesNoFile()
    {
        Type("hello");
        emit rig->host.ChatTextReceived("XX1ABC>hi");
        QTRY_VERIFY(Pane().contains("XX1ABC>hi"));
        QVERIFY(!QFile::exists(rig->logPath()));
    }

    void textsWithinOneTickAreAllShownAndLoggedInOrder()
    {
        LoggingOn();
        for (const char *text : {"XX1ABC>one", "", "XX2DEF>two", "XX1ABC>one"})
            emit rig->host.ChatTextReceived(text);
        QCOMPARE(Pane(), "");
        QTRY_COMPARE(Pane(), "14:05<XX1ABC>one\n\n14:05<XX2DEF>two\n\n14:05<XX1ABC>one\n\n");
        QCOMPARE(LogOf(*rig), "06-Dec-26 14:05 XX1ABC>one\r\n06-Dec-26 14:05 XX2DEF>two\r\n"
                             "06-Dec-26 14:05 XX1ABC>one\r\n");
        QVERIFY(rig->host.posted.isEmpty());
    }

    void textThatCannotBeShownWaitsAtTheHead()
    {
        LoggingOn();
        rig->clockFails = true;
        emit rig->host.ChatTextReceived("first");
        emit rig->host.ChatTextReceived("second");
        QTest::qWait(700);
        QCOMPARE(Pane(), "");
        rig->clockFails = false;
        QTRY_COMPARE(Pane(), "14:05<first\n\n14:05<second\n\n");
        QCOMPARE(LogOf(*rig), "06-Dec-26 14:05 first\r\n06-Dec-26 14:05 second\r\n");
    }

    void receivedTextIsShownAndLoggedLiterally_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("markup") << "<b>hi</b> <img src=x>";
        QTest::newRow("NUL") << QString::fromUtf16(u"a\0b", 3);
        QTest::newRow("right-to-left") << QString::fromUtf16(u"\u200Fשלום\u200E");
        QTest::newRow("1 MB") << QString(1 << 20, QLatin1Char('m'));
        QTest::newRow("thousand line breaks") << QString("line\r\n").repeated(1000);
    }
    void receivedTextIsShownAndLoggedLiterally()
    {
        QFETCH(QString, text);
        LoggingOn();
        emit rig->host.ChatTextReceived(text);
        QTRY_VERIFY(!Pane().isEmpty());
        QString shown = text;
        shown.replace("\r\n", "\n");
        QVERIFY(Pane().contains("14:05<" + shown));
        // The log is in the system's 8-bit encoding: UTF-8 here, the ANSI code page on Windows.
        QCOMPARE(LogOf(*rig), ("06-Dec-26 14:05 " + text + "\r\n").toLocal8Bit());
    }

    void entriesGoToTheEndWhateverTheSelection()
    {
        rig->Find<QAction>("mnuSingle")->trigger();
        emit rig->host.ChatTextReceived("first");
        QTRY_VERIFY(!Pane().isEmpty());
        QTextCursor cursor(chatIn->document());
        cursor.setPosition(2);
        cursor.setPosition(4, QTextCursor::KeepAnchor);
        chatIn->setTextCursor(cursor);
        Type("second");
        QCOMPARE(Pane(), "14:05<first\n14:05<N0CALL>second\n");
        QCOMPARE(chatIn->verticalScrollBar()->value(), chatIn->verticalScrollBar()->maximum());
    }

    void spacingSwitchesForLaterEntriesOnly()
    {
        Type("a");
        rig->Find<QAction>("mnuDouble")->trigger();
        Type("b");
        QCOMPARE(Pane(), "14:05<N0CALL>a\n\n14:05<N0CALL>b\n");
    }

    void clearScreenEmptiesThePaneOnly()
    {
        LoggingOn();
        Type("a");
        chatOut->setText("draft");
        rig->Find<QAction>("mnuClearScreen")->trigger();
        QCOMPARE(Pane(), "");
        QCOMPARE(chatOut->text(), "draft");
        QVERIFY(rig->Find<QAction>("mnuRecordOn")->isChecked());
        rig->window->ShowChatMessage("b", rig->now);
        QCOMPARE(Pane(), "14:05<b\n\n");
    }

    void paneIsCutPastTheCap()
    {
        // 3000 lines of four characters and CR LF: exactly at the cap, not cut yet.
        chatIn->setPlainText(QString("xxxx\n").repeated(3000));
        rig->window->ShowChatMessage("at cap", rig->now);
        QCOMPARE(Pane().count("xxxx\n"), 3000);

        // Now past the cap: the next entry first keeps the newest 10000 characters.
        rig->window->ShowChatMessage("cut", rig->now);
        const QString pane = Pane();
        QVERIFY(pane.endsWith("14:05<at cap\n\n14:05<cut\n\n"));
        QVERIFY2(pane.size() + pane.count('\n') <= 10000 + 13, qPrintable(QString::number(pane.size())));
    }

    void viewLogOpensTheLogPathWhateverTheChoice()
    {
        rig->Find<QAction>("mnuViewLog")->trigger();
        LoggingOn();
        rig->Find<QAction>("mnuViewLog")->trigger();
        QCOMPARE(rig->opened, QStringList({rig->logPath(), rig->logPath()}));
        rig->opened.clear();
    }

    // ---- Attention while the window is in the background ----

    void textsInTheBackgroundAskForAttentionOnceUntilActivated()
    {
        QVERIFY(rig->Deactivate());
        emit rig->host.ChatTextReceived("XX1ABC>one");
        emit rig->host.ChatTextReceived("XX2DEF>two");
        QTRY_VERIFY(Pane().contains("XX2DEF>two"));
        QCOMPARE(rig->alerted, QList<QWidget *>({rig->window.get()}));

        emit rig->host.ChatTextReceived("XX1ABC>three, a tick later");
        QTRY_VERIFY(Pane().contains("three"));
        QCOMPARE(rig->alerted.size(), 1);

        QVERIFY(rig->Activate());
        QVERIFY(rig->Deactivate());
        emit rig->host.ChatTextReceived("XX1ABC>after a look");
        QTRY_COMPARE(rig->alerted.size(), 2);
    }

    void noAttentionWhileActiveForOwnLinesOrEmptyTexts()
    {
        emit rig->host.ChatTextReceived("XX1ABC>seen");
        QTRY_VERIFY(!Pane().isEmpty());
        QVERIFY(rig->Deactivate());
        Type("my own line");
        emit rig->host.ChatTextReceived("");
        QTest::qWait(700);
        QCOMPARE(Pane(), "14:05<XX1ABC>seen\n\n14:05<N0CALL>my own line\n\n");
        QVERIFY(rig->alerted.isEmpty());
    }

    // ---- Recall of sent lines ----

    void upAndDownWalkTheSentLinesAndBringBackTheDraft()
    {
        Type("first");
        Type("second");
        chatOut->setText("half");
        QTest::keyClick(chatOut, Qt::Key_Up);
        QCOMPARE(chatOut->text(), "second");
        QTest::keyClick(chatOut, Qt::Key_Down);
        QCOMPARE(chatOut->text(), "half");

        QTest::keyClick(chatOut, Qt::Key_Up);
        QTest::keyClick(chatOut, Qt::Key_Return);
        QCOMPARE(rig->host.posted, QStringList({"first", "second", "second"}));
        QCOMPARE(chatOut->text(), "");
        QCOMPARE(QApplication::focusWidget(), chatOut);
    }

    void aRefusedLineStaysInTheBoxAndIsNotRecalled()
    {
        Type("taken");
        rig->host.failingStep = "PostChatLine";
        Type("refused");
        QCOMPARE(chatOut->text(), "refused");
        QTest::keyClick(chatOut, Qt::Key_Up);
        QCOMPARE(chatOut->text(), "taken");
        QTest::keyClick(chatOut, Qt::Key_Down);
        QCOMPARE(chatOut->text(), "refused");
    }

    void unloadDropsWaitingTexts()
    {
        LoggingOn();
        emit rig->host.ChatTextReceived("too late");
        rig->window->close();
        QTest::qWait(700);
        QCOMPARE(Pane(), "");
        QVERIFY(!QFile::exists(rig->logPath()));
    }
};

QTEST_MAIN(tst_frmMainChat)
#include "tst_frmMainChat.moc"
