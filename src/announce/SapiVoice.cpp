#include "announce/SapiVoice.h"

#include <QtDebug>

SapiVoice::SapiVoice(Maker make, std::chrono::milliseconds deadline) : m_make(std::move(make))
{
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(deadline);
    QObject::connect(&m_deadline, &QTimer::timeout, [this] {
        Warn("did not finish speaking in time", S_OK);
        Finished();
    });
    QObject::connect(&m_events, &QWinEventNotifier::activated, [this] { EventsCame(); });
}

SapiVoice::~SapiVoice()
{
    if (m_voice)
        m_voice->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
}

HRESULT SapiVoice::MakeSystemVoice(ISpVoice **voice)
{
    return CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_PPV_ARGS(voice));
}

void SapiVoice::Speak(const QString &text, std::function<void()> done)
{
    m_done = std::move(done);
    if (!Ready()) {
        Finished();
        return;
    }
    // A text still being spoken past the deadline is dropped for the new one.
    const HRESULT outcome = m_voice->Speak(reinterpret_cast<const wchar_t *>(text.utf16()),
                                           SPF_ASYNC | SPF_IS_NOT_XML | SPF_PURGEBEFORESPEAK, nullptr);
    if (FAILED(outcome)) {
        Warn("cannot speak", outcome);
        Finished();
        return;
    }
    m_deadline.start();
}

// The voice is made on first use, and once: a system without one stays silent.
bool SapiVoice::Ready()
{
    if (m_voice || m_missing)
        return !m_missing;
    Microsoft::WRL::ComPtr<ISpVoice> voice;
    HRESULT outcome = m_make(voice.GetAddressOf());
    const ULONGLONG interest = SPFEI(SPEI_END_INPUT_STREAM);
    if (SUCCEEDED(outcome))
        outcome = voice->SetInterest(interest, interest);
    if (SUCCEEDED(outcome))
        outcome = voice->SetNotifyWin32Event();
    const HANDLE events = SUCCEEDED(outcome) ? voice->GetNotifyEventHandle() : nullptr;
    if (!events || events == INVALID_HANDLE_VALUE) {
        Warn("is missing", outcome);
        m_missing = true;
        return false;
    }
    m_voice = voice;
    m_events.setHandle(events);
    m_events.setEnabled(true);
    return true;
}

void SapiVoice::EventsCame()
{
    // Whether SAPI's event resets itself or not, it is set again for anything queued after this.
    ResetEvent(m_events.handle());
    SPEVENT event;
    ULONG fetched = 0;
    bool ended = false;
    while (m_voice->GetEvents(1, &event, &fetched) == S_OK && fetched == 1)
        ended = ended || event.eEventId == SPEI_END_INPUT_STREAM;
    if (ended && m_deadline.isActive())
        Finished();
}

void SapiVoice::Finished()
{
    m_deadline.stop();
    if (const auto done = std::exchange(m_done, nullptr))
        done();
}

void SapiVoice::Warn(const char *what, HRESULT outcome)
{
    if (std::exchange(m_warned, true))
        return;
    qWarning("Parlox: the system voice %s (0x%08lx); received chat is not read aloud by it", what,
             static_cast<unsigned long>(outcome));
}
