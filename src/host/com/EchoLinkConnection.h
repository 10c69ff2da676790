#pragma once

#include "EchoLinkEvents.h"

#include <oaidl.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <string>

class EventSink;

// Parlox's hold on EchoLink's three automation objects. Creation comes in three steps because
// start-up waits between the first and the second. Every failing call throws ComError, naming
// the step and the HRESULT. Call it from the thread that joined the COM apartment; the events
// arrive there while that thread dispatches window messages.
class EchoLinkConnection
{
public:
    explicit EchoLinkConnection(EchoLinkEvents events);
    ~EchoLinkConnection();
    EchoLinkConnection(const EchoLinkConnection &) = delete;
    EchoLinkConnection &operator=(const EchoLinkConnection &) = delete;

    // Creates the event object and subscribes to its events.
    void CreateEventObject();
    void CreateSetupConfig();
    void CreateSysopConfig();

    std::wstring ReadStationCall();
    void PostChatLine(const std::wstring &line);

    // Lets go of the event object (ending the subscription), then SetupConfig, then
    // SysopConfig. Never throws; safe to call more than once.
    void Release() noexcept;

private:
    void ReleaseEventObject() noexcept;

    EchoLinkEvents m_events;
    Microsoft::WRL::ComPtr<IDispatch> m_eventObject;
    Microsoft::WRL::ComPtr<IConnectionPoint> m_connectionPoint;
    DWORD m_cookie = 0;
    EventSink *m_sink = nullptr;
    Microsoft::WRL::ComPtr<IDispatch> m_setupConfig;
    Microsoft::WRL::ComPtr<IDispatch> m_sysopConfig;
};
