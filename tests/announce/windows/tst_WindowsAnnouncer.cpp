#include <QDialog>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

#include "announce/JawsApi.h"
#include "announce/PlatformAnnouncer.h"
#include "announce/SapiVoice.h"
#include "announce/WindowsDesktop.h"

#include <windows.h>

namespace {

const wchar_t kJawsClass[] = L"{CCE5B1E5-B2ED-45D5-B09F-8EC54B75ABF4}";

// JAWS's setup names its class "FreedomSci.JawsApi"; without the name JAWS is not installed.
void InstallJaws(bool installed)
{
    if (installed)
        RegSetKeyValueW(HKEY_CLASSES_ROOT, L"FreedomSci.JawsApi\\CLSID", nullptr, REG_SZ, kJawsClass,
                        sizeof kJawsClass);
    else
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"FreedomSci.JawsApi");
}

// JAWS's automation object as Freedom Scientific publishes it, served by the test, which
// registers it as its own class object. Of its dual interface Parlox calls SayString alone:
// SayString(StringToSpeak As String, bFlush As Boolean) answers TRUE when JAWS runs and has
// taken the text, FALSE otherwise, and returns before speaking. Arguments come last first.
class JawsStandIn : public IDispatch, public IClassFactory
{
public:
    static constexpr DISPID kSayString = 2;
    bool running = true;
    QStringList said; // "flush=0: TEXT" for each text taken

    STDMETHODIMP QueryInterface(REFIID iid, void **object) override
    {
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch)
            *object = static_cast<IDispatch *>(this);
        if (iid == IID_IClassFactory)
            *object = static_cast<IClassFactory *>(this);
        return *object ? S_OK : E_NOINTERFACE;
    }
    // Owned by the test, which outlives its users.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown *outer, REFIID iid, void **object) override
    {
        *object = nullptr;
        return outer ? CLASS_E_NOAGGREGATION : QueryInterface(iid, object);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    STDMETHODIMP GetTypeInfoCount(UINT *) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    // Names are matched without regard to case, as automation does.
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override
    {
        if (count != 1 || lstrcmpiW(names[0], L"SayString") != 0)
            return DISP_E_UNKNOWNNAME;
        ids[0] = kSayString;
        return S_OK;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *arguments, VARIANT *result, EXCEPINFO *,
                        UINT *) override
    {
        if (id != kSayString || !(flags & DISPATCH_METHOD))
            return DISP_E_MEMBERNOTFOUND;
        if (arguments->cArgs != 2 || arguments->cNamedArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        const VARIANT &text = arguments->rgvarg[1], &flush = arguments->rgvarg[0];
        if (text.vt != VT_BSTR || flush.vt != VT_BOOL)
            return DISP_E_TYPEMISMATCH;
        if (running)
            said << QString("flush=%1: ").arg(flush.boolVal ? 1 : 0)
                    + QString::fromWCharArray(text.bstrVal, SysStringLen(text.bstrVal));
        if (result) {
            result->vt = VT_BOOL;
            result->boolVal = running ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    }
};

// A voice that speaks when told to: it ends a text only on End(), as SAPI ends one by telling
// its listener through the event it hands out.
class FakeVoice : public ISpVoice
{
public:
    QStringList spoken;
    DWORD how = 0;
    HRESULT speakOutcome = S_OK;

    ~FakeVoice() { CloseHandle(m_event); }
    void End()
    {
        m_ended = true;
        SetEvent(m_event);
    }

    STDMETHODIMP QueryInterface(REFIID, void **) override { return E_NOINTERFACE; }
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
        *event = {};
        event->eEventId = SPEI_END_INPUT_STREAM;
        return *fetched ? S_OK : S_FALSE;
    }
    STDMETHODIMP Speak(LPCWSTR text, DWORD flags, ULONG *) override
    {
        if (text)
            spoken << QString::fromWCharArray(text);
        how = flags;
        return speakOutcome;
    }

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

private:
    HANDLE m_event = nullptr;
    bool m_ended = false;
};

} // namespace

// The announcer's Windows routes as Parlox uses them, JAWS's against a stand-in for its
// automation object that this test serves.
class tst_WindowsAnnouncer : public QObject
{
    Q_OBJECT

    JawsStandIn m_jaws;
    // Shown once: under Wine without a window manager each window takes two seconds to go.
    QWidget m_window;

private slots:
    void initTestCase()
    {
        DWORD registration;
        CLSID jawsClass;
        QCOMPARE(CLSIDFromString(kJawsClass, &jawsClass), S_OK);
        QCOMPARE(CoRegisterClassObject(jawsClass, static_cast<IClassFactory *>(&m_jaws), CLSCTX_INPROC_SERVER,
                                       REGCLS_MULTIPLEUSE, &registration),
                 S_OK);
        InstallJaws(true);
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
    }
    void cleanupTestCase()
    {
        SystemParametersInfoW(SPI_SETSCREENREADER, false, nullptr, 0);
        InstallJaws(false);
    }

    // JAWS is handed each text whole and as it is, to speak after what it is saying. Installed
    // but not running it takes nothing; not installed, there is nothing to ask; either way a
    // JAWS that comes later is found.
    void jaws()
    {
        const QString text = QString::fromUtf8("XX1ABC: <speak>N0CALL</speak> &amp; שלום مرحبا 📻 73");
        JawsApi jaws;
        QVERIFY(jaws.SayString(text));
        m_jaws.running = false;
        QVERIFY(!jaws.SayString("XX1ABC: not running"));
        m_jaws.running = true;

        InstallJaws(false);
        JawsApi missing;
        QVERIFY(!missing.SayString("XX1ABC: not installed"));
        InstallJaws(true);
        QVERIFY(missing.SayString("XX1ABC: installed"));
        QCOMPARE(m_jaws.said, QStringList({"flush=0: " + text, "flush=0: XX1ABC: installed"}));
    }

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
        m_jaws.said.clear();
        announcer.Announce({"XX1ABC>hello <b>there</b>"}, true, false);
        QCOMPARE(m_jaws.said, QStringList("flush=0: XX1ABC: hello <b>there</b>"));
        SystemParametersInfoW(SPI_SETSCREENREADER, false, nullptr, 0);
        QVERIFY(!announcer.ScreenReaderRunning());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("system voice is missing"));
        announcer.Announce({"XX1ABC>by the voice"}, true, false);
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
        const auto speak = [&](const QString &text) {
            done = false;
            voice.Speak(text, [&done] { done = true; });
        };
        speak("XX1ABC: <b>73</b> & 日本");
        QCOMPARE(fake.spoken, QStringList("XX1ABC: <b>73</b> & 日本"));
        QVERIFY(fake.how & SPF_ASYNC);
        QVERIFY(fake.how & SPF_IS_NOT_XML);
        QTest::qWait(100);
        QVERIFY(!done);
        fake.End();
        QTRY_VERIFY(done);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("system voice did not finish speaking in time"));
        QTest::failOnWarning(QRegularExpression("system voice"));
        speak("XX1ABC: hangs");
        QTRY_VERIFY(done);
        fake.speakOutcome = E_FAIL;
        speak("XX1ABC: fails");
        QVERIFY(done);
        fake.speakOutcome = S_OK;
        speak("XX1ABC: three");
        QCOMPARE(fake.spoken.size(), 4);
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
