#pragma once

#include <QString>

// The station's base call sign: what the host reports, up to its first "-".
QString BaseCallSign(const QString &hostCallSign);

// "Parlox ~ CALL ~ v 1.0.0", on one line and of a size a title bar can show, whatever the host
// reported: control characters become spaces and a call sign of more than 32 characters ends
// in "…".
QString WindowCaption(const QString &callSign);
