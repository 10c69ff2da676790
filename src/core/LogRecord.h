#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// "dd-mmm-yy hh:mm" with the locale's month abbreviation and time separator.
QString LogStamp(const QDateTime &when, const QLocale &locale);

// One record of the chat log: the stamp, one space, the text exactly as given, CR LF.
QString LogRecord(const QString &text, const QDateTime &when, const QLocale &locale);
