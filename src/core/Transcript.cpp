#include "core/Transcript.h"

#include "core/ClockText.h"

QString TranscriptEntry(const QString &text, QTime time, bool doubleSpacing, const QLocale &locale)
{
    const QString lineBreak = QStringLiteral("\r\n");
    return ClockText(time, locale) + QLatin1Char('<') + text + lineBreak + (doubleSpacing ? lineBreak : QString());
}

QString TranscriptCut(const QString &paneText)
{
    return paneText.size() > kTranscriptCap ? paneText.right(kTranscriptKeep) : paneText;
}
