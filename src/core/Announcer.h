#pragma once

#include <QStringList>

// Tells the user of received chat without the window's help: reads it aloud (through the
// user's screen reader where one runs, else with the system's voice) and plays the desktop's
// sound for a new message. The main window calls it once per tick with what it has just shown;
// it never blocks the window, and a route that fails means silence, not an error.
class Announcer
{
public:
    virtual ~Announcer() = default;

    // Whether a screen reader runs now. Read Aloud starts on when one does and no choice is
    // stored.
    virtual bool ScreenReaderRunning() = 0;

    // The texts one tick has shown, oldest first: received chat as it came, and Parlox's own
    // notices as "Parlox: " and the notice. Read aloud when readAloud is set; one sound when
    // sound is set.
    virtual void Announce(const QStringList &texts, bool readAloud, bool sound) = 0;
};
