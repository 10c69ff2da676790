#include "core/WindowPlacement.h"

#include <cmath>

int TwipsToPixels(double twips, double dotsPerInch)
{
    return static_cast<int>(std::lround(twips * dotsPerInch / kTwipsPerInch));
}

double PixelsToTwips(int pixels, double dotsPerInch)
{
    return pixels * kTwipsPerInch / dotsPerInch;
}

QRect TwipsToPixels(const QRect &twips, double dotsPerInch)
{
    return {TwipsToPixels(twips.x(), dotsPerInch), TwipsToPixels(twips.y(), dotsPerInch),
            TwipsToPixels(twips.width(), dotsPerInch), TwipsToPixels(twips.height(), dotsPerInch)};
}

bool TitleBarReachable(const QRect &titleBar, const QList<QRect> &screens)
{
    for (const QRect &screen : screens) {
        if (screen.intersects(titleBar))
            return true;
    }
    return false;
}
