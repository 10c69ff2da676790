#include "ComHostBinding.h"

#include "CallFailure.h"
#include "ComError.h"
#include "host/HostError.h"

ComHostBinding::ComHostBinding(QObject *parent)
    : HostBinding(parent),
      m_connection({[this] { emit Closing(); },
                    [this](const std::wstring &text) { emit ChatTextReceived(QString::fromStdWString(text)); },
                    [this] {
                        m_aliveCheck.stop();
                        emit Gone();
                    }},
                   kAnswerLimit)
{
    m_aliveCheck.setInterval(kAliveCheckInterval);
    connect(&m_aliveCheck, &QTimer::timeout, this, [this] { m_connection.CheckAlive(); });
}

// Every answer shows EchoLink is there, so the next check is due a whole interval after it.
template <typename Step> auto ComHostBinding::Attempt(Step step)
{
    struct Restart
    {
        QTimer &timer;
        ~Restart()
        {
            if (timer.isActive())
                timer.start();
        }
    } restart{m_aliveCheck};
    try {
        return step();
    } catch (const ComError &error) {
        throw Translated(error);
    }
}

HostError ComHostBinding::Translated(const ComError &error)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(kAnswerLimit).count();
    switch (ClassifyFailure(error.result())) {
        case CallFailure::Busy:
            return HostError(QStringLiteral("EchoLink was busy for %1 seconds and did not take it.").arg(seconds));
        case CallFailure::Unanswered:
            return HostError(QStringLiteral("EchoLink did not answer within %1 seconds.").arg(seconds),
                             HostError::Outcome::Unknown);
        case CallFailure::Gone:
            return HostError(QStringLiteral("EchoLink has gone away."));
        case CallFailure::GoneDuringCall:
            return HostError(QStringLiteral("EchoLink has gone away."), HostError::Outcome::Unknown);
        case CallFailure::Refused:
            break;
    }
    return HostError(QString::fromUtf8(error.what()));
}

void ComHostBinding::CreateEventObject()
{
    Attempt([this] { m_connection.CreateEventObject(); });
    m_aliveCheck.start();
}

void ComHostBinding::CreateSetupConfig()
{
    Attempt([this] { m_connection.CreateSetupConfig(); });
}

void ComHostBinding::CreateSysopConfig()
{
    Attempt([this] { m_connection.CreateSysopConfig(); });
}

QString ComHostBinding::ReadStationCall()
{
    return Attempt([this] { return QString::fromStdWString(m_connection.ReadStationCall()); });
}

void ComHostBinding::PostChatLine(const QString &line)
{
    Attempt([this, &line] { m_connection.PostChatLine(line.toStdWString()); });
}

void ComHostBinding::Release()
{
    m_aliveCheck.stop();
    m_connection.Release();
}
