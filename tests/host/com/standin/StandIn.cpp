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
//                     "MILLISECONDS chat*COUNT TEXT" (TEXT repeated) or "MILLISECONDS other TEXT"
//                     (an event Parlox has no use for), timed from the first subscription; in
//                     TEXT and the call sign \r, \n, \t and \\ stand for CR, LF, tab and a backslash
//   STANDIN_FAIL      EventObject, SetupConfig or SysopConfig (it does not answer for its own
//                     interface), or post (posting fails)
//   STANDIN_TYPEINFO  "none": the objects offer no type information of their own
//   STANDIN_RECORD    a file that gets one line for every creation, subscription, posted line
//                     and release, in that order, escaped like TEXT
// A posted line "close" raises Closing before the post returns. Like a host that does not keep
// its word, the stand-in goes on calling the sinks that unsubscribed.

#include "line_escaping/LineEscaping.h"

#include <olectl.h>
#include <wrl/client.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <tuple>

#include <initguid.h> // defines the identifiers that the generated header declares

#include "EchoLinkStandIn.h"

using Microsoft::WRL::ComPtr;

extern "C" IMAGE_DOS_HEADER __ImageBase; // the DLL, or the server's program: either holds the type library

namespace {

// As in EchoLinkStandIn.idl: neither 1 nor 2 for the two events Parlox handles, and 1 for one it
// has no use for.
constexpr DISPID kClosing = 7;
const std::map<std::wstring, DISPID> kEvents = {{L"closing", kClosing}, {L"chat", 3}, {L"other", 1}};

long objects;
bool isServer; // the local server ends when the last object goes
std::map<DWORD, IDispatch *> sinks; // never let go: see above
std::map<UINT_PTR, std::pair<DISPID, std::wstring>> pending;

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
    argument.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    DISPPARAMS params = {&argument, nullptr, dispid == kClosing ? 0u : 1u, 0};
    for (const auto &[cookie, sink] : sinks)
        sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    SysFreeString(argument.bstrVal);
}

void CALLBACK EventDue(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    const auto [dispid, text] = pending[timer];
    Raise(dispid, text);
}

// The events run on thread timers, so they reach the client only while some thread of the
// stand-in dispatches messages: in process, only while the client does.
void ScheduleEvents()
{
    const std::wstring script = Environment(L"STANDIN_EVENTS");
    const std::wregex event(L"(\\d+) (closing|chat|other)(\\*(\\d+))?( ([^\\n]*))?");
    for (std::wsregex_iterator next(script.begin(), script.end(), event), end; next != end; ++next) {
        const std::wsmatch &match = *next;
        std::wstring text;
        for (int count = match[4].matched ? std::stoi(match[4]) : 1; count > 0; --count)
            text += UnescapeLine(match[6].str());
        pending[SetTimer(nullptr, 0, std::stoul(match[1]), &EventDue)] = {kEvents.at(match[2]), text};
    }
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
    STDMETHODIMP GetTypeInfoCount(UINT *) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override
    {
        return E_NOTIMPL;
    }

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
        if (Environment(L"STANDIN_FAIL") == L"post")
            return E_FAIL;
        const std::wstring text(line, SysStringLen(line));
        Record(L"posted: " + text);
        if (text == L"close") {
            Raise(kClosing, {});
            Record(L"post returns");
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
        return sinks.count(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
    }

    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints **) override { return E_NOTIMPL; }
    STDMETHODIMP GetConnectionInterface(IID *) override { return E_NOTIMPL; }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer **) override { return E_NOTIMPL; }
    STDMETHODIMP EnumConnections(IEnumConnections **) override { return E_NOTIMPL; }

    // clang-format off
#define UNUSED(n) STDMETHODIMP Operation##n() override { return E_NOTIMPL; }
    // They only hold their places before PostChatLine.
    UNUSED(1) UNUSED(2) UNUSED(3) UNUSED(4) UNUSED(5) UNUSED(6) UNUSED(7) UNUSED(8) UNUSED(9) UNUSED(10) UNUSED(11)
    UNUSED(12) UNUSED(13) UNUSED(14) UNUSED(15) UNUSED(16) UNUSED(17) UNUSED(18) UNUSED(19) UNUSED(20) UNUSED(21)
    UNUSED(22) UNUSED(23) UNUSED(24) UNUSED(25) UNUSED(26) UNUSED(27) UNUSED(28) UNUSED(29) UNUSED(30) UNUSED(31)
    UNUSED(32) UNUSED(33)
};
// clang-format on

class SetupConfig : public Object<ISetupConfig>
{
public:
    SetupConfig() : Object(L"SetupConfig") {}

    STDMETHODIMP get_StationCall(BSTR *callSign) override
    {
        const std::wstring call = UnescapeLine(Environment(L"STANDIN_CALL", L"N0CALL-L"));
        *callSign = SysAllocStringLen(call.data(), static_cast<UINT>(call.size()));
        return S_OK;
    }
};

struct SysopConfig : Object<ISysopConfig>
{
    SysopConfig() : Object(L"SysopConfig") {}
};

// Makes objects of one class.
template <typename Made> class Factory : public IClassFactory
{
public:
    STDMETHODIMP QueryInterface(REFIID iid, void **object) override
    {
        *object = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

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
// "EchoLink.NAME", under classes of the stand-in's choosing. The factories live as long as the stand-in.
const std::tuple<const CLSID &, IClassFactory *, const wchar_t *> kClasses[]
    = {{CLSID_EventObject, new Factory<EventObject>, L"EventObject"},
       {CLSID_SetupConfig, new Factory<SetupConfig>, L"SetupConfig"},
       {CLSID_SysopConfig, new Factory<SysopConfig>, L"SysopConfig"}};

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
extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID id, REFIID iid, void **object)
{
    for (const auto &[classId, factory, name] : kClasses) {
        if (classId == id)
            return factory->QueryInterface(iid, object);
    }
    *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
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
    for (const auto &[classId, factory, name] : kClasses) {
        DWORD registration = 0;
        CoRegisterClassObject(classId, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &registration);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0; // leaving the program ends the registrations
}
