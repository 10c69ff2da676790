#pragma once

#include <memory>

#include "announce/SideThread.h"

// The desktop's own sound for a new instant message: message-new-instant of the user's sound
// theme, played through libcanberra as an event sound (so the desktop's volume for those applies),
// and not at all while the user has turned event sounds off. On a thread of its own, as opening
// the sound server may block.
class DesktopSound
{
public:
    DesktopSound();
    ~DesktopSound();

    // Plays the sound once; a sound still waiting to be played makes this one unneeded.
    void Play();

private:
    struct Player;

    std::shared_ptr<Player> m_player;
    SideThread m_thread;
};
