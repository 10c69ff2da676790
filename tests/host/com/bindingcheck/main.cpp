// bindingcheck LINE: drives the EchoLink binding and the wait under Wine, for what hostcheck cannot
// show. It subscribes, keeps away from its messages for 1.5 s, then waits 1 s; posts LINE and
// waits 6 s; takes the quit request and waits 2 s. It prints the events as they come and each step
// when it is done. On Closing it lets go of the host and asks the program to quit (exit code 3),
// as Parlox's unload step does. (How waits share their timer, the wait's own test shows under Wine.)

#include "ComApartment.h"
#include "EchoLinkConnection.h"
#include "wait/WaitTimer.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2)
        return 2;
    const ComApartment apartment;
    ULONGLONG closing = 0;
    EchoLinkConnection connection({[&] {
                                       std::puts("closing");
                                       closing = GetTickCount64();
                                       connection.Release();
                                       PostQuitMessage(3);
                                   },
                                   [](const std::wstring &text) { std::printf("chat: %ls\n", text.c_str()); },
                                   [] {
                                       std::puts("gone");
                                   }},
                                  std::chrono::milliseconds(3000));
    connection.CreateEventObject();
    // A test that nothing happens: longer than the first events take to fall due.
    Sleep(1500);
    std::puts("slept");
    WaitSeconds(1);
    connection.CreateSetupConfig();
    connection.CreateSysopConfig();
    connection.PostChatLine(argv[1]);
    std::puts("posted");
    WaitSeconds(6);
    const ULONGLONG sinceClosing = GetTickCount64() - closing;
    std::printf(sinceClosing <= 500 ? "%s\n" : "NOT: %s (%llu ms)\n", "the wait ended at once after Closing",
                sinceClosing);
    MSG message;
    if (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        std::printf("quit %d\n", static_cast<int>(message.wParam));
    WaitSeconds(2);
    std::puts("done");
    return 0;
}
