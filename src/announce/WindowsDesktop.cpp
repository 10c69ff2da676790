#include "announce/WindowsDesktop.h"

#include <QWidget>

#include <windows.h>
// after windows.h, which it needs
#include <mmsystem.h>

namespace {

constexpr DWORD kSystemSoundVolume = 0x00200000; // SND_SYSTEM, which MinGW's headers lack

} // namespace

bool ScreenReaderOn()
{
    BOOL running = FALSE;
    return SystemParametersInfoW(SPI_GETSCREENREADER, 0, &running, 0) && running;
}

bool NvdaRunning()
{
    return FindWindowW(L"wxWindowClassNR", L"NVDA") != nullptr;
}

bool WindowInFront(QWidget *window)
{
    if (!window)
        return false;
    const HWND own = reinterpret_cast<HWND>(window->winId());
    return GetAncestor(GetForegroundWindow(), GA_ROOTOWNER) == GetAncestor(own, GA_ROOTOWNER);
}

void PlayMessageSound()
{
    PlaySoundW(L"Notification.IM", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT | kSystemSoundVolume);
}
