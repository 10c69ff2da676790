// bindingcheck: drives the EchoLink binding and the wait under Wine, for what hostcheck cannot show.
//   waits        waits 3 s while a timer handler, one second in, waits 1 s; then waits 6 s while a
//                copy of itself, started just before, waits 1 s ("wait 1"). It says whether each
//                wait ended with the other one.
//   events LINE  subscribes, keeps away from its messages for 1.5 s, then waits 1 s; posts LINE
//                and waits 6 s; takes the quit request and waits 2 s. It prints the events as they
//                come and each step when it is done. On Closing it lets go of the host and asks
//                the program to quit (exit code 3), as Parlox's unload step does.

#include "ComApartment.h"
#include "EchoLinkConnection.h"
#include "wait/WaitTimer.h"

#include <windows.h>

#include <cstdio>
#include <process.h>
#include <string>

namespace {

ULONGLONG Wait(int seconds)
{
    const ULONGLONG start = GetTickCount64();
    WaitSeconds(seconds);
    return GetTickCount64() - start;
}

void Within(const char *what, ULONGLONG elapsed, ULONGLONG low, ULONGLONG high)
{
    std::printf(elapsed >= low && elapsed <= high ? "%s\n" : "NOT: %s (%llu ms)\n", what, elapsed);
}

void CALLBACK InnerWait(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    WaitSeconds(1);
}

// Waits that overlap, in this program or in another running copy of it, share one timer: the
// last one armed ends them all.
void Waits()
{
    SetTimer(nullptr, 0, 1000, &InnerWait);
    Within("a wait ended with one started inside it", Wait(3), 2000, 2700);
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    _wspawnl(_P_NOWAIT, program, L"bindingcheck", L"wait", L"1", nullptr);
    // However long the copy takes to start, its wait ends well before six seconds.
    Within("a wait ended with the one in another copy", Wait(6), 1000, 5000);
}

void Events(const std::wstring &line)
{
    ULONGLONG closing = 0;
    EchoLinkConnection connection({[&] {
                                       std::puts("closing");
                                       closing = GetTickCount64();
                                       connection.Release();
                                       PostQuitMessage(3);
                                   },
                                   [](const std::wstring &text) {
                                       std::printf("chat: %ls\n", text.c_str());
                                   }});
    connection.CreateEventObject();
    // A test that nothing happens: longer than the first events take to fall due.
    Sleep(1500);
    std::puts("slept");
    WaitSeconds(1);
    connection.CreateSetupConfig();
    connection.CreateSysopConfig();
    connection.PostChatLine(line);
    std::puts("posted");
    WaitSeconds(6);
    Within("the wait ended at once after Closing", GetTickCount64() - closing, 0, 500);
    MSG message;
    if (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        std::printf("quit %d\n", static_cast<int>(message.wParam));
    WaitSeconds(2);
    std::puts("done");
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    const ComApartment apartment;
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"wait" && argc == 3)
        Wait(std::stoi(argv[2]));
    else if (command == L"waits")
        Waits();
    else if (command == L"events" && argc == 3)
        Events(argv[2]);
    else
        return 2;
    return 0;
}
