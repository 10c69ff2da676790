#include "core/Notices.h"

QString HostGoneReason()
{
    return QStringLiteral("EchoLink has gone away.");
}

QString HostGoneNotice(bool comesBackByItself)
{
    // Where Parlox cannot hear EchoLink come back, the user must bring both back.
    return comesBackByItself ? QStringLiteral("EchoLink has gone away; chat has stopped until it comes back.")
                             : QStringLiteral("EchoLink has gone away; chat has stopped. Start EchoLink, then "
                                              "Parlox again.");
}

QString HostBackNotice()
{
    return QStringLiteral("EchoLink is back; chat goes on.");
}

QString HostBackFailedNotice(const QString &reason)
{
    return QStringLiteral("EchoLink is back, but Parlox cannot attach to it (%1); chat stays stopped.").arg(reason);
}

QString LogFailingNotice(const QString &reason)
{
    return QStringLiteral("The chat log cannot be written (%1); chat goes on without it.").arg(reason);
}

QString LogBackNotice(qsizetype missingRecords)
{
    return missingRecords == 1
        ? QStringLiteral("The chat log is written again; 1 record is missing from it.")
        : QStringLiteral("The chat log is written again; %1 records are missing from it.").arg(missingRecords);
}
