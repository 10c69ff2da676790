#include "MessageFilter.h"

namespace {

constexpr DWORD kWakePeriodMs = 100;

} // namespace

Microsoft::WRL::ComPtr<MessageFilter> MessageFilter::Register(const CallPatience &patience)
{
    Microsoft::WRL::ComPtr<MessageFilter> filter;
    filter.Attach(new MessageFilter(patience));
    filter->m_registered = SUCCEEDED(CoRegisterMessageFilter(filter.Get(), &filter->m_previous));
    return filter;
}

void MessageFilter::Revoke()
{
    if (!m_registered)
        return;
    m_registered = false;
    CoRegisterMessageFilter(m_previous, nullptr);
    if (m_previous)
        m_previous->Release();
    m_previous = nullptr;
}

MessageFilter::MessageFilter(const CallPatience &patience)
    : m_patience(patience), m_thread(GetCurrentThreadId()), m_wakeTimer(CreateThreadpoolTimer(&Wake, this, nullptr))
{
}

MessageFilter::~MessageFilter()
{
    if (!m_wakeTimer)
        return;
    SetThreadpoolTimer(m_wakeTimer, nullptr, 0, 0);
    WaitForThreadpoolTimerCallbacks(m_wakeTimer, TRUE);
    CloseThreadpoolTimer(m_wakeTimer);
}

// Runs on a thread of the system's pool: it only posts, so that the waiting thread wakes.
void CALLBACK MessageFilter::Wake(PTP_CALLBACK_INSTANCE, void *context, PTP_TIMER)
{
    PostThreadMessageW(static_cast<MessageFilter *>(context)->m_thread, WM_NULL, 0, 0);
}

void MessageFilter::CallStarted()
{
    if (m_callsUnderWay++ > 0 || !m_wakeTimer)
        return;
    FILETIME due;
    const LONGLONG relative = -10'000LL * kWakePeriodMs; // in 100-ns units; negative: from now
    due.dwLowDateTime = static_cast<DWORD>(relative);
    due.dwHighDateTime = static_cast<DWORD>(relative >> 32);
    SetThreadpoolTimer(m_wakeTimer, &due, kWakePeriodMs, 0);
}

void MessageFilter::CallEnded()
{
    if (--m_callsUnderWay == 0 && m_wakeTimer)
        SetThreadpoolTimer(m_wakeTimer, nullptr, 0, 0);
}

MessageFilter::Call::Call(MessageFilter &filter, const CallPatience &patience)
    : m_filter(filter), m_outer(filter.m_patience)
{
    m_filter.m_patience = patience;
    m_filter.CallStarted();
}

MessageFilter::Call::~Call()
{
    m_filter.CallEnded();
    m_filter.m_patience = m_outer;
}

DWORD STDMETHODCALLTYPE MessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, INTERFACEINFO *)
{
    return SERVERCALL_ISHANDLED;
}

DWORD STDMETHODCALLTYPE MessageFilter::RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType)
{
    return m_patience.AfterTurnedAway(elapsedMs, rejectType);
}

DWORD STDMETHODCALLTYPE MessageFilter::MessagePending(HTASK, DWORD elapsedMs, DWORD)
{
    return m_patience.WhileWaiting(elapsedMs);
}
