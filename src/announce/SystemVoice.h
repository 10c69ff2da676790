#pragma once

#include <chrono>
#include <functional>

#include <QString>
#include <QTimer>

#include "announce/SideThread.h"

// The system's voice: Qt TextToSpeech (speech-dispatcher on Linux) on a thread of its own, since
// its calls wait for a speech server that may never answer. A voice that is missing, broken or
// hung is silence and one warning, never a wait.
class SystemVoice
{
public:
    // answerLimit: how long the voice may take to take a text, starting the speech server
    // included, before it counts as hung.
    explicit SystemVoice(std::chrono::milliseconds answerLimit = std::chrono::seconds(10));

    // Speaks the text; done comes, on this thread, once it has been spoken, has failed or is
    // given up on. While the voice has not taken the last text, a new one is not spoken.
    void Say(const QString &text, std::function<void()> done);

private:
    struct Engine;

    void Took(int serial);
    void Ended(int serial, const QString &failure);
    void TimedOut();
    void Finish();
    void Warn(const QString &why);

    const std::chrono::milliseconds m_answerLimit;
    std::shared_ptr<Engine> m_engine;
    QTimer m_deadline;
    std::function<void()> m_done;
    std::chrono::milliseconds m_speakingLimit{};
    int m_serial = 0;
    bool m_waiting = false;
    bool m_warned = false;
    // Last, so that it ends first and no answer comes into the parts above once they are gone.
    SideThread m_thread;
};
