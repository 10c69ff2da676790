#include "main_window/OutgoingLine.h"

QString TrimSpaces(const QString &line)
{
    qsizetype first = 0;
    qsizetype last = line.size();
    while (first < last && line.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && line.at(last - 1) == QLatin1Char(' '))
        --last;
    return line.mid(first, last - first);
}

QString SendFailureText(const QString &reason, bool mayStillArrive)
{
    if (!mayStillArrive)
        return QStringLiteral("Your line was not sent.\r\n%1").arg(reason);
    return QStringLiteral("Your line may not have been sent.\r\n%1\r\n"
                          "The host may still pass it on: look in the conference before you send it again.")
        .arg(reason);
}
