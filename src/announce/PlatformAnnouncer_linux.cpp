#include "announce/PlatformAnnouncer.h"

#include <QDBusConnection>

#include "announce/Announcements.h"
#include "announce/DesktopSound.h"
#include "announce/ScreenReaderNotice.h"
#include "announce/ScreenReaderWatch.h"
#include "announce/SystemVoice.h"

// The screen reader through notifications on the accessibility bus while the desktop says one
// runs, else speech-dispatcher; the sound from the user's sound theme.
struct PlatformAnnouncer::Parts
{
    ScreenReaderWatch watch{QDBusConnection::sessionBus()};
    ScreenReaderNotice notice;
    SystemVoice voice;
    DesktopSound sound;
    Announcements announcements{
        AnnounceRoutes{[this] { return watch.Running(); }, [this](const QString &text) { return notice.Show(text); },
                       [this](const QString &text, std::function<void()> done) { voice.Say(text, std::move(done)); },
                       [this] {
                           sound.Play();
                       }}};
};

PlatformAnnouncer::PlatformAnnouncer() : m_parts(std::make_unique<Parts>()) {}

PlatformAnnouncer::~PlatformAnnouncer() = default;

void PlatformAnnouncer::SetWindow(QWidget *window)
{
    m_parts->notice.SetWindow(window);
}

bool PlatformAnnouncer::ScreenReaderRunning()
{
    return m_parts->announcements.ScreenReaderRunning();
}

void PlatformAnnouncer::Announce(const QStringList &texts, bool readAloud, bool sound)
{
    m_parts->announcements.Announce(texts, readAloud, sound);
}
