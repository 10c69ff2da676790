#include "announce/SystemVoice.h"

#include <QTextToSpeech>

using namespace std::chrono_literals;

// The engine, made on the side thread by the first text and used only there.
struct SystemVoice::Engine
{
    QTextToSpeech *speech = nullptr;
    int serial = 0;
    bool speaking = false;
};

namespace {

// A long text may take this long to speak before the voice counts as stuck in it.
std::chrono::milliseconds SpeakingLimit(const QString &text)
{
    return 10s + text.size() * 150ms;
}

} // namespace

SystemVoice::SystemVoice(std::chrono::milliseconds answerLimit)
    : m_answerLimit(answerLimit), m_engine(std::make_shared<Engine>())
{
    m_deadline.setSingleShot(true);
    QObject::connect(&m_deadline, &QTimer::timeout, [this] { TimedOut(); });
}

void SystemVoice::Say(const QString &text, std::function<void()> done)
{
    if (m_waiting) {
        done();
        return;
    }
    m_done = std::move(done);
    m_waiting = true;
    m_speakingLimit = SpeakingLimit(text);
    m_deadline.start(m_answerLimit);
    const int serial = ++m_serial;
    m_thread.Post([this, engine = m_engine, home = m_thread.Home(), answer = m_thread.Answers(), text, serial] {
        if (!engine->speech) {
            engine->speech = new QTextToSpeech(home);
            QObject::connect(engine->speech, &QTextToSpeech::stateChanged, home,
                             [this, engine, answer](QTextToSpeech::State state) {
                                 if (state == QTextToSpeech::Speaking)
                                     engine->speaking = true;
                                 if (state != QTextToSpeech::Ready || !std::exchange(engine->speaking, false))
                                     return;
                                 answer([this, serial = engine->serial] { Ended(serial, {}); });
                             });
        }
        engine->serial = serial;
        engine->speaking = false;
        engine->speech->say(text);
        if (engine->speech->state() != QTextToSpeech::Error) {
            answer([this, serial] { Took(serial); });
            return;
        }
        const QString failure = engine->speech->errorString();
        answer([this, serial, failure] { Ended(serial, failure.isEmpty() ? QStringLiteral("no voice") : failure); });
    });
}

void SystemVoice::Took(int serial)
{
    if (serial != m_serial)
        return;
    m_waiting = false;
    if (m_done)
        m_deadline.start(m_speakingLimit);
}

void SystemVoice::Ended(int serial, const QString &failure)
{
    if (serial != m_serial)
        return;
    m_waiting = false;
    if (!failure.isEmpty())
        Warn(failure);
    Finish();
}

// A voice that has not taken its text is hung, and stays silent until it answers; one that has
// taken it but never says it is done goes on to the next text.
void SystemVoice::TimedOut()
{
    if (m_waiting)
        Warn(QStringLiteral("the speech server does not answer"));
    Finish();
}

void SystemVoice::Finish()
{
    m_deadline.stop();
    if (const auto done = std::exchange(m_done, nullptr))
        done();
}

void SystemVoice::Warn(const QString &why)
{
    if (!std::exchange(m_warned, true))
        qWarning("Chat is not read aloud: %s", qUtf8Printable(why));
}
