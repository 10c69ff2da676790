#include "DemoConference.h"

#include <array>

namespace {

constexpr qsizetype kGreetingCount = 3;

// The greetings come once; the chat after them repeats for as long as the conference runs.
constexpr std::array kScript{
    u"XX1ABC>Good evening all, XX1ABC joining from the hilltop.",
    u"XX2DEF>Hello XX1ABC, welcome in. Your audio is fine here.",
    u"XX3GHI>Evening everyone, XX3GHI mobile on the bypass.",
    u"XX1ABC>Anyone tried the new antenna tuner yet?",
    u"XX2DEF>Not yet, still waiting for the coax to arrive.",
    u"XX3GHI>Rain here tonight, the repeater is a bit noisy.",
    u"XX1ABC>The net starts at the top of the hour, all welcome.",
    u"XX2DEF>Ten metres was open this afternoon, worked three countries.",
    u"XX3GHI>Anyone going to the rally on Saturday?",
};

constexpr std::array kAnswers{
    u"XX2DEF>Copied \"%1\", thanks.",
    u"XX1ABC>Good to hear you. You said: \"%1\"",
    u"XX3GHI>Roger on \"%1\".",
};

} // namespace

DemoConference::DemoConference(std::chrono::milliseconds chatEvery, std::chrono::milliseconds answerAfter,
                               QObject *parent)
    : QObject(parent), m_answerAfter(answerAfter)
{
    m_chatTimer.setInterval(chatEvery);
    connect(&m_chatTimer, &QTimer::timeout, this, &DemoConference::SpeakNext);
}

void DemoConference::Start()
{
    m_chatTimer.start();
}

void DemoConference::AnswerPosted(const QString &line)
{
    const QString answer = QString::fromUtf16(kAnswers[m_nextAnswer]).arg(line);
    m_nextAnswer = (m_nextAnswer + 1) % qsizetype(kAnswers.size());
    QTimer::singleShot(m_answerAfter, this, [this, answer] { emit ChatSpoken(answer); });
}

void DemoConference::SpeakNext()
{
    emit ChatSpoken(QString::fromUtf16(kScript[m_nextLine]));
    ++m_nextLine;
    if (m_nextLine == qsizetype(kScript.size()))
        m_nextLine = kGreetingCount;
}
