#pragma once

#include <QList>
#include <QRect>

// Window geometry is stored and laid out in twips: 1/1440 inch, 15 to the pixel at 96 dpi.
inline constexpr double kTwipsPerInch = 1440.0;

int TwipsToPixels(double twips, double dotsPerInch);
double PixelsToTwips(int pixels, double dotsPerInch);
QRect TwipsToPixels(const QRect &twips, double dotsPerInch);

// Whether a person can still reach the title bar to drag the window back: some part of it
// lies on one of the screens.
bool TitleBarReachable(const QRect &titleBar, const QList<QRect> &screens);
