#include "announce/PlatformAnnouncer.h"

#include <QPointer>
#include <QWidget>

#include "announce/Announcements.h"

// Until the platform's routes are in: no screen reader, a voice that says nothing, no sound.
struct PlatformAnnouncer::Parts
{
    QPointer<QWidget> window;
    Announcements announcements{AnnounceRoutes{[] { return false; }, [](const QString &) { return false; },
                                               [](const QString &, const std::function<void()> &done) { done(); },
                                               [] {
                                               }}};
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
