#include "ComHostBinding.h"

#include "ComError.h"
#include "host/HostError.h"

namespace {

template <typename Step> auto Translated(Step step)
{
    try {
        return step();
    } catch (const ComError &error) {
        throw HostError(QString::fromUtf8(error.what()));
    }
}

} // namespace

ComHostBinding::ComHostBinding(QObject *parent)
    : HostBinding(parent), m_connection({[this] { emit Closing(); },
                                         [this](const std::wstring &text) {
                                             emit ChatTextReceived(QString::fromStdWString(text));
                                         }})
{
}

void ComHostBinding::CreateEventObject()
{
    Translated([this] { m_connection.CreateEventObject(); });
}

void ComHostBinding::CreateSetupConfig()
{
    Translated([this] { m_connection.CreateSetupConfig(); });
}

void ComHostBinding::CreateSysopConfig()
{
    Translated([this] { m_connection.CreateSysopConfig(); });
}

QString ComHostBinding::ReadStationCall()
{
    return Translated([this] { return QString::fromStdWString(m_connection.ReadStationCall()); });
}

void ComHostBinding::PostChatLine(const QString &line)
{
    Translated([this, &line] { m_connection.PostChatLine(line.toStdWString()); });
}

void ComHostBinding::Release()
{
    m_connection.Release();
}
