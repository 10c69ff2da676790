#pragma once

#include "CallPatience.h"
#include "ComObject.h"

#include <objidl.h>
#include <wrl/client.h>

// Parlox's answers to COM about the calls its thread makes. EchoLink is a single-threaded server:
// while it shows a dialog it turns calls away, and while it is stuck it leaves them unanswered.
// COM asks this filter whether to try a turned-away call again, and, whenever a message arrives
// while a call waits, whether to go on waiting. The answers come from the patience of the call
// under way. Calls coming in (EchoLink's events, a screen reader asking about the window) are
// always taken.
class MessageFilter : public ComObject<IMessageFilter>
{
public:
    // Registers a new filter for the calling thread, which must have joined a single-threaded
    // apartment; calls made outside a Call get the given patience. Where COM refuses it (in a
    // multi-threaded apartment), calls go on without one.
    static Microsoft::WRL::ComPtr<MessageFilter> Register(const CallPatience &patience);
    // Puts back the filter that was registered before.
    void Revoke();

    // The patience of one call, for as long as the object lives. Calls may nest: an event that
    // comes in while a call waits may make one of its own. COM asks the filter only when a
    // message arrives, so while any call is under way the thread is sent an empty message every
    // tenth of a second.
    class Call
    {
    public:
        Call(MessageFilter &filter, const CallPatience &patience);
        ~Call();
        Call(const Call &) = delete;
        Call &operator=(const Call &) = delete;

    private:
        MessageFilter &m_filter;
        CallPatience m_outer;
    };

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD elapsedMs,
                                               INTERFACEINFO *interfaceInfo) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD elapsedMs, DWORD rejectType) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD elapsedMs, DWORD pendingType) override;

private:
    explicit MessageFilter(const CallPatience &patience);
    ~MessageFilter() override;

    static void CALLBACK Wake(PTP_CALLBACK_INSTANCE, void *context, PTP_TIMER);
    void CallStarted();
    void CallEnded();

    CallPatience m_patience;
    bool m_registered = false;
    IMessageFilter *m_previous = nullptr;
    const DWORD m_thread;
    PTP_TIMER m_wakeTimer;
    int m_callsUnderWay = 0;
};
