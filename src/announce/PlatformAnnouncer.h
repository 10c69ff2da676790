#pragma once

#include <memory>

#include "core/Announcer.h"

class QWidget;

// The announcer of this platform: its screen reader's routes, its system voice and its sound.
class PlatformAnnouncer : public Announcer
{
public:
    PlatformAnnouncer();
    ~PlatformAnnouncer() override;

    // The main window, whose accessible objects and whose place in front the routes use; set
    // once it exists.
    void SetWindow(QWidget *window);

    bool ScreenReaderRunning() override;
    void Announce(const QStringList &texts, bool readAloud, bool sound) override;

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};
