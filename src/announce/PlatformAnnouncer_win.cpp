#include "announce/PlatformAnnouncer.h"

#include <QPointer>
#include <QWidget>

#include "announce/Announcements.h"
#include "announce/JawsApi.h"
#include "announce/SapiVoice.h"
#include "announce/UiaNotification.h"
#include "announce/WindowsRoutes.h"

#include <windows.h>
// after windows.h, which it needs
#include <mmsystem.h>

namespace {

// The sound scheme's event for a new instant message, played only where the scheme has a sound
// for it, at the volume the user gave system sounds.
constexpr wchar_t kMessageSound[] = L"Notification.IM";
constexpr DWORD kSystemSoundVolume = 0x00200000; // SND_SYSTEM, which MinGW's headers lack

bool ScreenReaderOn()
{
    BOOL running = FALSE;
    return SystemParametersInfoW(SPI_GETSCREENREADER, 0, &running, 0) && running;
}

bool NvdaRunning()
{
    return FindWindowW(L"wxWindowClassNR", L"NVDA") != nullptr;
}

// In front as NVDA sees it: the window in front belongs to the same top-level owner, so that a
// message box of Parlox's counts as Parlox.
bool InFront(QWidget *window)
{
    if (!window)
        return false;
    const HWND own = reinterpret_cast<HWND>(window->winId());
    return GetAncestor(GetForegroundWindow(), GA_ROOTOWNER) == GetAncestor(own, GA_ROOTOWNER);
}

void PlayMessageSound()
{
    PlaySoundW(kMessageSound, nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT | kSystemSoundVolume);
}

} // namespace

// COM is used on the window's thread, which Qt's Windows platform has joined to a
// single-threaded apartment before any window exists.
struct PlatformAnnouncer::Parts
{
    QPointer<QWidget> window;
    JawsApi jaws;
    UiaNotification notification;
    SapiVoice voice;
    Announcements announcements{WindowsRoutes(WindowsSpeech{
        ScreenReaderOn, [this](const QString &text) { return jaws.SayString(text); }, NvdaRunning,
        [this] { return InFront(window); }, [this](const QString &text) { return notification.Raise(window, text); },
        [this](const QString &text, std::function<void()> done) { voice.Speak(text, std::move(done)); },
        PlayMessageSound})};
};

PlatformAnnouncer::PlatformAnnouncer() : m_parts(std::make_unique<Parts>()) {}

PlatformAnnouncer::~PlatformAnnouncer() = default;

void PlatformAnnouncer::SetWindow(QWidget *window)
{
    m_parts->window = window;
}

bool PlatformAnnouncer::ScreenReaderRunning()
{
    return m_parts->announcements.ScreenReaderRunning();
}

void PlatformAnnouncer::Announce(const QStringList &texts, bool readAloud, bool sound)
{
    m_parts->announcements.Announce(texts, readAloud, sound);
}
