#include "HostCommand.h"

#include "line_escaping/LineEscaping.h"

namespace {

HostCommand ParseBusy(const QString &milliseconds)
{
    bool isNumber = false;
    const qlonglong period = milliseconds.toLongLong(&isNumber);
    if (!isNumber || period < 0)
        return {HostCommand::Kind::Unknown, {}};
    return {HostCommand::Kind::Busy, {}, std::chrono::milliseconds(period)};
}

} // namespace

HostCommand ParseHostCommand(const QString &line)
{
    if (line.trimmed().isEmpty())
        return {HostCommand::Kind::Blank, {}};
    if (line == u"chat")
        return {HostCommand::Kind::Chat, {}};
    if (line.startsWith(u"chat "))
        return {HostCommand::Kind::Chat, QString::fromStdU16String(UnescapeLine(line.mid(5).toStdU16String()))};
    if (line == u"closing")
        return {HostCommand::Kind::Closing, {}};
    if (line.startsWith(u"busy "))
        return ParseBusy(line.mid(5));
    if (line == u"hang")
        return {HostCommand::Kind::Hang, {}};
    if (line == u"crash")
        return {HostCommand::Kind::Crash, {}};
    if (line == u"quit")
        return {HostCommand::Kind::Quit, {}};
    return {HostCommand::Kind::Unknown, {}};
}
