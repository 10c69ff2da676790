#include <QDialog>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

#include "announce/PlatformAnnouncer.h"
#include "announce/SapiVoice.h"
#include "announce/WindowsDesktop.h"

#include <windows.h>

// The announcer's Windows routes as Parlox uses them, where they can be run under Wine.
class tst_WindowsAnnouncer : public QObject
{
    Q_OBJECT

    // Shown once: under Wine without a window manager each window takes two seconds to go.
    QWidget m_window;

private slots:
    void initTestCase()
    {
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
    }
    void cleanupTestCase() { SystemParametersInfoW(SPI_SETSCREENREADER, false, nullptr, 0); }

    // NVDA is told by its hidden window (class "wxWindowClassNR", title "NVDA"), not by the class
    // alone, which other wxWidgets programs share; in front is the window or one it owns.
    void desktop()
    {
        WNDCLASSW nvdaClass = {};
        nvdaClass.lpfnWndProc = DefWindowProcW;
        nvdaClass.lpszClassName = L"wxWindowClassNR";
        RegisterClassW(&nvdaClass);
        const auto open = [](const wchar_t *title, DWORD style) {
            return CreateWindowW(L"wxWindowClassNR", title, style, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
        };
        const HWND other = open(L"Audacity", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        QVERIFY(!NvdaRunning());
        const HWND nvda = open(L"NVDA", 0);
        QVERIFY(NvdaRunning());
        DestroyWindow(nvda);

        QDialog dialog(&m_window);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        SetForegroundWindow(other);
        QTRY_VERIFY(!WindowInFront(&m_window));
        SetForegroundWindow(reinterpret_cast<HWND>(dialog.winId()));
        QTRY_VERIFY(WindowInFront(&m_window));
        QVERIFY(!WindowInFront(nullptr));
        DestroyWindow(other);
    }

    // Windows is asked each time whether a screen reader runs; where none does, the system voice
    // speaks (missing under Wine, which it says, and the window goes on).
    void announcer()
    {
        PlatformAnnouncer announcer;
        announcer.SetWindow(&m_window);
        SystemParametersInfoW(SPI_SETSCREENREADER, true, nullptr, 0);
        QVERIFY(announcer.ScreenReaderRunning());
        SystemParametersInfoW(SPI_SETSCREENREADER, false, nullptr, 0);
        QVERIFY(!announcer.ScreenReaderRunning());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("system voice is missing"));
        announcer.Announce({"XX1ABC>by the voice"}, true, false);
    }

    // A voice that cannot be made is tried once, says so once, and ends each text at once, not
    // holding up the next.
    void voiceMissing()
    {
        int made = 0, done = 0;
        SapiVoice voice([&made](ISpVoice **) {
            ++made;
            return REGDB_E_CLASSNOTREG;
        });
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("system voice is missing"));
        QTest::failOnWarning(QRegularExpression("system voice"));
        voice.Speak("XX1ABC: one", [&done] { ++done; });
        voice.Speak("XX1ABC: two", [&done] { ++done; });
        QCOMPARE(made, 1);
        QCOMPARE(done, 2);
    }
};

QTEST_MAIN(tst_WindowsAnnouncer)
#include "tst_WindowsAnnouncer.moc"
