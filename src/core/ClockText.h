#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

// The locale's separator between hours and minutes; ":" where the locale names none.
QString TimeSeparator(const QLocale &locale);

// "hh:mm" on the 24-hour clock, with the locale's time separator.
QString ClockText(QTime time, const QLocale &locale);
