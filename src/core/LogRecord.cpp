#include "core/LogRecord.h"

#include "core/ClockText.h"

QString LogStamp(const QDateTime &when, const QLocale &locale)
{
    const QDate date = when.date();
    return QStringLiteral("%1-%2-%3 %4")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(locale.monthName(date.month(), QLocale::ShortFormat))
        .arg(date.year() % 100, 2, 10, QLatin1Char('0'))
        .arg(ClockText(when.time(), locale));
}

QString LogRecord(const QString &text, const QDateTime &when, const QLocale &locale)
{
    return LogStamp(when, locale) + QLatin1Char(' ') + text + QStringLiteral("\r\n");
}
