#pragma once

#include <oaidl.h>
#include <wrl/client.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// What the stand-in plays as a whole: the program behind the objects. A test tells it through
// environment variables what to do:
//   STANDIN_CALL      the call sign that SetupConfig answers (default N0CALL-L)
//   STANDIN_EVENTS    one event a line, "MILLISECONDS closing", "MILLISECONDS chat TEXT",
//                     "MILLISECONDS chat*COUNT TEXT" (TEXT repeated) or "MILLISECONDS other TEXT"
//                     (an event Parlox has no use for), timed from the first subscription; in
//                     TEXT \r, \n, \t and \\ stand for CR, LF, tab and a backslash
//   STANDIN_FAIL      comma-separated: event, setup, sysop (creation fails), post
//   STANDIN_TYPEINFO  "none": the objects offer no type information of their own
//   STANDIN_KEEP_SINKS  "1": unsubscribing is acknowledged, but events still go to the sink
//   STANDIN_CLOSE_ON_POST  "1": a posted line raises Closing before the post returns
//   STANDIN_RECORD    a file that gets one line for every creation, subscription, posted line
//                     and release, in that order, escaped like TEXT
class StandInHost
{
public:
    static StandInHost &Instance();

    void SetModule(HMODULE module) { m_module = module; }
    std::wstring ModulePath() const;
    ITypeLib *TypeLib();

    const std::wstring &CallSign() const { return m_callSign; }
    bool Fails(std::wstring_view step) const;
    bool OffersTypeInfo() const { return m_offersTypeInfo; }
    bool ClosesOnPost() const { return m_closesOnPost; }

    void Record(std::wstring_view line) const;

    DWORD Subscribe(IDispatch *sink);
    HRESULT Unsubscribe(DWORD cookie);
    void RaiseClosing();

    // Counts objects and server locks; the local server ends when it has none left.
    void Hold() { ++m_holds; }
    void Let();
    void EndIfIdle();
    std::function<void()> end;

private:
    StandInHost();

    struct Event
    {
        UINT delay;
        DISPID dispid;
        bool hasText;
        std::wstring text;
    };

    static void CALLBACK TimerFired(HWND, UINT, UINT_PTR timer, DWORD);
    void ScheduleEvents();
    void Raise(const Event &event);

    HMODULE m_module = nullptr;
    Microsoft::WRL::ComPtr<ITypeLib> m_typeLib;
    std::wstring m_callSign;
    std::vector<std::wstring> m_failures;
    bool m_offersTypeInfo;
    bool m_keepsSinks;
    bool m_closesOnPost;
    std::wstring m_recordPath;
    std::vector<Event> m_events;
    std::map<UINT_PTR, Event> m_pending;
    bool m_scheduled = false;
    std::map<DWORD, Microsoft::WRL::ComPtr<IDispatch>> m_sinks;
    DWORD m_nextCookie = 1;
    long m_holds = 0;
};
