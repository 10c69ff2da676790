#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "announce/JawsApi.h"
#include "announce/PlatformAnnouncer.h"
#include "announce/SapiVoice.h"
#include "announce/WindowsDesktop.h"
#include "line_escaping/LineEscaping.h"

#include <chrono>

#include <windows.h>

namespace {

using RegistrationStep = HRESULT(WINAPI *)();

void SetEnvironment(const wchar_t *name, const QString &value)
{
    SetEnvironmentVariableW(name, value.isEmpty() ? nullptr : reinterpret_cast<const wchar_t *>(value.utf16()));
}

void SetScreenReader(bool running)
{
    SystemParametersInfoW(SPI_SETSCREENREADER, running, nullptr, 0);
}

// A voice that speaks when told to: it ends a text only on End(), as SAPI ends one by telling
// its listener through the event it hands out.
class FakeVoice : public ISpVoice
{
public:
    QStringList spoken;
    QList<DWORD> flags;
    HRESULT speakOutcome = S_OK;

    ~FakeVoice()
    {
        if (m_event)
            CloseHandle(m_event);
    }
    void End()
    {
        m_ended = true;
        SetEvent(m_event);
    }

    STDMETHODIMP QueryInterface(REFIID, void **object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Owned by the test, which outlives the voice's users.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP SetNotifyWin32Event() override
    {
        m_event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        return S_OK;
    }
    STDMETHODIMP_(HANDLE) GetNotifyEventHandle() override { return m_event; }
    STDMETHODIMP SetInterest(ULONGLONG events, ULONGLONG) override
    {
        return events & SPFEI(SPEI_END_INPUT_STREAM) ? S_OK : E_INVALIDARG;
    }
    STDMETHODIMP GetEvents(ULONG, SPEVENT *event, ULONG *fetched) override
    {
        *fetched = std::exchange(m_ended, false) ? 1 : 0;
        if (*fetched) {
            *event = {};
            event->eEventId = SPEI_END_INPUT_STREAM;
        }
        return *fetched ? S_OK : S_FALSE;
    }
    STDMETHODIMP Speak(LPCWSTR text, DWORD how, ULONG *) override
    {
        if (text) {
            spoken << QString::fromWCharArray(text);
            flags << how;
        }
        return speakOutcome;
    }

    // clang-format off
    STDMETHODIMP SetNotifySink(ISpNotifySink *) override { return E_NOTIMPL; }
    STDMETHODIMP SetNotifyWindowMessage(HWND, UINT, WPARAM, LPARAM) override { return E_NOTIMPL; }
    STDMETHODIMP SetNotifyCallbackFunction(SPNOTIFYCALLBACK *, WPARAM, LPARAM) override { return E_NOTIMPL; }
    STDMETHODIMP SetNotifyCallbackInterface(ISpNotifyCallback *, WPARAM, LPARAM) override { return E_NOTIMPL; }
    STDMETHODIMP WaitForNotifyEvent(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetInfo(SPEVENTSOURCEINFO *) override { return E_NOTIMPL; }
    STDMETHODIMP SetOutput(IUnknown *, WINBOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetOutputObjectToken(ISpObjectToken **) override { return E_NOTIMPL; }
    STDMETHODIMP GetOutputStream(ISpStreamFormat **) override { return E_NOTIMPL; }
    STDMETHODIMP Pause() override { return E_NOTIMPL; }
    STDMETHODIMP Resume() override { return E_NOTIMPL; }
    STDMETHODIMP SetVoice(ISpObjectToken *) override { return E_NOTIMPL; }
    STDMETHODIMP GetVoice(ISpObjectToken **) override { return E_NOTIMPL; }
    STDMETHODIMP SpeakStream(IStream *, DWORD, ULONG *) override { return E_NOTIMPL; }
    STDMETHODIMP GetStatus(SPVOICESTATUS *, LPWSTR *) override { return E_NOTIMPL; }
    STDMETHODIMP Skip(LPCWSTR, LONG, ULONG *) override { return E_NOTIMPL; }
    STDMETHODIMP SetPriority(SPVPRIORITY) override { return E_NOTIMPL; }
    STDMETHODIMP GetPriority(SPVPRIORITY *) override { return E_NOTIMPL; }
    STDMETHODIMP SetAlertBoundary(SPEVENTENUM) override { return E_NOTIMPL; }
    STDMETHODIMP GetAlertBoundary(SPEVENTENUM *) override { return E_NOTIMPL; }
    STDMETHODIMP SetRate(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP GetRate(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP SetVolume(USHORT) override { return E_NOTIMPL; }
    STDMETHODIMP GetVolume(USHORT *) override { return E_NOTIMPL; }
    STDMETHODIMP WaitUntilDone(ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP SetSyncSpeakTimeout(ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP GetSyncSpeakTimeout(ULONG *) override { return E_NOTIMPL; }
    STDMETHODIMP_(HANDLE) SpeakCompleteEvent() override { return nullptr; }
    STDMETHODIMP IsUISupported(LPCWSTR, void *, ULONG, WINBOOL *) override { return E_NOTIMPL; }
    STDMETHODIMP DisplayUI(HWND, LPCWSTR, LPCWSTR, void *, ULONG) override { return E_NOTIMPL; }
    // clang-format on

private:
    HANDLE m_event = nullptr;
    bool m_ended = false;
};

} // namespace

// The announcer's Windows routes as Parlox uses them, against a stand-in for JAWS's automation
// object registered as JAWS registers its own.
class tst_WindowsAnnouncer : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    HMODULE m_standIn = nullptr;
    // Shown once: under Wine without a window manager each window takes two seconds to go.
    QWidget m_window;

    QString RecordPath() const { return m_folder.filePath("jaws-record.txt"); }

    // The stand-in's record since the last look, one line a call.
    QStringList Record() const
    {
        QFile file(RecordPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        file.close();
        file.remove();
        return lines;
    }

    void Registration(const char *step)
    {
        const auto call = reinterpret_cast<RegistrationStep>(GetProcAddress(m_standIn, step));
        QVERIFY(call);
        QCOMPARE(call(), S_OK);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        const QString standIn = QDir::toNativeSeparators(QApplication::applicationDirPath() + "/jaws_standin.dll");
        m_standIn = LoadLibraryW(reinterpret_cast<const wchar_t *>(standIn.utf16()));
        QVERIFY2(m_standIn, qPrintable(standIn));
        Registration("DllRegisterServer");
        SetEnvironment(L"JAWS_STANDIN_RECORD", QDir::toNativeSeparators(RecordPath()));
        m_window.resize(200, 100);
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
    }

    void cleanupTestCase()
    {
        SetScreenReader(false);
        if (m_standIn)
            Registration("DllUnregisterServer");
    }

    // JAWS is handed each text whole and as it is, to speak after what it is saying.
    void jawsSaysText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("chat") << "XX1ABC: hello";
        QTest::newRow("markup") << "<speak>N0CALL</speak> &amp; <b>73</b>";
        QTest::newRow("right to left, emoji") << QString::fromUtf8("שלום مرحبا 📻 73");
        QTest::newRow("long") << QString(300, QChar(0x00e9)) + " and more";
        QTest::newRow("backslash") << "C:\\data\\log";
    }
    void jawsSaysText()
    {
        QFETCH(QString, text);
        JawsApi jaws;
        QVERIFY(jaws.SayString(text));
        const std::u16string escaped = EscapeLine(text.toStdU16String());
        QCOMPARE(Record(), QStringList("SayString flush=0: " + QString::fromStdU16String(escaped)));
    }

    // JAWS installed but not running takes nothing; not installed, there is nothing to ask. Both
    // are told at once, and a JAWS that starts later is found.
    void jawsAbsent()
    {
        JawsApi jaws;
        SetEnvironment(L"JAWS_STANDIN_RUNNING", "no");
        QVERIFY(!jaws.SayString("XX1ABC: one"));
        SetEnvironment(L"JAWS_STANDIN_RUNNING", {});
        QVERIFY(jaws.SayString("XX1ABC: two"));
        QCOMPARE(Record(), QStringList({"not running", "SayString flush=0: XX1ABC: two"}));

        Registration("DllUnregisterServer");
        JawsApi missing;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!missing.SayString("XX1ABC: three"));
        QVERIFY(clock.elapsed() < 1000);
        Registration("DllRegisterServer");
        QVERIFY(missing.SayString("XX1ABC: four"));
        QCOMPARE(Record(), QStringList("SayString flush=0: XX1ABC: four"));
    }

    // NVDA is told by the hidden window it keeps (class "wxWindowClassNR", title "NVDA"); in
    // front is the window itself or one of its own, such as a dialog it owns.
    void desktop()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"wxWindowClassNR";
        RegisterClassW(&windowClass);
        QVERIFY(!NvdaRunning());
        const HWND other = CreateWindowExW(0, L"wxWindowClassNR", L"Audacity", 0, 0, 0, 10, 10, nullptr, nullptr,
                                           windowClass.hInstance, nullptr);
        QVERIFY(!NvdaRunning());
        const HWND nvda = CreateWindowExW(0, L"wxWindowClassNR", L"NVDA", 0, 0, 0, 10, 10, nullptr, nullptr,
                                          windowClass.hInstance, nullptr);
        QVERIFY(NvdaRunning());
        DestroyWindow(nvda);
        DestroyWindow(other);
        QVERIFY(!NvdaRunning());

        QWidget &window = m_window;
        QWidget elsewhere;
        elsewhere.resize(200, 100);
        elsewhere.show();
        QVERIFY(QTest::qWaitForWindowExposed(&elsewhere));
        QDialog dialog(&window);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const auto bringToFront = [](QWidget *widget) {
            SetForegroundWindow(reinterpret_cast<HWND>(widget->winId()));
        };
        bringToFront(&window);
        QTRY_VERIFY(WindowInFront(&window));
        QVERIFY(!WindowInFront(&elsewhere));
        bringToFront(&elsewhere);
        QTRY_VERIFY(!WindowInFront(&window));
        bringToFront(&dialog);
        QTRY_VERIFY(WindowInFront(&window));
        QVERIFY(!WindowInFront(nullptr));
    }

    // The whole announcer: Windows is asked for each tick whether a screen reader runs, JAWS
    // speaks where it takes the text, and otherwise (here Wine has no notifications) the system
    // voice does, without holding up the window.
    void announcer()
    {
        PlatformAnnouncer announcer;
        announcer.SetWindow(&m_window);

        SetScreenReader(true);
        QVERIFY(announcer.ScreenReaderRunning());
        announcer.Announce({"XX1ABC>hello <b>there</b>"}, true, true);
        const QStringList said = Record();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].startsWith("SayString flush=0: XX1ABC") && said[0].contains("hello <b>there</b>"),
                 qPrintable(said[0]));

        announcer.Announce({"XX1ABC>not read aloud"}, false, true);
        // Wine's SAPI has no voice to speak with, which the voice says once.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("system voice is missing"));
        QTest::failOnWarning(QRegularExpression("system voice"));
        SetEnvironment(L"JAWS_STANDIN_RUNNING", "no");
        QElapsedTimer clock;
        clock.start();
        announcer.Announce({"XX1ABC>by the voice"}, true, false);
        SetEnvironment(L"JAWS_STANDIN_RUNNING", {});
        SetScreenReader(false);
        QVERIFY(!announcer.ScreenReaderRunning());
        announcer.Announce({"XX1ABC>by the voice too"}, true, false);
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(Record(), QStringList("not running"));
    }

    // The voice speaks in the background, markup read as text, and each text ends when the voice
    // says it has been spoken; one that does not end in time, or fails, is given up with one
    // warning, and the next text still goes to it.
    void voice()
    {
        FakeVoice fake;
        SapiVoice voice(
            [&fake](ISpVoice **made) {
                *made = &fake;
                return S_OK;
            },
            std::chrono::milliseconds(300));
        bool done = false;
        voice.Speak("XX1ABC: <b>73</b> & 日本", [&done] { done = true; });
        QCOMPARE(fake.spoken, QStringList("XX1ABC: <b>73</b> & 日本"));
        QVERIFY(fake.flags[0] & SPF_ASYNC);
        QVERIFY(fake.flags[0] & SPF_IS_NOT_XML);
        QVERIFY(!(fake.flags[0] & SPF_IS_XML));
        QTest::qWait(100);
        QVERIFY(!done);
        fake.End();
        QTRY_VERIFY(done);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("system voice did not finish speaking in time"));
        QTest::failOnWarning(QRegularExpression("system voice"));
        done = false;
        voice.Speak("XX1ABC: hangs", [&done] { done = true; });
        QTRY_VERIFY(done);
        fake.speakOutcome = E_FAIL;
        done = false;
        voice.Speak("XX1ABC: fails", [&done] { done = true; });
        QVERIFY(done);
        fake.speakOutcome = S_OK;
        done = false;
        voice.Speak("XX1ABC: three", [&done] { done = true; });
        fake.End();
        QTRY_VERIFY(done);
        QCOMPARE(fake.spoken.size(), 4);
    }

    // A voice that is missing (as Wine's is) says so once however often it is asked, and ends
    // each text at once, so that the texts after it are not held up.
    void voiceMissing()
    {
        SapiVoice voice;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("system voice is missing"));
        QTest::failOnWarning(QRegularExpression("system voice"));
        for (const QString &text : {QString("XX1ABC: <b>one</b>"), QString("XX1ABC: two")}) {
            bool done = false;
            voice.Speak(text, [&done] { done = true; });
            QVERIFY(done);
        }
    }
};

QTEST_MAIN(tst_WindowsAnnouncer)
#include "tst_WindowsAnnouncer.moc"
