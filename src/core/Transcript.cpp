#include "core/Transcript.h"

#include "core/ClockText.h"

namespace {

// Laid out at word boundaries, a run this long still takes only a few milliseconds.
constexpr qsizetype kLongestWrappedRun = 5000;

QString LineBreaks(bool doubleSpacing)
{
    return doubleSpacing ? QStringLiteral("\r\n\r\n") : QStringLiteral("\r\n");
}

} // namespace

QString TranscriptEntry(const QString &text, QTime time, bool doubleSpacing, const QLocale &locale)
{
    return ClockText(time, locale) + QLatin1Char('<') + text + LineBreaks(doubleSpacing);
}

QString TranscriptNotice(const QString &notice, QTime time, bool doubleSpacing, const QLocale &locale)
{
    return ClockText(time, locale) + QStringLiteral(" *** ") + notice + LineBreaks(doubleSpacing);
}

TranscriptChange AppendUnderCap(qsizetype paneLength, const QStringList &entries)
{
    // The pane is always the last `keep` characters it held, then `appended` from `start` on.
    const QString appended = entries.join(QString());
    qsizetype length = paneLength, keep = paneLength, start = 0, end = 0;
    for (const QString &entry : entries) {
        if (length > kTranscriptCap) {
            const qsizetype added = end - start;
            keep = std::max<qsizetype>(0, kTranscriptKeep - added);
            start = std::max(start, end - kTranscriptKeep);
            length = kTranscriptKeep;
        }
        length += entry.size();
        end += entry.size();
    }
    return {keep, appended.mid(start)};
}

bool NeedsBreakAnywhere(QStringView text)
{
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongestWrappedRun)
            return true;
    }
    return false;
}
