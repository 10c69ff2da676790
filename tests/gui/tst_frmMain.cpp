#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "Rig.h"

using namespace Qt::StringLiterals;

// The main window through its real widgets, with everything outside it faked by the rig. Each
// case gets a rig of its own, so that nothing one case did spills into the next. What only the
// real program against the real host shows (the real waits, a window manager's attention mark,
// the settings file across two runs, a screen reader) is left to the end-to-end tests.
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
    // The captions of the menu bar's entries and of the items under them, and the ticked ones.
    static QString Menus(const QMenuBar *bar, bool tickedOnly = false)
    {
        QStringList menus;
        for (const QAction *entry : bar->actions()) {
            QStringList items;
            for (const QAction *item : entry->menu() ? entry->menu()->actions() : QList<QAction *>())
                if (!tickedOnly || item->isChecked())
                    items.append(item->text() + " " + item->objectName());
            menus.append(tickedOnly ? items.join(", ")
                                    : entry->text() + (items.isEmpty() ? "" : ": " + items.join(", ")));
        }
        return menus.filter(QRegularExpression(".")).join("; ");
    }

private slots:
    void init() { rig = std::make_unique<Rig>(); }

    // Start-up takes its steps in order under the splash, and then ticks twice a second. A
    // failing host step ends it with one box; a host that closes during start-up ends it there
    // with none. Either way the stored choices stay as they were and nothing ticks. A host that
    // goes during start-up is left to the steps after it: no notice comes before the box.
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
                << "" << steps[i] << before + QStringList{"Release True  900   ", "Unloaded"}
                << frmMain::LoadResult::Closed;
        }
    }
    void startup()
    {
        QFETCH(QString, failing);
        QFETCH(QString, closingDuring);
        QFETCH(frmMain::LoadResult, result);
        rig->failing = failing;
        rig->closingDuring = closingDuring;
        rig->goneDuring = "wait 4";
        rig->StoredSix({"True", "", "900", "", "", ""});
        QCOMPARE(rig->Load(), result);
        QTEST(rig->journal, "journal");
        QCOMPARE(rig->StoredSix(), "True  900   ");
        QCOMPARE(rig->splash, "Parlox By Tolvane");
        const QTimer *tick = rig->Find<QTimer>("tChatReceived");
        if (result == frmMain::LoadResult::Running)
            QVERIFY(tick->isActive() && tick->interval() == 500);
    }

    // The window as it first shows: its captions, menus and ticks, its fixed place and size, the
    // focus in the entry line and Tab going round the three controls. Alt takes the keyboard to
    // the menu bar; so does F10, which opens the first menu, and the arrows go on past the
    // commands on the bar.
    void firstLook()
    {
        frmMain &window = rig->Start();
        QCOMPARE(window.windowTitle(), "Parlox ~ N0CALL ~ v 1.0.0");
        QCOMPARE(Menus(window.menuBar()),
                 "File: Exit mnuExit; Log To File: On mnuRecordOn, Off mnuRecordOff; View Log; "
                 "Clear Screen; Spacing: Single mnuSingle, Double mnuDouble; Announce: Sound "
                 "mnuSound, Read Aloud mnuReadAloud");
        QCOMPARE(Menus(window.menuBar(), true), "Off mnuRecordOff; Double mnuDouble");
        QCOMPARE(window.centralWidget()->mapToGlobal(QPoint()), QPoint(169, 135));
        QCOMPARE(window.centralWidget()->size(), QSize(466, 345));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QStringList focus;
        for (int i = 0; i < 4; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            focus.append(QApplication::focusWidget()->objectName());
        QCOMPARE(focus, QStringList({"tbChatOut", "tbChatIn", "cmdSend", "tbChatOut"}));
        QTest::keyClick(&window, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyClick(window.menuBar(), Qt::Key_Down);
        QTRY_VERIFY(rig->Find<QMenu>("mnuFile")->isVisible());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTest::keyClick(window.menuBar(), Qt::Key_Escape);
        QVERIFY(!rig->Find<QMenu>("mnuFile")->isVisible());
        QTest::keyClick(&window, Qt::Key_F10);
        QTRY_VERIFY(rig->Find<QMenu>("mnuFile")->isVisible());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(window.menuBar()->activeAction()->text(), "Clear Screen");
    }

    // Exactly one item of each pair is ticked, "True" being the only text that ticks the first;
    // the announcements are ticked as stored, Read Aloud as a running screen reader says when
    // nothing is stored. A click on a ticked item of a pair switches the pair; the announcements
    // toggle on their own; what shows is what is stored at the end.
    void checkMarks_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("screenReader");
        QTest::addColumn<QString>("ticked");
        QTest::addColumn<QString>("then");
        QTest::addColumn<QString>("stays");
        const QString allOn = "On; Double; Sound, Read Aloud";
        QTest::newRow("nothing stored") << "" << false << "Off; Double"
                                        << "On; Single; Sound, Read Aloud"
                                        << "True False   True True";
        QTest::newRow("nothing stored, screen reader") << "" << true << "Off; Double; Read Aloud"
                                                       << "On; Single; Sound"
                                                       << "True False   True False";
        QTest::newRow("True") << "True" << true << allOn << "Off; Single"
                              << "False False   False False";
        QTest::newRow("False") << "False" << true << "Off; Single" << allOn << "True True   True True";
        QTest::newRow("true") << "true" << false << "Off; Single" << allOn << "True True   True True";
        QTest::newRow("junk") << "x" << false << "Off; Single" << allOn << "True True   True True";
    }
    void checkMarks()
    {
        QFETCH(QString, stored);
        QFETCH(bool, screenReader);
        rig->screenReader = screenReader;
        if (!stored.isEmpty())
            rig->StoredSix({stored, stored, "", "", stored, stored});
        frmMain &window = rig->Start();
        const auto ticks = [&] {
            return Menus(window.menuBar(), true).remove(QRegularExpression(" mnu\\w+"));
        };
        QTEST(ticks(), "ticked");
        QList<QAction *> ticked;
        for (const char *item : {"mnuRecordOn", "mnuRecordOff", "mnuSingle", "mnuDouble"})
            if (rig->Find<QAction>(item)->isChecked())
                ticked.append(rig->Find<QAction>(item));
        for (QAction *item : ticked + QList{rig->Find<QAction>("mnuSound"), rig->Find<QAction>("mnuReadAloud")})
            item->trigger();
        QTEST(ticks(), "then");
        window.setWindowState(Qt::WindowMinimized);
        window.close();
        QTEST(rig->StoredSix(), "stays");
    }

    // The host's closing saves the choices before the host is let go, with the chat timer
    // stopped, once however often it comes; a window closed while minimised keeps the place
    // stored before, and a settings file that cannot be written is no obstacle. View Log opens
    // the log whether logging is on or off.
    void unloadSavesTheChoices()
    {
        rig->StoredSix({"", "", "1500", "3000", "", ""});
        QVERIFY(QDir().mkpath(rig->conf));
        frmMain &window = rig->Start();
        for (const char *item : {"mnuViewLog", "mnuRecordOn", "mnuViewLog", "mnuDouble", "mnuSound"})
            Click(item);
        window.setWindowState(Qt::WindowMinimized);
        emit rig->Closing();
        emit rig->Closing();
        emit rig->Gone();
        const QString opened = "open " + rig->logPath();
        QCOMPARE(rig->journal.mid(6),
                 QStringList({opened, opened, "Release True False 1500 3000 True False", "Unloaded"}));
    }

    // A stored coordinate that cannot be used, or a place that leaves the title bar on no screen,
    // leaves the laid-out one, which the platform decides (the place's other coordinate is still
    // used).
    void unusablePlacesLeaveTheLaidOutOne()
    {
        const QPoint laidOut = Rig().Start().frameGeometry().topLeft();
        rig->StoredSix({"", "", "abc", "300", "", ""});
        QCOMPARE(rig->Start().frameGeometry().topLeft(), QPoint(20, laidOut.y()));
        Rig offScreen;
        offScreen.StoredSix({"", "", "-100000", "300", "", ""});
        QCOMPARE(offScreen.Start().frameGeometry().topLeft(), laidOut);
    }

    // The texts of a tick are shown, logged and announced in order and as they are, stamped with
    // one reading of the clock shared by transcript and log; texts that cannot be stamped wait. A
    // typed line goes out trimmed, to the end of the transcript whatever is selected or scrolled
    // to there, is never announced, and leaves the focus in the entry line, whether sent by key
    // or by mouse; spacing changes only later entries. A line has no length limit of the box's
    // own. A run too long to wrap at word boundaries makes the pane break lines anywhere until it
    // is gone. Clear Screen empties the pane.
    void chatBothWays()
    {
        rig->Start();
        Click("mnuRecordOn");
        Click("mnuReadAloud");
        rig->clockFails = true;
        const QString odd = u"XX2DEF><b>two</b> <img src=x>\0\u200F\u05E9\r\nend"_s;
        Receive({"XX1ABC>one", "", odd});
        QCOMPARE(ChatIn()->toPlainText(), "");
        rig->clockFails = false;
        rig->Tick();
        Type("  mine  ");
        Click("mnuSingle");
        Click("mnuSound");
        Type("\tkeypad\t", Qt::Key_Enter);
        ChatOut()->setText("button");
        QTest::mouseClick(rig->Find<QPushButton>("cmdSend"), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), ChatOut());
        Receive({"XX1ABC>three"});
        QCOMPARE(rig->posted, QStringList({"mine", "\tkeypad\t", "button"}));
        QCOMPARE(ChatIn()->toPlainText(),
                 "14:06<XX1ABC>one\n\n14:06<" + QString(odd).replace("\r\n", "\n")
                     + "\n\n14:07<N0CALL>mine\n\n14:08<N0CALL>\tkeypad\t\n14:09<N0CALL>button\n"
                       "14:10<XX1ABC>three\n");
        QCOMPARE(rig->journal.filter(": "), QStringList({"say: XX1ABC>one | " + odd, "say sound: XX1ABC>three"}));
        // The log is in the system's 8-bit encoding: UTF-8 here, the ANSI code page on Windows.
        QFile log(rig->logPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll(),
                 ("06-Dec-26 14:06 XX1ABC>one\r\n06-Dec-26 14:06 " + odd
                  + "\r\n06-Dec-26 14:07 N0CALL>mine\r\n06-Dec-26 14:08 N0CALL>\tkeypad\t\r\n"
                    "06-Dec-26 14:09 N0CALL>button\r\n06-Dec-26 14:10 XX1ABC>three\r\n")
                     .toLocal8Bit());
        QVERIFY(!rig->journal.contains("alert"));

        Type(QString(100'000, u'x'));
        QCOMPARE(rig->posted.last().size(), 100'000);
        QCOMPARE(ChatIn()->wordWrapMode(), QTextOption::WrapAnywhere);

        // The pane counts its line breaks as CR LF: 1125 entries of sixteen characters are exactly
        // at the cap, the next entry ("y") still goes in whole, and the one after it first cuts the
        // pane to its newest 10000 characters, all in one tick.
        Click("mnuClearScreen");
        QCOMPARE(ChatIn()->toPlainText(), "");
        QCOMPARE(ChatIn()->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
        Receive(QStringList(1125, "XX1ABC>x") << "XX1ABC>y"
                                              << "XX1ABC>cut");
        const QString pane = ChatIn()->toPlainText();
        QVERIFY(pane.endsWith("<XX1ABC>y\n" + pane.right(17)) && pane.endsWith("<XX1ABC>cut\n"));
        QCOMPARE(pane.size() + pane.count('\n'), 10000 + 18);
        ChatIn()->selectAll();
        ChatIn()->verticalScrollBar()->setValue(0);
        Receive({"XX1ABC>newest"});
        QVERIFY(!ChatIn()->textCursor().hasSelection() && ChatIn()->textCursor().atEnd());
        const QTextCursor newest = ChatIn()->document()->find("XX1ABC>newest");
        QVERIFY(ChatIn()->viewport()->rect().contains(ChatIn()->cursorRect(newest)));
    }

    // A line the host refuses, or may not have had, stays in the box, out of transcript, log and
    // recall (Up shows the line sent before it, Down brings it back); the box says which it was.
    // A recalled line the user edits is not lost to Up and Down.
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
        QTest::keyClick(ChatOut(), Qt::Key_Up);
        QTest::keyClick(ChatOut(), Qt::Key_X);
        QTest::keyClick(ChatOut(), Qt::Key_Up);
        QTest::keyClick(ChatOut(), Qt::Key_Down);
        QCOMPARE(ChatOut()->text(), "takenx");
    }

    // A host that goes away without closing is said once, in transcript and log, after what it
    // said before it went, announced and brought to the user's eye; lines are refused at once and
    // stay in the box. Where the host
    // comes back, the window attaches again by start-up's steps, under the new call sign; where
    // attaching fails, it says so and stays as it was.
    void hostGoneAndBack_data()
    {
        QTest::addColumn<bool>("hearsReturn");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("after");
        const QString gone = "*** EchoLink has gone away; chat has stopped";
        QTest::newRow("comes back") << true << ""
                                    << gone + " until it comes back.\n*** EchoLink is back; chat goes on.";
        QTest::newRow("start it again") << false << "CreateSysopConfig"
                                        << gone
                + ". Start EchoLink, then Parlox again.\n*** EchoLink is back, but "
                  "Parlox cannot attach to it (the host did not answer); chat stays "
                  "stopped.";
    }
    void hostGoneAndBack()
    {
        QFETCH(bool, hearsReturn);
        QFETCH(QString, failing);
        rig->hearsReturn = hearsReturn;
        rig->Start();
        Click("mnuRecordOn");
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        rig->journal.clear();
        emit rig->ChatTextReceived("XX1ABC>last words");
        emit rig->Gone();
        emit rig->Gone();
        Type("hello?");
        QCOMPARE(ChatOut()->text(), "hello?");
        rig->failing = failing;
        rig->callSign = "XX9NEW-L";
        emit rig->Returned();
        Type("back");
        QFETCH(QString, after);
        QCOMPARE(ChatIn()->toPlainText().remove(QRegularExpression("\\d\\d:\\d\\d ")).replace("\n\n", "\n"),
                 "14:06<XX1ABC>last words\n" + after + (failing.isEmpty() ? "\n14:09<XX9NEW>back\n" : "\n"));
        QFile log(rig->logPath());
        QVERIFY(log.open(QIODevice::ReadOnly) && log.readAll().contains(" 14:07 *** EchoLink has gone away;"));
        QCOMPARE(rig->journal.first(4),
                 QStringList({"quiet: XX1ABC>last words", "alert", "quiet: Parlox: " + after.section('\n', 0, 0).mid(4),
                              "box 2 Parlox: Your line was not sent.\r\nEchoLink has gone away."}));
        QCOMPARE(rig->window->windowTitle(),
                 failing.isEmpty() ? "Parlox ~ XX9NEW ~ v 1.0.0" : "Parlox ~ N0CALL ~ v 1.0.0");
        QCOMPARE(rig->posted, failing.isEmpty() ? QStringList{"back"} : QStringList{});
    }

    // A chat log that cannot be written is said once, with the system's reason; logging stays on
    // and each record tries afresh; once records are written again, the transcript and the log say
    // how many are missing.
    void logFailuresAreSaidOnce()
    {
        QVERIFY(QDir().mkpath(rig->logPath()));
        rig->Start();
        Click("mnuRecordOn");
        Receive({"XX1ABC>lost"});
        Receive({"XX1ABC>lost too"});
        QVERIFY(QDir(rig->logPath()).removeRecursively());
        Receive({"XX1ABC>kept"});
        const QStringList notices = ChatIn()->toPlainText().split('\n').filter("***");
        QCOMPARE(notices.size(), 2);
        QVERIFY2(notices[0].contains(QRegularExpression("^14:07 \\*\\*\\* The chat log cannot be written \\(.+\\); "
                                                        "chat goes on without it\\.$")),
                 qPrintable(notices[0]));
        QFile log(rig->logPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll(),
                 "06-Dec-26 14:09 XX1ABC>kept\r\n"
                 "06-Dec-26 14:10 *** The chat log is written again; 2 records are missing from it.\r\n");
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
