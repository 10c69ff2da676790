#include "ComHostBinding.h"

#include "ComError.h"
#include "host/HostError.h"

namespace {

template<typename Step>
auto Translated(Step step)
{
    try {
        return step();
    } catch (const ComError &error) {
        throw HostError(QString::fromUtf8(error.what()));
    }
}

} // namespace

ComHostBinding::ComHostBinding(QObject *parent)
    : HostBinding(parent),
      connection_({[this] { emit Closing(); },
                   [this](const std::wstring &text) { emit ChatTextReceived(QString::fromStdWString(text)); }})
{
}

void ComHostBinding::CreateEventObject()
{
    Translated([this] { connection_.CreateEventObject(); });
}

void ComHostBinding::CreateSetupConfig()
{
    Translated([this] { connection_.CreateSetupConfig(); });
}

void ComHostBinding::CreateSysopConfig()
{
    Translated([this] { connection_.CreateSysopConfig(); });
}

QString ComHostBinding::ReadStationCall()
{
    return Translated([this] { return QString::fromStdWString(connection_.ReadStationCall()); });
}

void ComHostBinding::PostChatLine(const QString &line)
{
    Translated([this, &line] { connection_.PostChatLine(line.toStdWString()); });
}

void ComHostBinding::Release()
{
    connection_.Release();
}
