#pragma once

#include <chrono>
#include <optional>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// How many numbered texts to raise, and how fast.
struct FloodPlan
{
    qint64 count = 0;
    qint64 perSecond = 0;
};

// Both must be whole numbers above zero.
std::optional<FloodPlan> ParseFloodPlan(const QString &count, const QString &perSecond);

// Text number `sequence` (from 1): "XX9FLD>SEQUENCE SENT", SENT being the moment it was raised in
// milliseconds since the epoch, so that whoever reads it later can tell how long it took.
QString FloodText(qint64 sequence, qint64 sentMsecsSinceEpoch);

// How many texts of the plan are due `elapsed` after its start: the first at once, then one
// every 1/perSecond, never more than the count.
qint64 FloodTextsDue(const FloodPlan &plan, std::chrono::milliseconds elapsed);

// Raises a plan's texts at its pace, keeping to the schedule however coarsely the timer fires.
class Flood : public QObject
{
    Q_OBJECT

public:
    explicit Flood(FloodPlan plan, QObject *parent = nullptr);

    void Start();

signals:
    void ChatSpoken(const QString &text);
    void Finished();

private:
    void SpeakDue();

    FloodPlan m_plan;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_sent = 0;
};
