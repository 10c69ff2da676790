#pragma once

#include <functional>

#include <QString>

#include "announce/Announcements.h"

// What Windows tells, and offers, about speaking to the user; each returns at once.
struct WindowsSpeech
{
    // Whether Windows says a screen reader runs (SPI_GETSCREENREADER).
    std::function<bool()> screenReaderRunning;
    // Hands the text to JAWS through its own automation object; false where JAWS does not run
    // or did not take it.
    std::function<bool(const QString &text)> jaws;
    // Whether NVDA runs.
    std::function<bool()> nvdaRunning;
    // Whether the window, or one of its own, is the one in front.
    std::function<bool()> windowInFront;
    // Raises a UI Automation notification with the text on the window; false where Windows
    // has no such event (before Windows 10 1709) or no screen reader listens for one.
    std::function<bool(const QString &text)> notification;
    std::function<void(const QString &text, std::function<void()> done)> voice;
    std::function<void()> sound;
};

// The announcer's routes on Windows. JAWS speaks through its own object from wherever the
// window is; Narrator and JAWS speak notifications in front and behind; NVDA speaks them only
// from the window in front, so behind it the system voice speaks instead.
AnnounceRoutes WindowsRoutes(WindowsSpeech speech);
