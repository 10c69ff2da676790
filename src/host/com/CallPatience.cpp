#include "CallPatience.h"

#include <objidl.h>

DWORD CallPatience::AfterTurnedAway(DWORD elapsedMs, DWORD rejectType) const
{
    const auto elapsed = std::chrono::milliseconds(elapsedMs);
    if (!m_waitsOutBusy || rejectType != SERVERCALL_RETRYLATER || elapsed + kRetryPause >= m_limit)
        return static_cast<DWORD>(-1);
    return static_cast<DWORD>(kRetryPause.count());
}

DWORD CallPatience::WhileWaiting(DWORD elapsedMs) const
{
    return std::chrono::milliseconds(elapsedMs) >= m_limit ? PENDINGMSG_CANCELCALL : PENDINGMSG_WAITDEFPROCESS;
}
