#include "main_window/StoredSettings.h"

#include <cmath>

namespace {

// Far beyond any screen, yet small enough to turn into pixels without overflow.
constexpr double kPositionLimit = 1.0e7;

QLocale NumberLocale(QLocale locale)
{
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
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
    const float value = NumberLocale(locale).toFloat(text, &ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > kPositionLimit)
        return std::nullopt;
    return value;
}

QString StoredPositionText(double twips, const QLocale &locale)
{
    // Positions are single precision: seven significant digits, as the stored values always had.
    return NumberLocale(locale).toString(static_cast<float>(twips), 'g', 7);
}
