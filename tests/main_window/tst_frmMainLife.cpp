#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "Rig.h"
#include "support/frmSplash.h"

namespace {

frmSplash *VisibleSplash()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *splash = qobject_cast<frmSplash *>(widget); splash && splash->isVisible())
            return splash;
    }
    return nullptr;
}

} // namespace

// The window's life: start-up against the host, layout and menus, stored settings, shut-down.
class tst_frmMainLife : public QObject
{
    Q_OBJECT

private slots:
    void startupRunsInOrderBehindTheSplash()
    {
        Rig rig;
        QStringList splashSeen;
        rig.duringWait = [&](int) { splashSeen.append(VisibleSplash() ? "splash" : "none"); };
        frmMain &window = rig.Start();

        QCOMPARE(rig.waits, QList<int>({3, 4}));
        QCOMPARE(splashSeen, QStringList({"splash", "splash"}));
        QVERIFY(!VisibleSplash());
        QCOMPARE(rig.host.calls,
                 QStringList({"CreateEventObject", "CreateSetupConfig", "CreateSysopConfig", "ReadStationCall"}));
        QCOMPARE(window.windowTitle(), "Parlox ~ N0CALL ~ v 1.0.0");
        QVERIFY(rig.Find<QTimer>("tChatReceived")->isActive());
        QCOMPARE(rig.Find<QTimer>("tChatReceived")->interval(), 500);
        QVERIFY(rig.messages.isEmpty());
    }

    void anyFailingHostStepShowsOneBoxAndWritesNothing_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("event object") << "CreateEventObject";
        QTest::newRow("SetupConfig") << "CreateSetupConfig";
        QTest::newRow("SysopConfig") << "CreateSysopConfig";
        QTest::newRow("call sign") << "ReadStationCall";
    }
    void anyFailingHostStepShowsOneBoxAndWritesNothing()
    {
        QFETCH(QString, step);
        Rig rig;
        rig.host.failingStep = step;
        rig.Make();
        QCOMPARE(rig.window->Load(), frmMain::LoadResult::Failed);

        QCOMPARE(rig.messages.size(), 1);
        QCOMPARE(rig.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(rig.messages[0].title, "Parlox");
        QCOMPARE(rig.messages[0].text, "Can Not Find EchoLink.\r\nParlox will not work without EchoLink.");
        QVERIFY(!rig.window->isVisible());
        QCOMPARE(rig.unloads, 0);
        QVERIFY(!QFile::exists(rig.dir.filePath("Parlox.conf")));
    }

    void everyUnloadTriggerSavesTheSameSettings_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("Exit") << "exit";
        QTest::newRow("close box") << "close";
        QTest::newRow("host closing") << "host";
    }
    void everyUnloadTriggerSavesTheSameSettings()
    {
        QFETCH(QString, trigger);
        Rig rig;
        frmMain &window = rig.Start();
        window.move(120, 90);
        rig.Find<QAction>("mnuRecordOn")->trigger();
        rig.Find<QAction>("mnuSingle")->trigger();

        if (trigger == "exit")
            rig.Find<QAction>("mnuExit")->trigger();
        else if (trigger == "close")
            window.close();
        else
            emit rig.host.Closing();

        QCOMPARE(rig.unloads, 1);
        QCOMPARE(rig.host.calls.last(), "Release");
        QVERIFY(!rig.Find<QTimer>("tChatReceived")->isActive());
        QCOMPARE(rig.StoredFour(), "True False 1350 1800");
    }

    void hostClosingDuringStartupEndsItAndKeepsTheStoredChoices_data()
    {
        QTest::addColumn<QString>("during");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("the wait") << "wait" << QStringList{"CreateEventObject"};
        QTest::newRow("SetupConfig") << "CreateSetupConfig" << QStringList{"CreateEventObject", "CreateSetupConfig"};
        QTest::newRow("SysopConfig") << "CreateSysopConfig"
                                     << QStringList{"CreateEventObject", "CreateSetupConfig", "CreateSysopConfig"};
        QTest::newRow("the call sign") << "ReadStationCall"
                                       << QStringList{"CreateEventObject", "CreateSetupConfig", "CreateSysopConfig",
                                                      "ReadStationCall"};
    }
    void hostClosingDuringStartupEndsItAndKeepsTheStoredChoices()
    {
        QFETCH(QString, during);
        QFETCH(QStringList, calls);
        Rig rig;
        rig.settings->setValue("Settings/LogFile", "True");
        rig.settings->setValue("Settings/ScrnTop", "900");
        rig.host.closingDuring = during;
        rig.duringWait = [&](int seconds) {
            if (seconds == 4 && during == "wait")
                emit rig.host.Closing();
        };
        rig.Make();
        QCOMPARE(rig.window->Load(), frmMain::LoadResult::Closed);

        QCOMPARE(rig.unloads, 1);
        QCOMPARE(rig.host.calls, calls << "Release");
        QVERIFY(!rig.Find<QTimer>("tChatReceived")->isActive());
        QCOMPARE(rig.StoredFour(), "True  900 ");
        QVERIFY(rig.messages.isEmpty());
    }

    void firstRunUsesTheLaidOutStateAndStoresAllFour()
    {
        Rig rig;
        frmMain &window = rig.Start();
        QCOMPARE(rig.Marks(), "Off Double");
        // The client area sits at 169 x 135 pixels, below the menu bar.
        QCOMPARE(window.centralWidget()->mapToGlobal(QPoint(0, 0)), QPoint(169, 135));

        window.close();
        // The stored place is the outer corner, frame included.
        QCOMPARE(rig.StoredFour(), QStringLiteral("False True %1 %2")
                                       .arg(window.frameGeometry().top() * 15)
                                       .arg(window.frameGeometry().left() * 15));
    }

    void storedChoicesAreApplied()
    {
        Rig rig;
        rig.settings->setValue("Settings/LogFile", "True");
        rig.settings->setValue("Settings/DoubleSpace", "False");
        rig.settings->setValue("Settings/ScrnTop", "1800");
        rig.settings->setValue("Settings/ScrnLeft", "-60");
        frmMain &window = rig.Start();
        QCOMPARE(rig.Marks(), "On Single");
        QCOMPARE(window.frameGeometry().topLeft(), QPoint(-4, 120));
    }

    void unusableStoredValuesKeepTheLaidOutState_data()
    {
        QTest::addColumn<QString>("logFile");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QPoint>("expectedPlace");
        const QPoint laidOut(-1, -1);
        QTest::newRow("lower-case true, bad top") << "true" << "abc" << "300" << QPoint(20, laidOut.y());
        QTest::newRow("out of range top") << "TRUE" << "1e40" << "" << laidOut;
        QTest::newRow("NaN") << "yes" << "NaN" << "NaN" << laidOut;
        QTest::newRow("title bar off every screen") << "x" << "-100000" << "300" << laidOut;
        QTest::newRow("far right") << "x" << "300" << "900000" << laidOut;
    }
    void unusableStoredValuesKeepTheLaidOutState()
    {
        QFETCH(QString, logFile);
        QFETCH(QString, top);
        QFETCH(QString, left);
        QFETCH(QPoint, expectedPlace);
        Rig plain;
        const QPoint laidOut = plain.Start().frameGeometry().topLeft();
        Rig rig;
        rig.settings->setValue("Settings/LogFile", logFile);
        rig.settings->setValue("Settings/ScrnTop", top);
        rig.settings->setValue("Settings/ScrnLeft", left);
        rig.Start();

        QVERIFY(rig.Find<QAction>("mnuRecordOff")->isChecked());
        const QPoint expected(expectedPlace.x() < 0 ? laidOut.x() : expectedPlace.x(),
                              expectedPlace.y() < 0 ? laidOut.y() : expectedPlace.y());
        QCOMPARE(rig.window->frameGeometry().topLeft(), expected);

        // The next exit writes good values again.
        rig.window->close();
        QCOMPARE(rig.Stored("LogFile"), "False");
        QVERIFY(!rig.Stored("ScrnTop").contains("e"));
    }

    void brokenSettingsFileIsSurvived()
    {
        Rig rig;
        const QString path = rig.dir.filePath("broken.conf");
        QVERIFY(QDir().mkpath(path));
        rig.settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
        frmMain &window = rig.Start();
        QVERIFY(rig.Find<QAction>("mnuDouble")->isChecked());
        window.close();
        QCOMPARE(rig.unloads, 1);
    }

    void closingMinimisedKeepsTheStoredPosition()
    {
        Rig rig;
        rig.settings->setValue("Settings/ScrnTop", "1500");
        rig.settings->setValue("Settings/ScrnLeft", "3000");
        frmMain &window = rig.Start();
        window.move(10, 10);
        rig.Find<QAction>("mnuRecordOn")->trigger();
        window.setWindowState(Qt::WindowMinimized);
        QVERIFY(window.isMinimized());
        window.close();
        QCOMPARE(rig.StoredFour(), "True True 1500 3000");
    }

    void layoutIsFixed()
    {
        Rig rig;
        frmMain &window = rig.Start();
        QCOMPARE(window.centralWidget()->size(), QSize(466, 345));
        QCOMPARE(rig.Find<QPlainTextEdit>("tbChatIn")->geometry(), QRect(0, 0, 465, 309));
        QCOMPARE(rig.Find<QLineEdit>("tbChatOut")->geometry(), QRect(0, 316, 405, 21));
        QCOMPARE(rig.Find<QPushButton>("cmdSend")->geometry(), QRect(408, 316, 57, 21));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(rig.Find<QPushButton>("cmdSend")->text(), "Send");
        QVERIFY(!rig.Find<QPushButton>("cmdSend")->isDefault());
        QVERIFY(!rig.Find<QPushButton>("cmdSend")->autoDefault());
        for (QWidget *control : {static_cast<QWidget *>(rig.Find<QPlainTextEdit>("tbChatIn")),
                                 static_cast<QWidget *>(rig.Find<QLineEdit>("tbChatOut")),
                                 static_cast<QWidget *>(rig.Find<QPushButton>("cmdSend"))}) {
            QVERIFY(!control->accessibleName().isEmpty());
            QCOMPARE(control->font().pointSizeF(), 8.25);
        }
    }

    void menuTreeAndItsPairs()
    {
        Rig rig;
        rig.Start();
        QStringList captions;
        for (QAction *action : rig.window->menuBar()->actions()) {
            QString entry = action->objectName() + "=" + action->text();
            if (action->menu()) {
                for (QAction *item : action->menu()->actions())
                    entry += " [" + item->objectName() + "=" + item->text() + (item->isChecked() ? "*" : "") + "]";
            }
            captions.append(entry);
        }
        QCOMPARE(captions, QStringList({"mnuFile=File [mnuExit=Exit]",
                                        "mnuRecord=Log To File [mnuRecordOn=On] [mnuRecordOff=Off*]",
                                        "mnuViewLog=View Log", "mnuClearScreen=Clear Screen",
                                        "mnuSpacing=Spacing [mnuSingle=Single] [mnuDouble=Double*]"}));

        // A click on the marked item moves the mark to its partner; so does a click on the other.
        QStringList seen;
        for (const char *item : {"mnuRecordOff", "mnuRecordOn", "mnuRecordOn", "mnuDouble", "mnuDouble"}) {
            rig.Find<QAction>(item)->trigger();
            seen.append(rig.Marks());
        }
        QCOMPARE(seen, QStringList({"On Double", "Off Double", "On Double", "On Single", "On Double"}));
        // Menu choices are stored only at exit.
        QCOMPARE(rig.Stored("LogFile"), "");
    }

    void focusStartsInTheEntryBoxAndTabGoesRound()
    {
        Rig rig;
        frmMain &window = rig.Start();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *chatOut = rig.Find<QLineEdit>("tbChatOut");
        auto *chatIn = rig.Find<QPlainTextEdit>("tbChatIn");
        auto *send = rig.Find<QPushButton>("cmdSend");
        QTRY_COMPARE(QApplication::focusWidget(), chatOut);

        QTest::keyClick(chatOut, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), chatIn);
        QTest::keyClick(chatIn, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), send);
        QTest::keyClick(send, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), chatOut);
        QTest::keyClick(chatOut, Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), send);

        // Becoming active again brings the focus back to the entry box.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), chatOut);
    }
};

QTEST_MAIN(tst_frmMainLife)
#include "tst_frmMainLife.moc"
