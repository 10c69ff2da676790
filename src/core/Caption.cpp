#include "core/Caption.h"

namespace {

constexpr qsizetype kLongestCaptionCall = 32;

QString OneShortLine(QString text)
{
    if (text.size() > kLongestCaptionCall) {
        const qsizetype end = kLongestCaptionCall - (text.at(kLongestCaptionCall - 2).isHighSurrogate() ? 2 : 1);
        text = text.left(end) + QChar(0x2026);
    }
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return text;
}

} // namespace

QString BaseCallSign(const QString &hostCallSign)
{
    return hostCallSign.section(QLatin1Char('-'), 0, 0);
}

QString WindowCaption(const QString &callSign)
{
    return QStringLiteral("Parlox ~ %1 ~ v %2").arg(OneShortLine(callSign), QStringLiteral(PARLOX_VERSION));
}
