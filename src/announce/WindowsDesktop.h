#pragma once

class QWidget;

// What Windows tells about the desktop the announcements go to, and its message sound. Each
// returns at once.

// Whether Windows says a screen reader runs (SPI_GETSCREENREADER).
bool ScreenReaderOn();

// Whether NVDA runs: it keeps a hidden window of its own while it does.
bool NvdaRunning();

// Whether the window in front is the window or one of its own (a message box), as NVDA decides
// which events it speaks.
bool WindowInFront(QWidget *window);

// The sound scheme's sound for a new instant message, played only where the scheme has one, at
// the volume the user gave system sounds.
void PlayMessageSound();
