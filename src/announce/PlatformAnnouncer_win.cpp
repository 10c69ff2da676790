#include "announce/PlatformAnnouncer.h"

#include <QPointer>
#include <QWidget>

#include "announce/Announcements.h"
#include "announce/JawsApi.h"
#include "announce/SapiVoice.h"
#include "announce/UiaNotification.h"
#include "announce/WindowsDesktop.h"
#include "announce/WindowsRoutes.h"

// COM is used on the window's thread, which Qt's Windows platform has joined to a
// single-threaded apartment before any window exists.
struct PlatformAnnouncer::Parts
{
    QPointer<QWidget> window;
    JawsApi jaws;
    UiaNotification notification;
    SapiVoice voice;
    Announcements announcements{WindowsRoutes(
        WindowsSpeech{ScreenReaderOn, [this](const QString &text) { return jaws.SayString(text); }, NvdaRunning,
                      [this] { return WindowInFront(window); },
                      [this](const QString &text) { return notification.Raise(window, text); },
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
