// callcheck STEP...: attaches to the stand-in through the binding, creating the three objects
// without start-up's waits (a failure there ends it), then takes one step an argument. For each
// step it prints the step, "ok" or the HRESULT it failed with, and how long it took in seconds,
// rounded (the quit step prints its exit code before that):
//   post:TEXT   posts TEXT
//   call        reads the call sign
//   alive:N     checks N times in a row that the host is still there
//   wait:N      waits N seconds, with window messages and host events handled
//   sleep:N     sleeps N seconds, with no message handled
//   release     lets go
//   quit        takes the quit request from the message queue and prints its exit code
// It prints the events as they come, and on Closing lets go and asks the program to quit (exit
// code 3), as Parlox's unload step does.

#include "ComApartment.h"
#include "ComError.h"
#include "EchoLinkConnection.h"
#include "wait/WaitTimer.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

using std::chrono::steady_clock;

namespace {

void Timed(const std::wstring &step, const std::function<void()> &action)
{
    const auto start = steady_clock::now();
    char outcome[16] = "ok";
    try {
        action();
    } catch (const ComError &error) {
        std::snprintf(outcome, sizeof outcome, "0x%08lX", static_cast<unsigned long>(error.result()));
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(steady_clock::now() - start).count();
    std::printf("%ls %s %llds\n", step.c_str(), outcome, static_cast<long long>((took + 500) / 1000));
    std::fflush(stdout);
}

// Takes the quit request from the message queue, and prints its exit code.
void TakeQuit()
{
    MSG message;
    if (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        std::printf("quit %d\n", static_cast<int>(message.wParam));
}

void Step(EchoLinkConnection &connection, const std::wstring &step)
{
    const std::wstring name = step.substr(0, step.find(L':'));
    const std::wstring argument = step.substr(step.find(L':') + 1);
    if (name == L"post")
        connection.PostChatLine(argument);
    else if (name == L"call")
        connection.ReadStationCall();
    else if (name == L"alive")
        for (int i = std::stoi(argument); i > 0; --i)
            connection.CheckAlive();
    else if (name == L"wait")
        WaitSeconds(std::stoi(argument));
    else if (name == L"sleep")
        Sleep(std::stoi(argument) * 1000);
    else if (name == L"release")
        connection.Release();
    else if (name == L"quit")
        TakeQuit();
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    const ComApartment apartment;
    EchoLinkConnection connection({[&] {
                                       std::puts("closing");
                                       connection.Release();
                                       PostQuitMessage(3);
                                   },
                                   [](const std::wstring &text) { std::printf("chat: %ls\n", text.c_str()); },
                                   [] {
                                       std::puts("gone");
                                   }},
                                  std::chrono::milliseconds(3000));
    connection.CreateEventObject();
    connection.CreateSetupConfig();
    connection.CreateSysopConfig();
    for (int i = 1; i < argc; ++i)
        Timed(argv[i], [&] { Step(connection, argv[i]); });
    return 0;
}
