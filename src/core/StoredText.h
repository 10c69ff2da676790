#pragma once

#include <optional>

#include <QLocale>
#include <QString>

// The text form of a stored value: how it is written, and how it is read back. Flags are the
// texts "True" and "False"; positions are twips written with ASCII digits and "-" and the
// locale's decimal separator, without group separators.

// Nothing stored (empty text) leaves the choice alone; exactly "True" is on; anything else is off.
std::optional<bool> ParseStoredFlag(const QString &text);
QString StoredFlagText(bool on);

// A usable position, or nothing for text that is empty, not a number or out of range. Both the
// form written now and the locale's own (its digits and minus sign) are read.
std::optional<double> ParseStoredPosition(const QString &text, const QLocale &locale);
QString StoredPositionText(double twips, const QLocale &locale);
