#include <limits>

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

#include "Rig.h"
#include "gui/frmSplash.h"

// The main window through its real widgets, with everything outside it faked by the rig.
// In a place, a coordinate that stands for the laid-out one.
constexpr int kLaidOut = std::numeric_limits<int>::min();

class tst_frmMain : public QObject
{
    Q_OBJECT

    // Each case gets a rig of its own, so that nothing one case did spills into the next.
    std::unique_ptr<Rig> rig;

    QLineEdit *ChatOut() { return rig->Find<QLineEdit>("tbChatOut"); }
    QString Pane() { return rig->Find<QPlainTextEdit>("tbChatIn")->toPlainText(); }
    void Click(const char *item) { rig->Find<QAction>(item)->trigger(); }
    void Type(const QString &text, Qt::Key key = Qt::Key_Return)
    {
        ChatOut()->setText(text);
        QTest::keyClick(ChatOut(), key);
    }
    void Receive(const QStringList &texts)
    {
        for (const QString &text : texts)
            emit rig->host.ChatTextReceived(text);
        rig->Tick();
    }
    QByteArray Log()
    {
        QFile file(rig->logPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init() { rig = std::make_unique<Rig>(); }
    void cleanup() { rig.reset(); }

    // ---- Start-up and shut-down ----

    void startupRunsInOrderBehindTheSplash()
    {
        QStringList splashSeen;
        rig->duringWait = [&](int) {
            for (QWidget *widget : QApplication::topLevelWidgets())
                splashSeen.append(qobject_cast<frmSplash *>(widget) && widget->isVisible() ? "splash" : "");
        };
        frmMain &window = rig->Start();
        QCOMPARE(rig->waits, QList<int>({3, 4}));
        QCOMPARE(splashSeen.join(' ').simplified(), "splash splash");
        QCOMPARE(rig->host.calls,
                 QStringList({"CreateEventObject", "CreateSetupConfig", "CreateSysopConfig", "ReadStationCall"}));
        QCOMPARE(window.windowTitle(), "Parlox ~ N0CALL ~ v 1.0.0");
        QVERIFY(rig->Timer()->isActive());
        QCOMPARE(rig->Timer()->interval(), 500);
        QCOMPARE(rig->Marks(), "Off Double");
        // The client area sits at 169 x 135 pixels, below the menu bar, and the controls where
        // the layout puts them.
        QCOMPARE(window.centralWidget()->mapToGlobal(QPoint(0, 0)), QPoint(169, 135));
        QCOMPARE(window.centralWidget()->size(), QSize(466, 345));
        QCOMPARE(rig->Find<QPlainTextEdit>("tbChatIn")->geometry(), QRect(0, 0, 465, 309));
        QCOMPARE(ChatOut()->geometry(), QRect(0, 316, 405, 21));
        QCOMPARE(rig->Find<QPushButton>("cmdSend")->geometry(), QRect(408, 316, 57, 21));
        QCOMPARE(window.minimumSize(), window.maximumSize());
    }

    void anyFailingHostStepShowsOneBoxAndWritesNothing_data()
    {
        QTest::addColumn<QString>("step");
        for (const char *step : {"CreateEventObject", "CreateSetupConfig", "CreateSysopConfig", "ReadStationCall"})
            QTest::newRow(step) << step;
    }
    void anyFailingHostStepShowsOneBoxAndWritesNothing()
    {
        QFETCH(QString, step);
        rig->host.failingStep = step;
        QCOMPARE(rig->Load(), frmMain::LoadResult::Failed);
        QCOMPARE(rig->messages,
                 QStringList({"3 Parlox: Can Not Find EchoLink.\r\nParlox will not work without EchoLink."}));
        QVERIFY(!rig->window->isVisible());
        QCOMPARE(rig->unloads, 0);
        QVERIFY(!QFile::exists(rig->dir.filePath("Parlox.conf")));
    }

    // Every way out saves the same four values before the host is let go, with the chat timer
    // stopped; a window closed while minimised keeps the place stored before.
    void everyUnloadSavesTheChoices_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("stored");
        QTest::newRow("Exit") << "exit"
                              << "True False 1350 1800";
        QTest::newRow("close box") << "close"
                                   << "True False 1350 1800";
        QTest::newRow("host closing") << "host"
                                      << "True False 1350 1800";
        QTest::newRow("minimised") << "minimised"
                                   << "True False 1500 3000";
    }
    void everyUnloadSavesTheChoices()
    {
        QFETCH(QString, trigger);
        rig->settings->setValue("Settings/ScrnTop", "1500");
        rig->settings->setValue("Settings/ScrnLeft", "3000");
        frmMain &window = rig->Start();
        window.move(120, 90);
        Click("mnuRecordOn");
        Click("mnuSingle");
        // Menu choices are stored only at exit.
        QCOMPARE(rig->StoredFour(), "  1500 3000");
        if (trigger == "minimised")
            window.setWindowState(Qt::WindowMinimized);
        if (trigger == "exit")
            Click("mnuExit");
        else if (trigger == "host")
            emit rig->host.Closing();
        else
            window.close();
        QCOMPARE(rig->unloads, 1);
        QCOMPARE(rig->host.calls.last(), "Release");
        QTEST(rig->atRelease, "stored");
        QTEST(rig->StoredFour(), "stored");
    }

    // A host that closes during start-up ends it there, with no box, and leaves the stored
    // choices as they were.
    void hostClosingDuringStartup_data()
    {
        QTest::addColumn<QString>("during");
        QTest::addColumn<int>("calls");
        QTest::newRow("the wait") << "wait" << 1;
        QTest::newRow("SetupConfig") << "CreateSetupConfig" << 2;
        QTest::newRow("SysopConfig") << "CreateSysopConfig" << 3;
        QTest::newRow("the call sign") << "ReadStationCall" << 4;
    }
    void hostClosingDuringStartup()
    {
        QFETCH(QString, during);
        QFETCH(int, calls);
        rig->settings->setValue("Settings/LogFile", "True");
        rig->settings->setValue("Settings/ScrnTop", "900");
        rig->host.closingDuring = during;
        rig->duringWait = [&](int seconds) {
            if (seconds == 4 && during == "wait")
                emit rig->host.Closing();
        };
        QCOMPARE(rig->Load(), frmMain::LoadResult::Closed);
        QCOMPARE(rig->unloads, 1);
        QCOMPARE(rig->host.calls.size(), calls + 1);
        QCOMPARE(rig->atRelease, "True  900 ");
        QCOMPARE(rig->StoredFour(), "True  900 ");
        QVERIFY(rig->messages.isEmpty());
    }

    // Stored choices come back; values that cannot be used leave the laid-out state (the
    // place's other coordinate still used), and the next exit writes good values again.
    void storedChoicesAreApplied_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QPoint>("place");
        // A coordinate of kLaidOut stands for the laid-out outer one, frame included, which the
        // platform decides.
        const QPoint laidOut(kLaidOut, kLaidOut);
        QTest::newRow("stored") << QStringList{"True", "False", "1800", "-60"} << "On Single" << QPoint(-4, 120);
        QTest::newRow("lower case, not a number")
            << QStringList{"true", "", "abc", "300"} << "Off Double" << QPoint(20, laidOut.y());
        QTest::newRow("out of range") << QStringList{"TRUE", "", "1e40", ""} << "Off Double" << laidOut;
        QTest::newRow("title bar off every screen") << QStringList{"", "", "-100000", "300"} << "Off Double" << laidOut;
        QTest::newRow("far right") << QStringList{"", "", "300", "900000"} << "Off Double" << laidOut;
    }
    void storedChoicesAreApplied()
    {
        QFETCH(QStringList, stored);
        const QStringList keys{"LogFile", "DoubleSpace", "ScrnTop", "ScrnLeft"};
        for (int i = 0; i < 4; ++i)
            rig->settings->setValue("Settings/" + keys[i], stored[i]);
        QFETCH(QPoint, place);
        const QPoint laidOut = Rig().Start().frameGeometry().topLeft();
        frmMain &window = rig->Start();
        QTEST(rig->Marks(), "marks");
        QCOMPARE(
            window.frameGeometry().topLeft(),
            QPoint(place.x() == kLaidOut ? laidOut.x() : place.x(), place.y() == kLaidOut ? laidOut.y() : place.y()));
        window.close();
        QVERIFY2(QRegularExpression("^(True|False) (True|False) -?\\d+ -?\\d+$").match(rig->StoredFour()).hasMatch(),
                 qPrintable(rig->StoredFour()));
    }

    void brokenSettingsFileIsSurvived()
    {
        QVERIFY(QDir().mkpath(rig->dir.filePath("broken.conf")));
        rig->settings = std::make_unique<QSettings>(rig->dir.filePath("broken.conf"), QSettings::IniFormat);
        rig->Start().close();
        QCOMPARE(rig->unloads, 1);
    }

    // A click on the marked item of a pair moves the mark to its partner; so does a click on the
    // other. View Log opens the log whether logging is on or off.
    void menusAndTheirPairs()
    {
        rig->Start();
        QStringList seen;
        for (const char *item :
             {"mnuRecordOff", "mnuRecordOn", "mnuRecordOn", "mnuDouble", "mnuDouble", "mnuViewLog"}) {
            Click(item);
            seen.append(rig->Marks());
        }
        QCOMPARE(seen, QStringList({"On Double", "Off Double", "On Double", "On Single", "On Double", "On Double"}));
        Click("mnuRecordOff");
        Click("mnuViewLog");
        QCOMPARE(rig->opened, QStringList({rig->logPath(), rig->logPath()}));
    }

    // ---- Chat ----

    // All texts of a tick are shown and logged in order, each with one reading of the clock
    // shared by transcript and log; a typed line goes out trimmed, to the end of the transcript
    // whatever is selected there, and spacing changes only later entries.
    void chatBothWays()
    {
        rig->Start();
        Click("mnuRecordOn");
        rig->clockRuns = true;
        Receive({"XX1ABC>one", "", "XX2DEF>two"});
        QCOMPARE(Pane(), "14:06<XX1ABC>one\n\n14:07<XX2DEF>two\n\n");
        QTextCursor selection(rig->Find<QPlainTextEdit>("tbChatIn")->document());
        selection.setPosition(2);
        selection.setPosition(4, QTextCursor::KeepAnchor);
        rig->Find<QPlainTextEdit>("tbChatIn")->setTextCursor(selection);
        Type("  mine  ");
        Click("mnuSingle");
        Type("\tkeypad\t", Qt::Key_Enter);
        ChatOut()->setText("button");
        QTest::mouseClick(rig->Find<QPushButton>("cmdSend"), Qt::LeftButton);
        Type("   ");
        QCOMPARE(rig->host.posted, QStringList({"mine", "\tkeypad\t", "button"}));
        QCOMPARE(Pane(),
                 "14:06<XX1ABC>one\n\n14:07<XX2DEF>two\n\n14:08<N0CALL>mine\n\n14:09<N0CALL>\tkeypad\t\n"
                 "14:10<N0CALL>button\n");
        QCOMPARE(Log(),
                 "06-Dec-26 14:06 XX1ABC>one\r\n06-Dec-26 14:07 XX2DEF>two\r\n06-Dec-26 14:08 N0CALL>mine\r\n"
                 "06-Dec-26 14:09 N0CALL>\tkeypad\t\r\n06-Dec-26 14:10 N0CALL>button\r\n");
        QCOMPARE(ChatOut()->text(), "");
        QCOMPARE(QApplication::focusWidget(), ChatOut());
        QVERIFY(rig->alerted.isEmpty());

        ChatOut()->setText("draft");
        Click("mnuClearScreen");
        QCOMPARE(Pane(), "");
        QCOMPARE(ChatOut()->text(), "draft");
    }

    void receivedTextIsShownAndLoggedLiterally_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("markup") << "<b>hi</b> <img src=x>";
        QTest::newRow("NUL and right-to-left") << QString::fromUtf16(u"a\0b\u200F\u05E9", 5);
        QTest::newRow("line breaks") << QString("line\r\n").repeated(1000);
    }
    void receivedTextIsShownAndLoggedLiterally()
    {
        QFETCH(QString, text);
        rig->Start();
        Click("mnuRecordOn");
        Receive({text});
        QCOMPARE(Pane(), "14:05<" + QString(text).replace("\r\n", "\n") + "\n\n");
        // The log is in the system's 8-bit encoding: UTF-8 here, the ANSI code page on Windows.
        QCOMPARE(Log(), ("06-Dec-26 14:05 " + text + "\r\n").toLocal8Bit());
    }

    // Logging is off to begin with: nothing is written.
    void textsWaitAtTheHeadWhileTheClockFails()
    {
        rig->Start();
        rig->clockFails = true;
        Receive({"first", "second"});
        QCOMPARE(Pane(), "");
        rig->clockFails = false;
        rig->Tick();
        QCOMPARE(Pane(), "14:05<first\n\n14:05<second\n\n");
        QVERIFY(!QFile::exists(rig->logPath()));
    }

    void paneIsCutPastTheCap()
    {
        rig->Start();
        Click("mnuSingle");
        // 1125 entries of sixteen characters with their CR LF: exactly at the cap, not cut yet.
        Receive(QStringList(1125, "XX1ABC>x"));
        Receive({"XX1ABC>at cap"});
        QCOMPARE(Pane().count("XX1ABC>x\n"), 1125);
        // Past the cap: the next entry first keeps the newest 10000 characters.
        Receive({"XX1ABC>cut"});
        QVERIFY(Pane().endsWith("14:05<XX1ABC>at cap\n14:05<XX1ABC>cut\n"));
        QCOMPARE(Pane().size() + Pane().count('\n'), 10000 + 18);
    }

    void failedSendKeepsTheLineAndSaysWhy_data()
    {
        QTest::addColumn<HostError::Outcome>("outcome");
        QTest::addColumn<QString>("says");
        QTest::newRow("refused") << HostError::Outcome::NotDone << "2 Parlox: Your line was not sent.\r\n";
        QTest::newRow("no answer") << HostError::Outcome::Unknown << "2 Parlox: Your line may not have been sent.\r\n";
    }
    void failedSendKeepsTheLineAndSaysWhy()
    {
        QFETCH(HostError::Outcome, outcome);
        QFETCH(QString, says);
        rig->Start();
        Type("taken");
        Click("mnuRecordOn");
        rig->host.failingStep = "PostChatLine";
        rig->host.failingOutcome = outcome;
        Type("  are you there?");
        QCOMPARE(rig->messages.size(), 1);
        QVERIFY2(rig->messages[0].startsWith(says + "the host did not answer"), qPrintable(rig->messages[0]));
        QCOMPARE(ChatOut()->text(), "  are you there?");
        QCOMPARE(Pane(), "14:05<N0CALL>taken\n\n");
        QVERIFY(!QFile::exists(rig->logPath()));
        // The refused line is not among those recalled.
        QTest::keyClick(ChatOut(), Qt::Key_Up);
        QCOMPARE(ChatOut()->text(), "taken");
        QTest::keyClick(ChatOut(), Qt::Key_Down);
        QCOMPARE(ChatOut()->text(), "  are you there?");
        QTest::keyClick(ChatOut(), Qt::Key_Up);
        rig->host.failingStep.clear();
        QTest::keyClick(ChatOut(), Qt::Key_Return);
        QCOMPARE(rig->host.posted, QStringList({"taken", "taken"}));
    }

    // A pasted line has no length limit of the box's own.
    void longLinesGoOutWhole()
    {
        rig->Start();
        QGuiApplication::clipboard()->setText(QString(100'000, u'x'));
        QTest::keyClick(ChatOut(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(ChatOut(), Qt::Key_Return);
        QCOMPARE(rig->host.posted.value(0).size(), 100'000);
    }

    // Texts shown while the window is in the background ask once until it is activated again.
    void attentionOnceUntilActivated()
    {
        rig->Start();
        QVERIFY(rig->Deactivate());
        Type("my own line");
        Receive({""});
        QVERIFY(rig->alerted.isEmpty());
        Receive({"XX1ABC>one", "XX2DEF>two"});
        Receive({"XX1ABC>three, a tick later"});
        QCOMPARE(rig->alerted, QList<QWidget *>({rig->window.get()}));
        QVERIFY(rig->Activate());
        Receive({"XX1ABC>while looking"});
        QVERIFY(rig->Deactivate());
        Receive({"XX1ABC>after a look"});
        QCOMPARE(rig->alerted.size(), 2);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
