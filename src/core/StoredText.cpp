#include "core/StoredText.h"

#include <cmath>

namespace {

// Far beyond any screen, yet small enough to turn into pixels without overflow.
constexpr double kPositionLimit = 1.0e7;

QLocale NumberLocale(QLocale locale)
{
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

// The number as QLocale::c() writes it. Earlier runs wrote the locale's own digits and minus
// sign (U+2212 in some locales), with a direction mark before them in some, which Qt cannot
// always read back even in the same locale.
QString AsciiNumber(const QString &text, const QLocale &locale)
{
    QString ascii;
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Format)
            continue;
        if (c.digitValue() >= 0)
            ascii += QChar(u'0' + c.digitValue());
        else if (c == u'\u2212')
            ascii += u'-';
        else if (locale.decimalPoint() == c)
            ascii += u'.';
        else
            ascii += c;
    }
    return ascii;
}

} // namespace

std::optional<bool> ParseStoredFlag(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    return text == QLatin1String("True");
}

QString StoredFlagText(bool on)
{
    return on ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<double> ParseStoredPosition(const QString &text, const QLocale &locale)
{
    bool ok = false;
    const float value = NumberLocale(QLocale::c()).toFloat(AsciiNumber(text, locale), &ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > kPositionLimit)
        return std::nullopt;
    return value;
}

QString StoredPositionText(double twips, const QLocale &locale)
{
    // Positions are single precision: seven significant digits, as the stored values always had.
    // Digits and sign are ASCII whatever the locale (some write U+2212 or digits of their own,
    // which no other locale reads back); only the decimal separator is the locale's.
    QString text = NumberLocale(QLocale::c()).toString(static_cast<float>(twips), 'g', 7);
    return text.replace(u'.', locale.decimalPoint());
}
