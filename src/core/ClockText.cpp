#include "core/ClockText.h"

#include <QRegularExpression>

QString TimeSeparator(const QLocale &locale)
{
    // Qt has no direct query for the separator; the locale's short time format carries it
    // between the hour and the minute fields (for example "HH:mm", "H.mm", "h:mm AP").
    static const QRegularExpression hourField(QStringLiteral("[hH]"));
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    const qsizetype hour = format.indexOf(hourField);
    const qsizetype minute = format.indexOf(QLatin1Char('m'), hour + 1);
    if (hour < 0 || minute < 0)
        return QStringLiteral(":");
    qsizetype start = hour;
    while (start < minute && (format.at(start) == QLatin1Char('h') || format.at(start) == QLatin1Char('H')))
        ++start;
    const QString separator = format.mid(start, minute - start).remove(QLatin1Char('\''));
    return separator.isEmpty() ? QStringLiteral(":") : separator;
}

QString ClockText(QTime time, const QLocale &locale)
{
    return QStringLiteral("%1%2%3")
        .arg(time.hour(), 2, 10, QLatin1Char('0'))
        .arg(TimeSeparator(locale))
        .arg(time.minute(), 2, 10, QLatin1Char('0'));
}
