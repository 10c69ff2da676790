#include "wait/WaitTimer.h"

#include "wait/DueTime.h"

#include <windows.h>

#include <string>

namespace {

// Every kind of window input, as the wait has always watched it: keys, mouse moves and buttons,
// posted and sent messages, timers, paint and hot keys.
constexpr DWORD kWakeMask
    = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_SENDMESSAGE | QS_HOTKEY;
static_assert(kWakeMask == 0xFF);

// Named after the executable, so that overlapping waits in this process and in other running
// copies of the program share one timer.
std::string TimerName()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    name.erase(0, name.find_last_of(L"\\/") + 1);
    if (const auto dot = name.find_last_of(L'.'); dot != std::wstring::npos)
        name.erase(dot);
    name += L"Timer";
    const int size
        = WideCharToMultiByte(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, name.data(), static_cast<int>(name.size()), ansi.data(), size, nullptr, nullptr);
    return ansi;
}

void Arm(HANDLE timer, DueTime due)
{
    LARGE_INTEGER dueTime;
    dueTime.LowPart = due.low;
    dueTime.HighPart = static_cast<LONG>(due.high);
    SetWaitableTimer(timer, &dueTime, 0, nullptr, nullptr, FALSE);
}

// Returns false once the program has been asked to quit. The quit message is put back, so that
// the message loop around the wait (and any wait around this one) ends as well.
bool DispatchPendingMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

// Without a usable timer the wait still keeps the windows alive and returns on time.
void WaitUntil(ULONGLONG deadline)
{
    for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), kWakeMask);
        if (!DispatchPendingMessages())
            return;
    }
}

} // namespace

void WaitSeconds(int seconds)
{
    const ULONGLONG deadline = GetTickCount64() + 1000ULL * static_cast<ULONGLONG>(seconds > 0 ? seconds : 0);
    HANDLE timer = CreateWaitableTimerA(nullptr, TRUE, TimerName().c_str());
    if (!timer) {
        WaitUntil(deadline);
        return;
    }
    // A fresh timer is first armed for the shortest time. Then every wait, whether it created the
    // timer or opened one that another wait holds, arms it with its own due time, which moves the
    // due time of all of them.
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        Arm(timer, {0xFFFFFFFF, 0xFFFFFFFF});
    Arm(timer, DueTimeForSeconds(seconds));
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, kWakeMask);
        if (!DispatchPendingMessages() || woke == WAIT_OBJECT_0)
            break;
        if (woke == WAIT_FAILED) {
            WaitUntil(deadline);
            break;
        }
    }
    CloseHandle(timer);
}
