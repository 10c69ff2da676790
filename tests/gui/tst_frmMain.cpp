#include <limits>

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "Rig.h"

using namespace Qt::StringLiterals;

// In a place, a coordinate that stands for the laid-out one.
constexpr int kLaidOut = std::numeric_limits<int>::min();

// The main window through its real widgets, with everything outside it faked by the rig. Each
// case gets a rig of its own, so that nothing one case did spills into the next.
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
    QByteArray Log()
    {
        QFile file(rig->logPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static bool Activate(QWidget *window)
    {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
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
        QTest::newRow("closing during a step that fails")
            << "CreateSysopConfig"
            << "CreateSysopConfig" << steps.first(5) + QStringList{"Release True  900 ", "Unloaded"}
            << frmMain::LoadResult::Closed;
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
        QVERIFY(!rig->window->isVisible());
        QCOMPARE(rig->StoredFour(), "True  900 ");
    }

    // Every way out saves the four values before the host is let go, with the chat timer
    // stopped; a window closed while minimised keeps the place stored before; a settings file
    // that cannot be read or written is no obstacle. A click on either item of a pair switches
    // it; View Log opens the log whether logging is on or off.
    void everyUnloadSavesTheChoices_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("released");
        const QString moved = "Release True False 1350 1800";
        QTest::newRow("Exit") << "exit" << moved;
        QTest::newRow("close box") << "close" << moved;
        QTest::newRow("host closing") << "host" << moved;
        QTest::newRow("minimised") << "minimised"
                                   << "Release True False 1500 3000";
        QTest::newRow("settings file a folder") << "broken" << moved;
    }
    void everyUnloadSavesTheChoices()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, released);
        rig->StoredFour({"", "", "1500", "3000"});
        if (trigger == "broken")
            QVERIFY(QFile::remove(rig->conf) && QDir().mkpath(rig->conf));
        frmMain &window = rig->Start();
        window.move(120, 90);
        for (const char *item : {"mnuRecordOff", "mnuRecordOn", "mnuViewLog", "mnuRecordOn", "mnuViewLog", "mnuDouble"})
            Click(item);
        if (trigger == "minimised")
            window.setWindowState(Qt::WindowMinimized);
        if (trigger == "exit")
            Click("mnuExit");
        else if (trigger == "host")
            emit rig->Closing();
        else
            window.close();
        const QString opened = "open " + rig->logPath();
        QCOMPARE(rig->journal.mid(6), QStringList({opened, opened, released, "Unloaded"}));
        QCOMPARE("Release " + rig->StoredFour(), released);
    }

    // The stored place comes back; a coordinate that cannot be used, or a place that leaves the
    // title bar on no screen, leaves the laid-out one (the place's other coordinate still used).
    void storedChoicesAreApplied_data()
    {
        QTest::addColumn<QStringList>("stored");
        // kLaidOut stands for the laid-out outer coordinate, frame included, which the platform
        // decides.
        QTest::addColumn<QPoint>("place");
        QTest::newRow("stored") << QStringList{"True", "False", "1800", "-60"} << QPoint(-4, 120);
        QTest::newRow("lower case, not a number") << QStringList{"true", "", "abc", "300"} << QPoint(20, kLaidOut);
        QTest::newRow("title bar off every screen")
            << QStringList{"", "", "-100000", "300"} << QPoint(kLaidOut, kLaidOut);
        QTest::newRow("far right") << QStringList{"", "", "300", "900000"} << QPoint(kLaidOut, kLaidOut);
    }
    void storedChoicesAreApplied()
    {
        QFETCH(QStringList, stored);
        QFETCH(QPoint, place);
        rig->StoredFour(stored);
        const QPoint laidOut = Rig().Start().frameGeometry().topLeft();
        const QPoint placed = rig->Start().frameGeometry().topLeft();
        QCOMPARE(
            placed,
            QPoint(place.x() == kLaidOut ? laidOut.x() : place.x(), place.y() == kLaidOut ? laidOut.y() : place.y()));
    }

    // All texts of a tick are shown and logged in order and as they are, each with one reading of
    // the clock shared by transcript and log; a text that cannot be stamped waits at the head. A
    // typed line goes out trimmed, to the end of the transcript whatever is selected there, and
    // spacing changes only later entries. A pasted line has no length limit of the box's own.
    void chatBothWays()
    {
        rig->Start();
        Click("mnuRecordOn");
        rig->clockFails = true;
        const QString odd = u"XX2DEF><b>two</b> <img src=x>\0\u200F\u05E9\r\nend"_s;
        Receive({"XX1ABC>one", "", odd});
        QCOMPARE(ChatIn()->toPlainText(), "");
        rig->clockFails = false;
        rig->clockRuns = true;
        rig->Tick();
        QTextCursor selection(ChatIn()->document());
        selection.setPosition(2);
        selection.setPosition(4, QTextCursor::KeepAnchor);
        ChatIn()->setTextCursor(selection);
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
        QCOMPARE(Log(),
                 ("06-Dec-26 14:06 XX1ABC>one\r\n06-Dec-26 14:07 " + odd
                  + "\r\n06-Dec-26 14:08 N0CALL>mine\r\n06-Dec-26 14:09 N0CALL>\tkeypad\t\r\n"
                    "06-Dec-26 14:10 N0CALL>button\r\n")
                     .toLocal8Bit());
        QCOMPARE(ChatOut()->text(), "");
        QCOMPARE(QApplication::focusWidget(), ChatOut());
        QVERIFY(!rig->journal.contains("alert"));

        ChatOut()->setText("draft");
        Click("mnuClearScreen");
        QCOMPARE(ChatIn()->toPlainText(), "");
        QCOMPARE(ChatOut()->text(), "draft");
        ChatOut()->clear();
        QGuiApplication::clipboard()->setText(QString(100'000, u'x'));
        QTest::keyClick(ChatOut(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(ChatOut(), Qt::Key_Return);
        QCOMPARE(rig->posted.last().size(), 100'000);
    }

    void paneIsCutPastTheCap()
    {
        rig->Start();
        Click("mnuSingle");
        // 1125 entries of sixteen characters with their CR LF: exactly at the cap, not cut yet.
        Receive(QStringList(1125, "XX1ABC>x"));
        Receive({"XX1ABC>at cap"});
        QCOMPARE(ChatIn()->toPlainText().count("XX1ABC>x\n"), 1125);
        // Past the cap: the next entry first keeps the newest 10000 characters.
        Receive({"XX1ABC>cut"});
        const QString pane = ChatIn()->toPlainText();
        QVERIFY(pane.endsWith("14:05<XX1ABC>at cap\n14:05<XX1ABC>cut\n"));
        QCOMPARE(pane.size() + pane.count('\n'), 10000 + 18);
    }

    // A line the host refuses, or may not have had, stays in the box, out of transcript, log and
    // recall; the box says which it was.
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
        QCOMPARE(ChatIn()->toPlainText(), "14:05<N0CALL>taken\n\n");
        QVERIFY(!QFile::exists(rig->logPath()));
        QTest::keyClick(ChatOut(), Qt::Key_Up);
        QCOMPARE(ChatOut()->text(), "taken");
        QTest::keyClick(ChatOut(), Qt::Key_Down);
        rig->failing.clear();
        QTest::keyClick(ChatOut(), Qt::Key_Return);
        QCOMPARE(rig->posted, QStringList({"taken", "are you there?"}));
    }

    // Texts shown while the window is in the background ask for attention once until it is
    // activated again; a sent line or an empty text does not ask.
    void attentionOnceUntilActivated()
    {
        rig->Start();
        QWidget elsewhere;
        QVERIFY(Activate(&elsewhere));
        Type("my own line");
        Receive({""});
        QCOMPARE(rig->journal.count("alert"), 0);
        Receive({"XX1ABC>one", "XX2DEF>two"});
        Receive({"XX1ABC>three, a tick later"});
        QCOMPARE(rig->journal.count("alert"), 1);
        QVERIFY(Activate(rig->window.get()));
        Receive({"XX1ABC>while looking"});
        QVERIFY(Activate(&elsewhere));
        Receive({"XX1ABC>after a look"});
        QCOMPARE(rig->journal.count("alert"), 2);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
