#pragma once

#include <chrono>

#include <QObject>
#include <QTimer>

// A small made-up conference for trying Parlox without a radio: a few stations greet, then chat
// at a steady pace, and one of them answers each line the user posts a little later. Every call
// sign is made up (X-prefixed), so no real station is ever quoted.
class DemoConference : public QObject
{
    Q_OBJECT

public:
    DemoConference(std::chrono::milliseconds chatEvery, std::chrono::milliseconds answerAfter,
                   QObject *parent = nullptr);

    void Start();

public slots:
    void AnswerPosted(const QString &line);

signals:
    // One chat text as the host hands it over: "CALL>words".
    void ChatSpoken(const QString &text);

private:
    void SpeakNext();

    QTimer m_chatTimer;
    std::chrono::milliseconds m_answerAfter;
    qsizetype m_nextLine = 0;
    qsizetype m_nextAnswer = 0;
};
