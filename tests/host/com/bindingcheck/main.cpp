// bindingcheck: drives the EchoLink binding and the wait under Wine, for what hostcheck cannot show.
//   wait SECONDS      prints "started MS", waits, then prints "elapsed MS" and "ended MS" (wall clock
//                     in milliseconds, to compare processes)
//   nested            waits 3 s; one second in, a timer handler waits 1 s; prints when each ended
//   unpumped          subscribes, sleeps 1.5 s without dispatching messages, then waits 1 s; prints
//                     the number of events seen before and after
//   after-release     subscribes, lets go at once, then waits 2 s; prints the number of events seen
//   close-on-closing  attaches, lets go when Closing arrives, and posts a line; prints "closing"
//                     and "posted" as they happen
//   quit-on-closing   subscribes with a Closing handler that asks the program to quit (exit code
//                     3), then waits 4 s; prints when Closing came and when the wait returned, and
//                     "quit CODE" if the quit request is still there for the outer message loop
//   contract TYPELIB  looks up the binding's identifiers and places in a compiled type library

#include "ComApartment.h"
#include "ComError.h"
#include "ContractCheck.h"
#include "EchoLinkConnection.h"
#include "wait/WaitTimer.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

ULONGLONG start;
ULONGLONG innerEnded;
int events;

void Print(const char *label, unsigned long long value)
{
    std::printf("%s %llu\n", label, value);
    std::fflush(stdout);
}

ULONGLONG Elapsed()
{
    return GetTickCount64() - start;
}

ULONGLONG WallClockMs()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return ((static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10000;
}

int Wait(int seconds)
{
    Print("started", WallClockMs());
    start = GetTickCount64();
    WaitSeconds(seconds);
    Print("elapsed", Elapsed());
    Print("ended", WallClockMs());
    return 0;
}

void CALLBACK InnerWait(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    WaitSeconds(1);
    innerEnded = Elapsed();
}

int Nested()
{
    start = GetTickCount64();
    SetTimer(nullptr, 0, 1000, &InnerWait);
    WaitSeconds(3);
    Print("inner", innerEnded);
    Print("outer", Elapsed());
    return 0;
}

EchoLinkEvents CountingEvents()
{
    return {[] { ++events; },
            [](const std::wstring &) {
                ++events;
            }};
}

int Unpumped()
{
    const ComApartment apartment;
    EchoLinkConnection connection(CountingEvents());
    connection.CreateEventObject();
    Sleep(1500);
    Print("before", events);
    WaitSeconds(1);
    Print("after", events);
    return 0;
}

int AfterRelease()
{
    const ComApartment apartment;
    EchoLinkConnection connection(CountingEvents());
    connection.CreateEventObject();
    connection.Release();
    WaitSeconds(2);
    Print("events", events);
    return 0;
}

int CloseOnClosing()
{
    const ComApartment apartment;
    EchoLinkConnection connection({[&connection] {
                                       std::puts("closing");
                                       connection.Release();
                                   },
                                   [](const std::wstring &) {
                                   }});
    connection.CreateEventObject();
    connection.CreateSetupConfig();
    connection.CreateSysopConfig();
    connection.PostChatLine(L"73");
    std::puts("posted");
    return 0;
}

// As Parlox's unload step does when EchoLink closes during the start-up wait.
int QuitOnClosing()
{
    const ComApartment apartment;
    EchoLinkConnection connection({[] {
                                       Print("closing", Elapsed());
                                       PostQuitMessage(3);
                                   },
                                   [](const std::wstring &) {
                                   }});
    connection.CreateEventObject();
    start = GetTickCount64();
    WaitSeconds(4);
    Print("returned", Elapsed());
    MSG message;
    if (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        Print("quit", message.wParam);
    return 0;
}

int Contract(const char *typeLibrary)
{
    const int size = MultiByteToWideChar(CP_ACP, 0, typeLibrary, -1, nullptr, 0);
    std::wstring path(size, L'\0');
    MultiByteToWideChar(CP_ACP, 0, typeLibrary, -1, path.data(), size);
    return CheckContract(path.c_str());
}

} // namespace

int main(int argc, char **argv)
{
    try {
        if (argc == 3 && std::strcmp(argv[1], "wait") == 0)
            return Wait(std::atoi(argv[2]));
        if (argc == 2 && std::strcmp(argv[1], "nested") == 0)
            return Nested();
        if (argc == 2 && std::strcmp(argv[1], "unpumped") == 0)
            return Unpumped();
        if (argc == 2 && std::strcmp(argv[1], "after-release") == 0)
            return AfterRelease();
        if (argc == 2 && std::strcmp(argv[1], "close-on-closing") == 0)
            return CloseOnClosing();
        if (argc == 2 && std::strcmp(argv[1], "quit-on-closing") == 0)
            return QuitOnClosing();
        if (argc == 3 && std::strcmp(argv[1], "contract") == 0)
            return Contract(argv[2]);
    } catch (const ComError &error) {
        std::fprintf(stderr, "bindingcheck: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr,
                 "usage: bindingcheck wait SECONDS | nested | unpumped | after-release | close-on-closing\n"
                 "                    | quit-on-closing | contract TYPELIB\n");
    return 2;
}
