// The stand-in for EchoLink: the program behind its three automation objects, built from the
// stand-in's own type library (EchoLinkStandIn.idl). It serves them in process as standin.dll
// ("regsvr32 standin.dll" registers it), or as a program of its own, as EchoLink is:
// standin-server.exe ("standin-server /RegServer" registers it), which COM starts for the first
// object, whose calls then cross through proxies built from the type library, and which ends when
// the last object goes.
//
// A test tells it through environment variables what to do:
//   STANDIN_CALL      the call sign that SetupConfig answers (default N0CALL-L)
//   STANDIN_EVENTS    one event a line, "MILLISECONDS closing", "MILLISECONDS chat TEXT",
//                     "MILLISECONDS chat*COUNT TEXT" (TEXT repeated), "MILLISECONDS other TEXT"
//                     (an event Parlox has no use for) or "MILLISECONDS exit" (the program ends at
//                     once, as if killed, without Closing), timed from the first subscription; in
//                     TEXT and the call sign \r, \n, \t and \\ stand for CR, LF, tab and a backslash
//   STANDIN_FAIL      EventObject, SetupConfig or SysopConfig (it does not answer for its own
//                     interface), post (posting fails), call (reading the call sign takes 10 s)
//                     or unsubscribe (the program ends when asked to unsubscribe)
//   STANDIN_TYPEINFO  "none": the objects offer no type information of their own
//   STANDIN_RECORD    a file that gets one line for every creation, subscription, posted line
//                     and release, in that order, escaped like TEXT; and "turned away" once for
//                     each busy spell that turned a call away
// Some posted lines are orders, carried out after they are recorded: "close" raises Closing before
// the post returns; "busy MILLISECONDS" turns every call away for that long once the post has
// returned, as EchoLink does while it shows a dialog; "hang MILLISECONDS" keeps the post from
// returning for that long. Like a host that does not keep its word, the stand-in goes on calling
// the sinks that unsubscribed.

#include "line_escaping/LineEscaping.h"

#include <olectl.h>
#include <wrl/client.h>

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <tuple>
#include <utility>

#include <initguid.h> // defines the identifiers that the generated header declares

#include "EchoLinkStandIn.h"

using Microsoft::WRL::ComPtr;

extern "C" IMAGE_DOS_HEADER __ImageBase; // the DLL, or the server's program: either holds the type library

// clang-format off
#define NOT_IMPLEMENTED(...) STDMETHODIMP __VA_ARGS__ override { return E_NOTIMPL; }
// clang-format on

namespace {

// Of the stand-in's own choosing: Parlox finds these two by their names.
constexpr CLSID kSetupConfigClass = {0x5B0C3E71, 0x2A4D, 0x4E8F, {0x9C, 0x61, 0x7D, 0x2E, 0x8A, 0x4B, 0x1F, 0x01}};
constexpr CLSID kSysopConfigClass = {0x5B0C3E71, 0x2A4D, 0x4E8F, {0x9C, 0x61, 0x7D, 0x2E, 0x8A, 0x4B, 0x1F, 0x02}};

// As in EchoLinkStandIn.idl: neither 1 nor 2 for the two events Parlox handles, and 1 for one it
// has no use for.
constexpr DISPID kClosing = 7;
const std::map<std::wstring, DISPID> kEvents = {{L"closing", kClosing}, {L"chat", 3}, {L"other", 1}};

long objects;
bool isServer; // the local server ends when the last object goes
std::map<DWORD, IDispatch *> sinks; // never let go: see above
std::map<UINT_PTR, std::pair<std::wstring, std::wstring>> pending;
ULONGLONG busyUntil; // GetTickCount64() up to which calls are turned away
bool turnedAway; // in the current busy spell

std::wstring Environment(const wchar_t *name, const wchar_t *fallback = L"")
{
    const wchar_t *value = _wgetenv(name);
    return value ? value : fallback;
}

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH];
    return std::wstring(path, GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), path, MAX_PATH));
}

void Record(const std::wstring &line)
{
    const std::wstring text = EscapeLine(line) + L"\n";
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                                    static_cast<int>(utf8.size()), nullptr, nullptr));
    std::ofstream(std::filesystem::path(Environment(L"STANDIN_RECORD")), std::ios::app | std::ios::binary) << utf8;
}

void Raise(DISPID dispid, const std::wstring &text)
{
    VARIANT argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = SysAllocString(text.c_str());
    DISPPARAMS params = {&argument, nullptr, dispid == kClosing ? 0u : 1u, 0};
    for (const auto &[cookie, sink] : sinks)
        sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    SysFreeString(argument.bstrVal);
}

void CALLBACK EventDue(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    const auto [kind, text] = pending[timer];
    if (kind == L"exit") // ends the program at once, as a crash or the task manager does
        TerminateProcess(GetCurrentProcess(), 1);
    else
        Raise(kEvents.at(kind), text);
}

// The events run on thread timers, so they reach the client only while some thread of the
// stand-in dispatches messages: in process, only while the client does.
void ScheduleEvents()
{
    const std::wstring script = Environment(L"STANDIN_EVENTS");
    const std::wregex event(L"(\\d+) (closing|chat|other|exit)(\\*(\\d+))?( ([^\\n]*))?");
    for (std::wsregex_iterator next(script.begin(), script.end(), event), end; next != end; ++next) {
        const std::wsmatch &match = *next;
        std::wstring text;
        for (int count = match[4].matched ? std::stoi(match[4]) : 1; count > 0; --count)
            text += UnescapeLine(match[6].str());
        pending[SetTimer(nullptr, 0, std::stoul(match[1]), &EventDue)] = {match[2], text};
    }
}

// Whether a call that comes now is turned away; each busy spell is recorded once.
bool TurnsAway()
{
    if (GetTickCount64() >= busyUntil)
        return false;
    if (!std::exchange(turnedAway, true))
        Record(L"turned away");
    return true;
}

DWORD Since(ULONGLONG start)
{
    return static_cast<DWORD>(GetTickCount64() - start);
}

// The message filter of the calling thread; in process, that is the caller's.
ComPtr<IMessageFilter> CallersFilter()
{
    ComPtr<IMessageFilter> filter;
    CoRegisterMessageFilter(nullptr, filter.GetAddressOf()); // takes it away...
    CoRegisterMessageFilter(filter.Get(), nullptr); // ...and puts it back
    return filter;
}

// What a call meets before the stand-in takes it up. As a program of its own, its message filter
// turns it away while busy (see ServerFilter). In process, the stand-in plays COM's part for a
// server that answers SERVERCALL_RETRYLATER: the call is tried again while the caller's filter
// says so, and not at all without a filter.
HRESULT Arrive()
{
    const ULONGLONG start = GetTickCount64();
    while (!isServer && TurnsAway()) {
        const ComPtr<IMessageFilter> filter = CallersFilter();
        const DWORD pause = filter ? filter->RetryRejectedCall(nullptr, Since(start), SERVERCALL_RETRYLATER) : ~0u;
        if (pause == ~0u)
            return RPC_E_CALL_REJECTED;
        Sleep(pause < 100 ? 0 : pause);
    }
    return S_OK;
}

// A call that is not answered for that long. In process, as COM waits for an answer: each time a
// message arrives it asks the caller's filter, paints when told to wait on, and gives up when
// told to cancel.
HRESULT Hang(DWORD milliseconds)
{
    if (isServer) {
        Sleep(milliseconds);
        return S_OK;
    }
    const ULONGLONG start = GetTickCount64();
    for (DWORD elapsed = 0; elapsed < milliseconds; elapsed = Since(start)) {
        if (MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds - elapsed, QS_ALLINPUT, 0) != WAIT_OBJECT_0)
            continue;
        const ComPtr<IMessageFilter> filter = CallersFilter();
        if (filter && filter->MessagePending(nullptr, Since(start), PENDINGTYPE_TOPLEVEL) == PENDINGMSG_CANCELCALL)
            return RPC_E_CALL_CANCELED;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_QS_PAINT | PM_QS_SENDMESSAGE | PM_REMOVE))
            DispatchMessageW(&message);
    }
    return S_OK;
}

// Reference counting (each object keeps the local server running), the interfaces an object
// answers for, and the type information of the stand-in's type library. Parlox calls the objects'
// operations by their places, never through Invoke.
template <typename Main, typename... Others> class Object : public Main, public Others...
{
public:
    explicit Object(const wchar_t *name) : m_name(name)
    {
        ++objects;
        Record(L"created " + m_name);
    }
    virtual ~Object()
    {
        Record(L"released " + m_name);
        if (--objects == 0 && isServer)
            PostQuitMessage(0);
    }

    STDMETHODIMP QueryInterface(REFIID iid, void **object) override
    {
        const bool main = iid == IID_IDispatch || (iid == __uuidof(Main) && Environment(L"STANDIN_FAIL") != m_name);
        *object = iid == IID_IUnknown || main ? static_cast<Main *>(this) : nullptr;
        ((*object = iid == __uuidof(Others) ? static_cast<Others *>(this) : *object), ...);
        if (*object)
            AddRef();
        return *object ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **info) override
    {
        *info = nullptr;
        ComPtr<ITypeLib> library;
        if (Environment(L"STANDIN_TYPEINFO") == L"none"
            || FAILED(LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &library)))
            return E_NOTIMPL;
        return library->GetTypeInfoOfGuid(__uuidof(Main), info);
    }
    // What Parlox asks to see that the stand-in is there.
    STDMETHODIMP GetTypeInfoCount(UINT *) override
    {
        const HRESULT arrived = Arrive();
        return FAILED(arrived) ? arrived : E_NOTIMPL;
    }
    NOT_IMPLEMENTED(GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *))
    NOT_IMPLEMENTED(Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *))

private:
    std::wstring m_name;
    ULONG m_references = 1;
};

// Takes posted lines, and is its own one connection point for the events.
class EventObject : public Object<IEventObject, IConnectionPointContainer, IConnectionPoint>
{
public:
    EventObject() : Object(L"EventObject") {}

    STDMETHODIMP PostChatLine(BSTR line) override
    {
        if (const HRESULT arrived = Arrive(); FAILED(arrived))
            return arrived;
        if (Environment(L"STANDIN_FAIL") == L"post")
            return E_FAIL;
        const std::wstring text(line, SysStringLen(line));
        Record(L"posted: " + text);
        if (text == L"close") {
            Raise(kClosing, {});
            Record(L"post returns");
        }
        DWORD milliseconds = 0;
        if (std::swscanf(line, L"hang %lu", &milliseconds) == 1)
            return Hang(milliseconds);
        if (std::swscanf(line, L"busy %lu", &milliseconds) == 1) {
            busyUntil = GetTickCount64() + milliseconds;
            turnedAway = false;
        }
        return S_OK;
    }

    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint **point) override
    {
        *point = iid == DIID_EventObjectEvents ? this : nullptr;
        if (*point)
            AddRef();
        return *point ? S_OK : CONNECT_E_NOCONNECTION;
    }
    // Subscribers must answer for the event interface.
    STDMETHODIMP Advise(IUnknown *sink, DWORD *cookie) override
    {
        IDispatch *events = nullptr;
        if (FAILED(sink->QueryInterface(DIID_EventObjectEvents, reinterpret_cast<void **>(&events))))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = static_cast<DWORD>(sinks.size() + 1);
        sinks[*cookie] = events;
        Record(L"subscribed");
        if (*cookie == 1)
            ScheduleEvents();
        return S_OK;
    }
    STDMETHODIMP Unadvise(DWORD cookie) override
    {
        Record(L"unsubscribed");
        if (Environment(L"STANDIN_FAIL") == L"unsubscribe")
            TerminateProcess(GetCurrentProcess(), 1);
        return sinks.count(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
    }

    NOT_IMPLEMENTED(EnumConnectionPoints(IEnumConnectionPoints **))
    NOT_IMPLEMENTED(GetConnectionInterface(IID *))
    NOT_IMPLEMENTED(GetConnectionPointContainer(IConnectionPointContainer **))
    NOT_IMPLEMENTED(EnumConnections(IEnumConnections **))

    // clang-format off
#define PLACE(n) NOT_IMPLEMENTED(Place##n())
#define TEN_PLACES(n) \
    PLACE(n##0) PLACE(n##1) PLACE(n##2) PLACE(n##3) PLACE(n##4) PLACE(n##5) PLACE(n##6) PLACE(n##7) PLACE(n##8) PLACE(n##9)
    TEN_PLACES(0) TEN_PLACES(1) TEN_PLACES(2) PLACE(30) PLACE(31) PLACE(32) // they only hold their places
    // clang-format on
};

class SetupConfig : public Object<ISetupConfig>
{
public:
    SetupConfig() : Object(L"SetupConfig") {}

    STDMETHODIMP get_StationCall(BSTR *callSign) override
    {
        *callSign = nullptr;
        HRESULT answered = Arrive();
        if (SUCCEEDED(answered) && Environment(L"STANDIN_FAIL") == L"call")
            answered = Hang(10000);
        if (SUCCEEDED(answered))
            *callSign = SysAllocString(UnescapeLine(Environment(L"STANDIN_CALL", L"N0CALL-L")).c_str());
        return answered;
    }
};

struct SysopConfig : Object<ISysopConfig>
{
    SysopConfig() : Object(L"SysopConfig") {}
};

// An object that lives as long as the program, answering for one interface.
template <typename Interface> class Lasting : public Interface
{
public:
    STDMETHODIMP QueryInterface(REFIID iid, void **object) override
    {
        *object = iid == IID_IUnknown || iid == __uuidof(Interface) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
};

// The local server's own message filter: while busy it turns every call away, as a
// single-threaded server does while it shows a dialog.
struct ServerFilter : Lasting<IMessageFilter>
{
    STDMETHODIMP_(DWORD) HandleInComingCall(DWORD, HTASK, DWORD, INTERFACEINFO *) override
    {
        return TurnsAway() ? SERVERCALL_RETRYLATER : SERVERCALL_ISHANDLED;
    }
    STDMETHODIMP_(DWORD) RetryRejectedCall(HTASK, DWORD, DWORD) override { return ~0u; }
    STDMETHODIMP_(DWORD) MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

template <typename Made> struct Factory : Lasting<IClassFactory>
{
    STDMETHODIMP CreateInstance(IUnknown *, REFIID iid, void **object) override
    {
        auto *made = new Made;
        const HRESULT result = made->QueryInterface(iid, object);
        made->Release();
        return result;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

// EchoLink's event object under its own class; the two configuration objects, found by their names
// "EchoLink.NAME", under classes of the stand-in's choosing.
const std::tuple<const CLSID &, IClassFactory *, const wchar_t *> kClasses[]
    = {{CLSID_EventObject, new Factory<EventObject>, L"EventObject"},
       {kSetupConfigClass, new Factory<SetupConfig>, L"SetupConfig"},
       {kSysopConfigClass, new Factory<SysopConfig>, L"SysopConfig"}};

void SetValue(const std::wstring &key, const wchar_t *name, const std::wstring &value)
{
    RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// Registers each class as served by KIND (InprocServer32 or LocalServer32) at SERVER, in place of
// any earlier registration, and the type library.
HRESULT Register(const wchar_t *kind, const std::wstring &server)
{
    for (const auto &[classId, factory, name] : kClasses) {
        wchar_t id[40];
        StringFromGUID2(classId, id, 40);
        const std::wstring key = std::wstring(L"CLSID\\") + id;
        RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
        SetValue(key + L"\\" + kind, nullptr, server);
        SetValue(std::wstring(L"EchoLink.") + name + L"\\CLSID", nullptr, id);
    }
    ComPtr<ITypeLib> library;
    return LoadTypeLibEx(ModulePath().c_str(), REGKIND_REGISTER, &library);
}

} // namespace

// standin.dll. It has no DllCanUnloadNow: its events may still be due after the last object went,
// as a host program's would be.
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID id, REFIID iid, void **object)
{
    for (const auto &[classId, factory, name] : kClasses) {
        if (classId == id)
            return factory->QueryInterface(iid, object);
    }
    *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer()
{
    return Register(L"InprocServer32", ModulePath());
}

// standin-server.exe
int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t *commandLine, int)
{
    if (lstrcmpiW(commandLine, L"/RegServer") == 0)
        return FAILED(Register(L"LocalServer32", L"\"" + ModulePath() + L"\""));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    isServer = true;
    static ServerFilter filter;
    CoRegisterMessageFilter(&filter, nullptr);
    for (const auto &[classId, factory, name] : kClasses) {
        DWORD registration = 0;
        CoRegisterClassObject(classId, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &registration);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0; // leaving the program ends the registrations
}
