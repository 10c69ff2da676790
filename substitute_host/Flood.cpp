#include "Flood.h"

#include <algorithm>

#include <QDateTime>

std::optional<FloodPlan> ParseFloodPlan(const QString &count, const QString &perSecond)
{
    bool countIsNumber = false;
    bool rateIsNumber = false;
    const FloodPlan plan{count.toLongLong(&countIsNumber), perSecond.toLongLong(&rateIsNumber)};
    if (!countIsNumber || !rateIsNumber || plan.count <= 0 || plan.perSecond <= 0)
        return std::nullopt;
    return plan;
}

QString FloodText(qint64 sequence, qint64 sentMsecsSinceEpoch)
{
    return QStringLiteral("XX9FLD>%1 %2").arg(sequence).arg(sentMsecsSinceEpoch);
}

qint64 FloodTextsDue(const FloodPlan &plan, std::chrono::milliseconds elapsed)
{
    return std::min(plan.count, elapsed.count() * plan.perSecond / 1000 + 1);
}

Flood::Flood(FloodPlan plan, QObject *parent) : QObject(parent), m_plan(plan)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(1);
    connect(&m_timer, &QTimer::timeout, this, &Flood::SpeakDue);
}

void Flood::Start()
{
    if (m_timer.isActive())
        return;
    m_sent = 0;
    m_clock.start();
    m_timer.start();
    SpeakDue();
}

void Flood::SpeakDue()
{
    const qint64 due = FloodTextsDue(m_plan, std::chrono::milliseconds(m_clock.elapsed()));
    for (; m_sent < due; ++m_sent)
        emit ChatSpoken(FloodText(m_sent + 1, QDateTime::currentMSecsSinceEpoch()));
    if (m_sent < m_plan.count)
        return;
    m_timer.stop();
    emit Finished();
}
