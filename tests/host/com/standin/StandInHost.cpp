#include "StandInHost.h"

#include "EventDispatchIds.h"
#include "line_escaping/LineEscaping.h"
#include "StandInText.h"

#include <olectl.h>

#include <cwchar>

namespace {

std::wstring Environment(const wchar_t *name, const wchar_t *fallback = L"")
{
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return fallback;
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

std::vector<std::wstring> Split(const std::wstring &text, wchar_t separator)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t end; (end = text.find(separator, start)) != std::wstring::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

} // namespace

StandInHost &StandInHost::Instance()
{
    static StandInHost host;
    return host;
}

StandInHost::StandInHost()
    : m_callSign(UnescapeLine(Environment(L"STANDIN_CALL", L"N0CALL-L"))),
      m_failures(Split(Environment(L"STANDIN_FAIL"), L',')),
      m_offersTypeInfo(Environment(L"STANDIN_TYPEINFO") != L"none"),
      m_keepsSinks(Environment(L"STANDIN_KEEP_SINKS") == L"1"),
      m_closesOnPost(Environment(L"STANDIN_CLOSE_ON_POST") == L"1"), m_recordPath(Environment(L"STANDIN_RECORD"))
{
    for (const std::wstring &line : Split(Environment(L"STANDIN_EVENTS"), L'\n')) {
        wchar_t *end = nullptr;
        const unsigned long delay = std::wcstoul(line.c_str(), &end, 10);
        if (end == line.c_str() || *end != L' ')
            continue;
        const std::wstring rest = end + 1;
        const size_t space = rest.find(L' ');
        const std::wstring kind = rest.substr(0, space);
        const std::wstring text = space == std::wstring::npos ? L"" : UnescapeLine(rest.substr(space + 1));
        if (kind == L"closing")
            m_events.push_back({static_cast<UINT>(delay), EventDispatchIds::kClosing, false, {}});
        else if (kind == L"other")
            m_events.push_back({static_cast<UINT>(delay), EventDispatchIds::kStationConnected, true, text});
        else if (kind.rfind(L"chat", 0) == 0) {
            const unsigned long count
                = kind.size() > 5 && kind[4] == L'*' ? std::wcstoul(kind.c_str() + 5, nullptr, 10) : 1;
            std::wstring repeated;
            for (unsigned long i = 0; i < count; ++i)
                repeated += text;
            m_events.push_back({static_cast<UINT>(delay), EventDispatchIds::kChatTextReceived, true, repeated});
        }
    }
}

std::wstring StandInHost::ModulePath() const
{
    wchar_t path[MAX_PATH];
    return std::wstring(path, GetModuleFileNameW(m_module, path, MAX_PATH));
}

ITypeLib *StandInHost::TypeLib()
{
    if (!m_typeLib)
        LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &m_typeLib);
    return m_typeLib.Get();
}

bool StandInHost::Fails(std::wstring_view step) const
{
    for (const std::wstring &failure : m_failures) {
        if (failure == step)
            return true;
    }
    return false;
}

void StandInHost::Record(std::wstring_view line) const
{
    if (m_recordPath.empty())
        return;
    const std::string utf8 = Utf8(EscapeLine(line) + L"\n");
    HANDLE file = CreateFileW(m_recordPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

DWORD StandInHost::Subscribe(IDispatch *sink)
{
    const DWORD cookie = m_nextCookie++;
    m_sinks[cookie] = sink;
    Record(L"subscribed");
    ScheduleEvents();
    return cookie;
}

HRESULT StandInHost::Unsubscribe(DWORD cookie)
{
    if (m_sinks.count(cookie) == 0)
        return CONNECT_E_NOCONNECTION;
    Record(L"unsubscribed");
    if (!m_keepsSinks)
        m_sinks.erase(cookie);
    return S_OK;
}

void StandInHost::RaiseClosing()
{
    Raise({0, EventDispatchIds::kClosing, false, {}});
}

void StandInHost::Let()
{
    --m_holds;
    EndIfIdle();
}

void StandInHost::EndIfIdle()
{
    if (m_holds == 0 && end)
        end();
}

// The events run on thread timers, so they reach the client only while some thread of the
// stand-in dispatches messages: in process, only while the client does.
void StandInHost::ScheduleEvents()
{
    if (m_scheduled)
        return;
    m_scheduled = true;
    for (const Event &event : m_events)
        m_pending[SetTimer(nullptr, 0, event.delay, &StandInHost::TimerFired)] = event;
}

void CALLBACK StandInHost::TimerFired(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    StandInHost &host = Instance();
    const auto found = host.m_pending.find(timer);
    if (found == host.m_pending.end())
        return;
    const Event event = found->second;
    host.m_pending.erase(found);
    host.Raise(event);
}

void StandInHost::Raise(const Event &event)
{
    VARIANT argument;
    VariantInit(&argument);
    if (event.hasText) {
        argument.vt = VT_BSTR;
        argument.bstrVal = SysAllocStringLen(event.text.data(), static_cast<UINT>(event.text.size()));
    }
    DISPPARAMS params = {event.hasText ? &argument : nullptr, nullptr, event.hasText ? 1u : 0u, 0};
    // A sink may unsubscribe while it handles the event.
    const auto sinks = m_sinks;
    for (const auto &[cookie, sink] : sinks)
        sink->Invoke(event.dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    VariantClear(&argument);
}
