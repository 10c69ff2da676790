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
