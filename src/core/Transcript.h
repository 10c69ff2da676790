#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTime>

// The transcript keeps only its newest text: once it is longer than the cap, the next entry
// first cuts it to the last kTranscriptKeep characters. Lengths count every line break as the
// two characters CR LF.
inline constexpr qsizetype kTranscriptCap = 18000;
inline constexpr qsizetype kTranscriptKeep = 10000;

// One entry: "hh:mm", "<", the text unchanged, CR LF, and one more CR LF when double-spaced.
QString TranscriptEntry(const QString &text, QTime time, bool doubleSpacing, const QLocale &locale);

// One of Parlox's own notices: "hh:mm", " *** ", the notice, and the line breaks of an entry.
// Nothing a station sends can look like it, since every received entry has "<" after the time.
QString TranscriptNotice(const QString &notice, QTime time, bool doubleSpacing, const QLocale &locale);

// Entries appended one after another, each under the cap, leave the pane as the last `keep`
// characters of what it held, followed by `appended`: one edit for any number of entries.
struct TranscriptChange
{
    qsizetype keep;
    QString appended;
};
TranscriptChange AppendUnderCap(qsizetype paneLength, const QStringList &entries);

// Whether the text holds a run without spaces so long that wrapping the pane at word boundaries
// would stall it (Qt lays such a run out in quadratic time: a megabyte takes a minute and a
// half), so that the pane must break it anywhere instead.
bool NeedsBreakAnywhere(QStringView text);
