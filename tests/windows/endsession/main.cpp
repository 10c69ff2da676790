// endsession TITLE: ends the Windows session for the program that has a window of that title, the
// way Windows does when the user signs out: WM_QUERYENDSESSION to each top-level window of the
// program, then, once all of them agreed, WM_ENDSESSION to each. Windows may end a program as soon
// as it has answered WM_ENDSESSION, and so does this: the moment the last answer comes, the
// program is ended from outside. Whatever the program means to do at the session's end has to
// be done by then.
//
// Prints what it did. Exit status: 0 when the program agreed and was ended, 1 when a window
// refused or did not answer within a minute, 2 when no window has that title.

#include <windows.h>

#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr UINT kAnswerMs = 60'000;
// What the ended program's exit status reads, so that nobody takes it for an end of its own.
constexpr UINT kEndedFromOutside = 99;

struct Program
{
    DWORD id = 0;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM program)
{
    auto *owner = reinterpret_cast<Program *>(program);
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (id == owner->id)
        owner->windows.push_back(window);
    return TRUE;
}

// The program's answer; a window that the program has let go of meanwhile agrees to everything.
std::optional<DWORD_PTR> Answer(HWND window, UINT message, WPARAM wParam)
{
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(window, message, wParam, ENDSESSION_LOGOFF, SMTO_NORMAL, kAnswerMs, &answer))
        return answer;
    if (!IsWindow(window))
        return TRUE;
    return std::nullopt;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2)
        return 2;
    const HWND named = FindWindowW(nullptr, argv[1]);
    if (!named) {
        std::printf("no window is titled %ls\n", argv[1]);
        return 2;
    }
    Program program;
    GetWindowThreadProcessId(named, &program.id);
    // Hidden top-level windows get the messages too; message-only windows are not listed.
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&program));
    const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, program.id);

    for (const HWND window : program.windows) {
        if (Answer(window, WM_QUERYENDSESSION, 0).value_or(FALSE) == FALSE) {
            std::printf("window %p refused to end the session\n", static_cast<void *>(window));
            return 1;
        }
    }
    for (const HWND window : program.windows) {
        if (!Answer(window, WM_ENDSESSION, TRUE)) {
            std::printf("window %p did not answer the end of the session\n", static_cast<void *>(window));
            return 1;
        }
    }
    TerminateProcess(process, kEndedFromOutside);
    WaitForSingleObject(process, kAnswerMs);
    std::printf("ended the program after its %zu windows had answered\n", program.windows.size());
    return 0;
}
