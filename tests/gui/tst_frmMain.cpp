#include "Rig.h"

// The main window through its real widgets, with everything outside it faked by the rig. What
// only the real program against a real host shows (the real waits, the settings file across two
// runs, the stored place used, the attention mark, a screen reader) is left to the end-to-end
// tests.
class tst_frmMain : public QObject
{
    Q_OBJECT

    std::unique_ptr<Rig> rig;

    QLineEdit *ChatOut() { return rig->Find<QLineEdit>("tbChatOut"); }
    QPlainTextEdit *ChatIn() { return rig->Find<QPlainTextEdit>("tbChatIn"); }
    void Click(const char *item) { rig->Find<QAction>(item)->trigger(); }
    void Type(const QString &text)
    {
        ChatOut()->setText(text);
        QTest::keyClick(ChatOut(), Qt::Key_Return);
    }
    // The menu bar as it reads: "[entry], item, item, [entry]", or only the ticked items.
    QString Menus(bool tickedOnly = false)
    {
        QStringList shown;
        for (const QAction *entry : rig->window->menuBar()->actions()) {
            if (!tickedOnly)
                shown.append('[' + entry->text() + ']');
            for (const QAction *item : entry->menu() ? entry->menu()->actions() : QList<QAction *>())
                if (!tickedOnly || item->isChecked())
                    shown.append(item->text());
        }
        return shown.join(", ");
    }

private slots:
    void init() { rig = std::make_unique<Rig>(); }

    // Start-up takes its steps in order under the splash, and then ticks twice a second. A
    // failing host step ends it with one box; a host that closes during start-up ends it there
    // with none, the stored choices as they were. A host that goes during start-up is left to
    // the steps after it: no notice comes before the box.
    void startup_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("closingDuring");
        QTest::addColumn<QStringList>("journal");
        QTest::addColumn<frmMain::LoadResult>("result");
        using enum frmMain::LoadResult;
        const QStringList steps{
            "wait 3", "CreateEventObject", "wait 4", "CreateSetupConfig", "CreateSysopConfig", "ReadStationCall"};
        const QString box = "box 3 Parlox: Can Not Find EchoLink.\r\nParlox will not work without EchoLink.";
        QTest::newRow("in order") << QString() << QString() << steps << Running;
        for (qsizetype i = 1; i < steps.size(); ++i) {
            const QStringList before = steps.first(i + 1);
            if (!steps[i].startsWith("wait"))
                QTest::addRow("%s fails", qPrintable(steps[i]))
                    << steps[i] << "" << before + QStringList{box} << Failed;
            QTest::addRow("closing during %s", qPrintable(steps[i]))
                << "" << steps[i] << before + QStringList{"Release True  900   ", "Unloaded"} << Closed;
        }
    }
    void startup()
    {
        QFETCH(QString, failing);
        QFETCH(QString, closingDuring);
        rig->failing = failing;
        rig->closingDuring = closingDuring;
        rig->goneDuring = "wait 4";
        rig->StoredSix({"True", "", "900", "", "", ""});
        QTEST(rig->Load(), "result");
        QTEST(rig->journal, "journal");
        QCOMPARE(rig->splash, "Parlox By Tolvane");
        QCOMPARE(rig->Timer()->interval(), 500);
    }

    // The window as it first shows: caption, menus, fixed place and size, the focus in the entry
    // line and Tab going round the three controls. F10 opens the first menu, and the arrows go on
    // past the commands on the bar. A stored place that leaves the title bar on no screen would
    // strand the window out of reach: the laid-out place is used instead.
    void firstLook()
    {
        rig->StoredSix({"", "", "-100000", "300", "", ""});
        frmMain &window = rig->Start();
        QCOMPARE(window.windowTitle(), "Parlox ~ N0CALL ~ v 1.0.0");
        QCOMPARE(Menus(),
                 "[File], Exit, [Log To File], On, Off, [View Log], [Clear Screen], [Spacing], Single, "
                 "Double, [Announce], Sound, Read Aloud");
        QCOMPARE(window.centralWidget()->mapToGlobal(QPoint()), QPoint(169, 135));
        QCOMPARE(window.centralWidget()->size(), QSize(466, 345));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QStringList focus;
        for (int i = 0; i < 4; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            focus.append(QApplication::focusWidget()->objectName());
        QCOMPARE(focus, QStringList({"tbChatOut", "tbChatIn", "cmdSend", "tbChatOut"}));
        QTest::keyClick(&window, Qt::Key_F10);
        QTRY_VERIFY(rig->Find<QMenu>("mnuFile")->isVisible());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(window.menuBar()->activeAction()->text(), "Clear Screen");
    }

    // Exactly one item of each pair is ticked, "True" being the only text that ticks the first;
    // the announcements as stored, Read Aloud as a running screen reader says when nothing is.
    // The ticks are shown before and after clicking Off and Double (ticked or not: a click on a
    // ticked item switches the pair too) and both announcements. The host's closing, however
    // often it comes, stores what shows then (a minimised window keeps the place stored before)
    // and lets the host go once, the chat timer stopped.
    void checkMarks_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("screenReader");
        QTest::addColumn<QString>("ticks");
        QTest::addColumn<QString>("stays");
        QTest::newRow("nothing") << "" << true << "Off, Double, Read Aloud / On, Single, Sound"
                                 << "Release True False   True False";
        QTest::newRow("True") << "True" << false << "On, Double, Sound, Read Aloud / Off, Single"
                              << "Release False False   False False";
        QTest::newRow("true") << "true" << true << "Off, Single / On, Double, Sound, Read Aloud"
                              << "Release True True   True True";
    }
    void checkMarks()
    {
        QFETCH(QString, stored);
        QFETCH(bool, screenReader);
        rig->screenReader = screenReader;
        rig->StoredSix({stored, stored, "", "", stored, stored});
        frmMain &window = rig->Start();
        const QString before = Menus(true);
        for (const char *item : {"mnuRecordOff", "mnuDouble", "mnuSound", "mnuReadAloud"})
            Click(item);
        QTEST(before + " / " + Menus(true), "ticks");
        window.setWindowState(Qt::WindowMinimized);
        emit rig->Closing();
        emit rig->Closing();
        QTEST(rig->journal.filter("Release").join(" | "), "stays");
    }

    // The texts of a tick are shown and announced together, in order and as they are. A typed line
    // goes out trimmed of spaces by key or mouse, is never announced, and leaves the focus in the
    // entry line; spacing changes only later entries. A line the host may not have had stays in
    // the box, out of transcript and recall, and an edited recalled line is not lost to Up and
    // Down. A run too long to wrap at word boundaries makes the pane break lines anywhere until
    // Clear Screen empties it.
    void chatBothWays()
    {
        rig->Start();
        Click("mnuViewLog");
        Click("mnuReadAloud");
        const QString odd = QStringLiteral("XX2DEF><b>two</b> <img src=x>\0\u200F\u05E9\r\nend");
        rig->Receive({"XX1ABC>one", "", odd});
        Type("  mine  ");
        Click("mnuSingle");
        Click("mnuSound");
        ChatOut()->setText("button");
        QTest::mouseClick(rig->Find<QPushButton>("cmdSend"), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), ChatOut());
        rig->failing = "post are you there?";
        Type("  are you there?");
        QCOMPARE(ChatOut()->text(), "  are you there?");
        QVERIFY(rig->journal.last().startsWith("box 2 Parlox: Your line may not have been sent.\r\nthe host"));
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_X, Qt::Key_Up, Qt::Key_Down})
            QTest::keyClick(ChatOut(), key);
        QCOMPARE(ChatOut()->text(), "buttonx");
        rig->Receive({"XX1ABC>three"});
        QCOMPARE(ChatIn()->toPlainText(),
                 "14:06<XX1ABC>one\n\n14:06<" + QString(odd).replace("\r\n", "\n")
                     + "\n\n14:07<N0CALL>mine\n\n14:08<N0CALL>button\n14:10<XX1ABC>three\n");
        QCOMPARE(rig->journal.filter("say"), QStringList({"say: XX1ABC>one | " + odd, "say sound: XX1ABC>three"}));
        QCOMPARE(rig->journal.filter("open ").value(0), "open " + rig->logPath());

        Type(QString(100'000, u'x'));
        QCOMPARE(rig->journal.last(), "post " + QString(100'000, u'x'));
        QCOMPARE(ChatIn()->wordWrapMode(), QTextOption::WrapAnywhere);
        Click("mnuClearScreen");
        QCOMPARE(ChatIn()->toPlainText(), "");
        QCOMPARE(ChatIn()->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);

        // The pane counts its line breaks as CR LF: 1125 entries of sixteen characters are exactly
        // at the cap, the next entry ("y") still goes in whole, and the one after it first cuts the
        // pane to its newest 10000 characters, all in one tick. The newest entry comes into view at
        // the end, whatever was selected or scrolled to.
        rig->Receive(QStringList(1125, "XX1ABC>x") + QStringList{"XX1ABC>y", "XX1ABC>cut"});
        const QString pane = ChatIn()->toPlainText();
        QCOMPARE(pane.size() + pane.count('\n'), 10000 + 18);
        ChatIn()->selectAll();
        ChatIn()->verticalScrollBar()->setValue(0);
        rig->Receive({"XX1ABC>newest"});
        QVERIFY(!ChatIn()->textCursor().hasSelection() && ChatIn()->textCursor().atEnd());
        QVERIFY(ChatIn()->viewport()->rect().contains(ChatIn()->cursorRect(ChatIn()->document()->find("newest"))));
    }

    // A host that goes away without closing is said and announced after what it said before it
    // went; lines are refused at once. Once a host that comes back is attached, chat goes on under
    // its call sign.
    void hostGoneAndBack()
    {
        rig->Start();
        emit rig->ChatTextReceived("XX1ABC>last words");
        emit rig->Gone();
        Type("hello?");
        rig->callSign = "XX9NEW-L";
        emit rig->Returned();
        Type("back");
        const QString gone = "*** EchoLink has gone away; chat has stopped until it comes back.";
        QCOMPARE(ChatIn()->toPlainText().remove(QRegularExpression("\\d\\d:\\d\\d ")).replace("\n\n", "\n"),
                 "14:06<XX1ABC>last words\n" + gone + "\n*** EchoLink is back; chat goes on.\n14:09<XX9NEW>back\n");
        QCOMPARE(rig->journal.filter("quiet").value(1), "quiet: Parlox: " + gone.mid(4));
        QCOMPARE(rig->window->windowTitle(), "Parlox ~ XX9NEW ~ v 1.0.0");
        QCOMPARE(rig->journal.filter("post "), QStringList{"post back"});
    }

    // A chat log that cannot be written is said once, with the system's reason; logging stays on
    // and each record tries afresh; once records are written again, Parlox says how many are
    // missing.
    void logFailuresAreSaidOnce()
    {
        QVERIFY(QDir().mkpath(rig->logPath()));
        rig->Start();
        Click("mnuRecordOn");
        rig->Receive({"XX1ABC>lost"});
        rig->Receive({"XX1ABC>lost too"});
        QVERIFY(QDir(rig->logPath()).removeRecursively());
        rig->Receive({"XX1ABC>kept"});
        const QStringList notices = ChatIn()->toPlainText().split('\n').filter("***");
        QVERIFY(notices[0].contains(QRegularExpression(R"(^14:07 \*\*\* The chat log cannot be written \(.+\); )")));
        QCOMPARE(notices[1], "14:10 *** The chat log is written again; 2 records are missing from it.");
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
