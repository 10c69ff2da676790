#pragma once

#include "CallPatience.h"
#include "EchoLinkEvents.h"
#include "MessageFilter.h"

#include <oaidl.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <chrono>
#include <string>

class EventSink;

// Parlox's hold on EchoLink's three automation objects. Creation comes in three steps because
// start-up waits between the first and the second. Every failing call throws ComError, naming
// the step and the HRESULT. Call it from the thread that joined the COM apartment; the events
// arrive there while that thread dispatches window messages.
//
// No call waits longer than the answer limit: a busy EchoLink is waited out until then, and one
// that does not answer is cut off then (see MessageFilter). A call that finds EchoLink's program
// gone raises the gone event; from then on every call fails at once.
class EchoLinkConnection
{
public:
    EchoLinkConnection(EchoLinkEvents events, std::chrono::milliseconds answerLimit);
    ~EchoLinkConnection();
    EchoLinkConnection(const EchoLinkConnection &) = delete;
    EchoLinkConnection &operator=(const EchoLinkConnection &) = delete;

    // Creates the event object and subscribes to its events.
    void CreateEventObject();
    void CreateSetupConfig();
    void CreateSysopConfig();

    std::wstring ReadStationCall();
    void PostChatLine(const std::wstring &line);

    // A cheap call to the event object that finds out whether EchoLink's program is still there,
    // and raises the gone event if not. A busy or slow EchoLink is there: it is neither waited
    // out nor waited for long. Never throws.
    void CheckAlive() noexcept;

    // Lets go of the event object (ending the subscription), then SetupConfig, then SysopConfig,
    // within the answer limit altogether: what EchoLink does not take back by then is left to it.
    // Never throws; safe to call more than once.
    void Release() noexcept;

private:
    template <typename Operation> HRESULT Call(const CallPatience &patience, Operation operation);
    Microsoft::WRL::ComPtr<IDispatch> CreateObject(REFCLSID classId, REFIID interfaceId, const std::string &name);
    Microsoft::WRL::ComPtr<IDispatch> CreateNamedObject(const wchar_t *programName, REFIID interfaceId,
                                                        const std::string &name);
    void RequireAttached(const std::string &step) const;
    void NoteGone();
    void ReleaseEventObject(std::chrono::steady_clock::time_point deadline) noexcept;
    template <typename Object>
    void LetGo(Microsoft::WRL::ComPtr<Object> &object, std::chrono::steady_clock::time_point deadline) noexcept;

    EchoLinkEvents m_events;
    const CallPatience m_patience;
    Microsoft::WRL::ComPtr<MessageFilter> m_filter;
    bool m_gone = false;
    // Once Parlox lets go, EchoLink going away is no news.
    bool m_quiet = false;
    Microsoft::WRL::ComPtr<IDispatch> m_eventObject;
    Microsoft::WRL::ComPtr<IConnectionPoint> m_connectionPoint;
    DWORD m_cookie = 0;
    EventSink *m_sink = nullptr;
    Microsoft::WRL::ComPtr<IDispatch> m_setupConfig;
    Microsoft::WRL::ComPtr<IDispatch> m_sysopConfig;
};
