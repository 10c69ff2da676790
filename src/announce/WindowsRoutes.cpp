#include "announce/WindowsRoutes.h"

AnnounceRoutes WindowsRoutes(WindowsSpeech speech)
{
    const auto toScreenReader = [speech](const QString &text) {
        if (speech.jaws(text))
            return true;
        if (speech.nvdaRunning() && !speech.windowInFront())
            return false;
        return speech.notification(text);
    };
    return AnnounceRoutes{speech.screenReaderRunning, toScreenReader, speech.voice, speech.sound};
}
