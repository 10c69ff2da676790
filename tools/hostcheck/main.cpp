// hostcheck SECONDS LINE: shows whether EchoLink's automation objects answer. It attaches the way
// Parlox does, prints the station call sign, posts LINE as chat, prints each event for SECONDS
// seconds, lets go and exits 0; on any failure it prints the reason and exits 1.

#include "ComApartment.h"
#include "ComError.h"
#include "ConsoleText.h"
#include "EchoLinkConnection.h"
#include "line_escaping/LineEscaping.h"
#include "wait/WaitTimer.h"

#include <windows.h>

#include <chrono>
#include <cwchar>
#include <string>

namespace {

constexpr int kWaitAfterEventObject = 4;
// As long as Parlox waits for any answer of EchoLink's.
constexpr std::chrono::milliseconds kAnswerLimit{3000};

void Print(const std::wstring &line)
{
    WriteLine(false, line);
}

std::wstring Wide(const char *utf8)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring wide(size > 0 ? size - 1 : 0, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), size);
    return wide;
}

int Check(int seconds, const std::wstring &line)
{
    const ComApartment apartment;
    EchoLinkConnection connection({[] { Print(L"closing"); },
                                   [](const std::wstring &text) { Print(L"chat: " + EscapeLine(text)); },
                                   [] {
                                       Print(L"gone");
                                   }},
                                  kAnswerLimit);
    try {
        connection.CreateEventObject();
        WaitSeconds(kWaitAfterEventObject);
        connection.CreateSetupConfig();
        connection.CreateSysopConfig();
        Print(L"call sign: " + EscapeLine(connection.ReadStationCall()));
        connection.PostChatLine(line);
        Print(L"posted: " + EscapeLine(line));
        WaitSeconds(seconds);
    } catch (const ComError &error) {
        WriteLine(true, L"hostcheck: " + Wide(error.what()));
        return 1;
    }
    connection.Release();
    Print(L"released");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    wchar_t *end = nullptr;
    const long seconds = argc == 3 ? std::wcstol(argv[1], &end, 10) : 0;
    if (argc != 3 || *end != L'\0' || seconds < 0 || seconds > 3600) {
        WriteLine(true, L"usage: hostcheck SECONDS LINE");
        WriteLine(true, L"  attaches to EchoLink, prints its call sign, posts LINE as chat and prints");
        WriteLine(true, L"  each event for SECONDS seconds (0 to 3600)");
        return 1;
    }
    return Check(static_cast<int>(seconds), argv[2]);
}
