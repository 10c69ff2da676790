#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "Rig.h"

using namespace Qt::StringLiterals;

// The main window through its real widgets, with everything outside it faked by the rig. Each
// case gets a rig of its own, so that nothing one case did spills into the next. What only the
// real program against the real host shows (the real waits, a window manager's attention mark,
// the settings file across two runs) is left to the end-to-end tests.
class tst_frmMain : public QObject
{
    Q_OBJECT

    std::unique_ptr<Rig> rig;

    QLineEdit *ChatOut() { return rig->Find<QLineEdit>("tbChatOut"); }
    QPlainTextEdit *ChatIn() { return rig->Find<QPlainTextEdit>("tbChatIn"); }
    void Click(const char *item) { rig->Find<QAction>(item)->trigger(); }
    void Type(const QString &text, Qt::Key key = Qt::Key_Return)
    {
        ChatOut()->setText(text);
        QTest::keyClick(ChatOut(), key);
    }
    void Receive(const QStringList &texts)
    {
        for (const QString &text : texts)
            emit rig->ChatTextReceived(text);
        rig->Tick();
    }

private slots:
    void init() { rig = std::make_unique<Rig>(); }

    // Start-up takes its steps in order. A failing host step ends it with one box; a host that
    // closes during start-up ends it there with none. Either way the stored choices stay as they
    // were.
    void startup_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("closingDuring");
        QTest::addColumn<QStringList>("journal");
        QTest::addColumn<frmMain::LoadResult>("result");
        const QStringList steps{
            "wait 3", "CreateEventObject", "wait 4", "CreateSetupConfig", "CreateSysopConfig", "ReadStationCall"};
        const QString box = "box 3 Parlox: Can Not Find EchoLink.\r\nParlox will not work without EchoLink.";
        QTest::newRow("in order") << QString() << QString() << steps << frmMain::LoadResult::Running;
        for (qsizetype i = 1; i < steps.size(); ++i) {
            const QStringList before = steps.first(i + 1);
            if (!steps[i].startsWith("wait"))
                QTest::addRow("%s fails", qPrintable(steps[i]))
                    << steps[i] << "" << before + QStringList{box} << frmMain::LoadResult::Failed;
            QTest::addRow("closing during %s", qPrintable(steps[i]))
                << "" << steps[i] << before + QStringList{"Release True  900 ", "Unloaded"}
                << frmMain::LoadResult::Closed;
        }
    }
    void startup()
    {
        QFETCH(QString, failing);
        QFETCH(QString, closingDuring);
        rig->failing = failing;
        rig->closingDuring = closingDuring;
        rig->StoredFour({"True", "", "900", ""});
        QTEST(rig->Load(), "result");
        QTEST(rig->journal, "journal");
        QCOMPARE(rig->StoredFour(), "True  900 ");
    }

    // The host's closing saves the choices before the host is let go, with the chat timer
    // stopped; a window closed while minimised keeps the place stored before, and a settings
    // file that cannot be written is no obstacle. A click on either item of a pair switches it;
    // View Log opens the log whether logging is on or off. (The end-to-end tests exit with the
    // window in a new place, and read it from the settings file.)
    void unloadSavesTheChoices()
    {
        rig->StoredFour({"", "", "1500", "3000"});
        QVERIFY(QDir().mkpath(rig->conf));
        frmMain &window = rig->Start();
        for (const char *item : {"mnuRecordOff", "mnuRecordOn", "mnuViewLog", "mnuRecordOn", "mnuViewLog", "mnuDouble"})
            Click(item);
        window.setWindowState(Qt::WindowMinimized);
        emit rig->Closing();
        const QString opened = "open " + rig->logPath();
        QCOMPARE(rig->journal.mid(6), QStringList({opened, opened, "Release True False 1500 3000", "Unloaded"}));
    }

    // A stored coordinate that cannot be used, or a place that leaves the title bar on no screen,
    // leaves the laid-out one, which the platform decides (the place's other coordinate is still
    // used).
    void unusablePlacesLeaveTheLaidOutOne()
    {
        const QPoint laidOut = Rig().Start().frameGeometry().topLeft();
        rig->StoredFour({"", "", "abc", "300"});
        QCOMPARE(rig->Start().frameGeometry().topLeft(), QPoint(20, laidOut.y()));
        Rig offScreen;
        offScreen.StoredFour({"", "", "-100000", "300"});
        QCOMPARE(offScreen.Start().frameGeometry().topLeft(), laidOut);
    }

    // All texts of a tick are shown and logged in order and as they are, each with one reading of
    // the clock shared by transcript and log; a text that cannot be stamped waits at the head. A
    // typed line goes out trimmed, to the end of the transcript whatever is selected there, and
    // spacing changes only later entries. A line has no length limit of the box's own. Clear
    // Screen empties the pane.
    void chatBothWays()
    {
        rig->Start();
        Click("mnuRecordOn");
        rig->clockFails = true;
        const QString odd = u"XX2DEF><b>two</b> <img src=x>\0\u200F\u05E9\r\nend"_s;
        Receive({"XX1ABC>one", "", odd});
        QCOMPARE(ChatIn()->toPlainText(), "");
        rig->clockFails = false;
        rig->Tick();
        ChatIn()->selectAll();
        Type("  mine  ");
        Click("mnuSingle");
        Type("\tkeypad\t", Qt::Key_Enter);
        ChatOut()->setText("button");
        QTest::mouseClick(rig->Find<QPushButton>("cmdSend"), Qt::LeftButton);
        Type("   ");
        QCOMPARE(rig->posted, QStringList({"mine", "\tkeypad\t", "button"}));
        QCOMPARE(ChatIn()->toPlainText(),
                 "14:06<XX1ABC>one\n\n14:07<" + QString(odd).replace("\r\n", "\n")
                     + "\n\n14:08<N0CALL>mine\n\n14:09<N0CALL>\tkeypad\t\n14:10<N0CALL>button\n");
        // The log is in the system's 8-bit encoding: UTF-8 here, the ANSI code page on Windows.
        QFile log(rig->logPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll(),
                 ("06-Dec-26 14:06 XX1ABC>one\r\n06-Dec-26 14:07 " + odd
                  + "\r\n06-Dec-26 14:08 N0CALL>mine\r\n06-Dec-26 14:09 N0CALL>\tkeypad\t\r\n"
                    "06-Dec-26 14:10 N0CALL>button\r\n")
                     .toLocal8Bit());
        QCOMPARE(ChatOut()->text(), "");
        QCOMPARE(QApplication::focusWidget(), ChatOut());
        QVERIFY(!rig->journal.contains("alert"));

        Type(QString(100'000, u'x'));
        QCOMPARE(rig->posted.last().size(), 100'000);

        // The pane counts its line breaks as CR LF: 1125 entries of sixteen characters are exactly
        // at the cap, the next entry ("y") still goes in whole, and the one after it first cuts the
        // pane to its newest 10000 characters.
        Click("mnuClearScreen");
        QCOMPARE(ChatIn()->toPlainText(), "");
        Receive(QStringList(1125, "XX1ABC>x") << "XX1ABC>y");
        Receive({"XX1ABC>cut"});
        const QString pane = ChatIn()->toPlainText();
        QVERIFY(pane.endsWith("<XX1ABC>y\n" + pane.right(17)) && pane.endsWith("<XX1ABC>cut\n"));
        QCOMPARE(pane.size() + pane.count('\n'), 10000 + 18);
    }

    // A line the host refuses, or may not have had, stays in the box, out of transcript, log and
    // recall (Up shows the line sent before it, Down brings it back); the box says which it was.
    void failedSendKeepsTheLineAndSaysWhy_data()
    {
        QTest::addColumn<HostError::Outcome>("outcome");
        QTest::addColumn<QString>("says");
        QTest::newRow("refused") << HostError::Outcome::NotDone << "box 2 Parlox: Your line was not sent.\r\n";
        QTest::newRow("no answer") << HostError::Outcome::Unknown
                                   << "box 2 Parlox: Your line may not have been sent.\r\n";
    }
    void failedSendKeepsTheLineAndSaysWhy()
    {
        QFETCH(HostError::Outcome, outcome);
        QFETCH(QString, says);
        rig->Start();
        Type("taken");
        Click("mnuRecordOn");
        rig->failing = "PostChatLine";
        rig->outcome = outcome;
        Type("  are you there?");
        QCOMPARE(rig->journal.filter("box").size(), 1);
        QVERIFY2(rig->journal.last().startsWith(says + "the host did not answer"), qPrintable(rig->journal.last()));
        QCOMPARE(ChatOut()->text(), "  are you there?");
        QCOMPARE(ChatIn()->toPlainText(), "14:06<N0CALL>taken\n\n");
        QVERIFY(!QFile::exists(rig->logPath()));
        QTest::keyClick(ChatOut(), Qt::Key_Up);
        QCOMPARE(ChatOut()->text(), "taken");
        QTest::keyClick(ChatOut(), Qt::Key_Down);
        QCOMPARE(ChatOut()->text(), "  are you there?");
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
