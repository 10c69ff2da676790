#include "core/Caption.h"

QString BaseCallSign(const QString &hostCallSign)
{
    return hostCallSign.section(QLatin1Char('-'), 0, 0);
}

QString WindowCaption(const QString &callSign)
{
    return QStringLiteral("Parlox ~ %1 ~ v %2").arg(callSign, QStringLiteral(PARLOX_VERSION));
}
