// callcheck STEP...: drives one attachment to the stand-in through the binding, one step an
// argument, for what a host that is busy, does not answer, or goes away does to each call. For
// each step it prints the step, "ok" or the HRESULT it failed with, and how long it took in
// seconds, rounded (but not for attach, whose time is mostly COM starting the stand-in):
//   attach      creates the three objects, without start-up's waits
//   post:TEXT   posts TEXT
//   call        reads the call sign
//   alive       checks that the host is still there
//   wait:N      waits N seconds, with window messages and host events handled
//   release     lets go
//   alive*N     N checks in a row, printing what one costs in microseconds (to measure by hand)
// It prints "closing" and "gone" as they come, and on Closing lets go, as Parlox does.

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

constexpr std::chrono::milliseconds kAnswerLimit{3000};

void Timed(const std::wstring &step, const std::function<void()> &action, bool showTime = true)
{
    const auto start = steady_clock::now();
    std::string outcome = "ok";
    try {
        action();
    } catch (const ComError &error) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(error.result()));
        outcome = code;
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(steady_clock::now() - start).count();
    if (showTime)
        std::printf("%ls %s %llds\n", step.c_str(), outcome.c_str(), static_cast<long long>((took + 500) / 1000));
    else
        std::printf("%ls %s\n", step.c_str(), outcome.c_str());
    std::fflush(stdout);
}

void Measure(EchoLinkConnection &connection, int count)
{
    const auto start = steady_clock::now();
    for (int i = 0; i < count; ++i)
        connection.CheckAlive();
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(steady_clock::now() - start).count();
    std::printf("alive*%d %lld us each\n", count, static_cast<long long>(took / count));
}

void Step(EchoLinkConnection &connection, const std::wstring &step)
{
    const std::wstring argument = step.substr(step.find_first_of(L":*") + 1);
    if (step == L"attach")
        Timed(
            step,
            [&] {
                connection.CreateEventObject();
                connection.CreateSetupConfig();
                connection.CreateSysopConfig();
            },
            false);
    else if (step.rfind(L"post:", 0) == 0)
        Timed(step, [&] { connection.PostChatLine(argument); });
    else if (step == L"call")
        Timed(step, [&] { connection.ReadStationCall(); });
    else if (step == L"alive")
        Timed(step, [&] { connection.CheckAlive(); });
    else if (step.rfind(L"wait:", 0) == 0)
        Timed(step, [&] { WaitSeconds(std::stoi(argument)); });
    else if (step == L"release")
        Timed(step, [&] { connection.Release(); });
    else if (step.rfind(L"alive*", 0) == 0)
        Measure(connection, std::stoi(argument));
    else
        std::printf("unknown step %ls\n", step.c_str());
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    const ComApartment apartment;
    EchoLinkConnection connection({[&] {
                                       std::puts("closing");
                                       connection.Release();
                                   },
                                   [](const std::wstring &text) { std::printf("chat: %ls\n", text.c_str()); },
                                   [] {
                                       std::puts("gone");
                                   }},
                                  kAnswerLimit);
    for (int i = 1; i < argc; ++i)
        Step(connection, argv[i]);
    return 0;
}
