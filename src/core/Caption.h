#pragma once

#include <QString>

// The station's base call sign: what the host reports, up to its first "-".
QString BaseCallSign(const QString &hostCallSign);

// "Parlox ~ CALL ~ v 1.0.0"
QString WindowCaption(const QString &callSign);
