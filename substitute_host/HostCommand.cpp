#include "HostCommand.h"

#include "LineEscaping.h"

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
    if (line == u"quit")
        return {HostCommand::Kind::Quit, {}};
    return {HostCommand::Kind::Unknown, {}};
}
