#pragma once

#include <chrono>
#include <functional>

#include <QString>
#include <QTimer>
#include <QWinEventNotifier>

#include <windows.h>

#include <sapi.h>
#include <wrl/client.h>

// The system voice through SAPI, speaking in the background. A voice that is missing, fails or
// does not finish in time means silence and one warning, never a wait.
class SapiVoice
{
public:
    // A voice that has not finished a text by this time is taken to hang.
    static constexpr std::chrono::milliseconds kDeadline = std::chrono::minutes(2);

    // Makes the voice, once, when it is first asked to speak.
    using Maker = std::function<HRESULT(ISpVoice **voice)>;

    explicit SapiVoice(Maker make = MakeSystemVoice, std::chrono::milliseconds deadline = kDeadline);
    ~SapiVoice();
    SapiVoice(const SapiVoice &) = delete;
    SapiVoice &operator=(const SapiVoice &) = delete;

    // Starts speaking the text, markup read as the characters it is, and calls done once it has
    // been spoken, has failed or has run past the deadline.
    void Speak(const QString &text, std::function<void()> done);

    // The voice the user chose in Windows' speech settings.
    static HRESULT MakeSystemVoice(ISpVoice **voice);

private:
    bool Ready();
    void Finished();
    void EventsCame();
    void Warn(const char *what, HRESULT outcome);

    Maker m_make;
    Microsoft::WRL::ComPtr<ISpVoice> m_voice;
    bool m_missing = false;
    bool m_warned = false;
    QWinEventNotifier m_events;
    QTimer m_deadline;
    std::function<void()> m_done;
};
