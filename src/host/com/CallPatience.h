#pragma once

#include <windows.h>

#include <chrono>

// How long one call to EchoLink may take, and whether a busy EchoLink is waited out: the answers
// Parlox's message filter gives COM about a call, from the time the call has taken so far.
class CallPatience
{
public:
    // Between two tries of a call that a busy EchoLink turned away.
    static constexpr std::chrono::milliseconds kRetryPause{100};

    constexpr CallPatience(std::chrono::milliseconds limit, bool waitsOutBusy)
        : m_limit(limit), m_waitsOutBusy(waitsOutBusy)
    {
    }

    std::chrono::milliseconds limit() const { return m_limit; }

    // For a call turned away (SERVERCALL_RETRYLATER or SERVERCALL_REJECTED): the pause in
    // milliseconds before COM tries again, or (DWORD)-1 to fail the call. Only a busy EchoLink is
    // waited out, and only while another try can still end within the limit.
    DWORD AfterTurnedAway(DWORD elapsedMs, DWORD rejectType) const;

    // For a message that arrives while the call waits for its answer: cancel the call once the
    // limit is reached; until then wait on, with COM's default handling, which paints the windows
    // and holds back keys and clicks.
    DWORD WhileWaiting(DWORD elapsedMs) const;

private:
    std::chrono::milliseconds m_limit;
    bool m_waitsOutBusy;
};
