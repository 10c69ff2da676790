#pragma once

#include <functional>
#include <memory>

#include <QString>
#include <QStringList>

#include "core/Announcer.h"

// How announcements reach the user on one platform. Every route returns at once.
struct AnnounceRoutes
{
    // Whether a screen reader runs now.
    std::function<bool()> screenReaderRunning;
    // Hands a text to the running screen reader by a route it speaks from where the window is
    // (in front, behind or minimised); false when there is none, and the system voice speaks.
    std::function<bool(const QString &text)> toScreenReader;
    // The system's voice: speaks the text and calls done once it has finished, failed or given
    // up. done may come before voice returns.
    std::function<void(const QString &text, std::function<void()> done)> voice;
    // The desktop's sound for a new message.
    std::function<void()> sound;
};

// What is said, and by which route. A screen reader is handed each tick's summary at once and
// keeps its own pace; the system voice speaks one summary at a time, and what comes while it
// speaks waits, summed up, for the next one, so that it is never minutes behind.
class Announcements : public Announcer
{
public:
    explicit Announcements(AnnounceRoutes routes);
    ~Announcements() override;

    bool ScreenReaderRunning() override;
    void Announce(const QStringList &texts, bool readAloud, bool sound) override;

private:
    void Speak();

    AnnounceRoutes m_routes;
    // The first texts waiting for the voice, and how many more came after them.
    QStringList m_waiting;
    qsizetype m_waitingMore = 0;
    bool m_voiceBusy = false;
    // Lets a voice that finishes after this announcer is gone call into nothing.
    std::shared_ptr<Announcements *> m_self;
};
