#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

// The transcript keeps only its newest text: once it is longer than the cap, the next entry
// first cuts it to the last kTranscriptKeep characters. Lengths count every line break as the
// two characters CR LF.
inline constexpr qsizetype kTranscriptCap = 18000;
inline constexpr qsizetype kTranscriptKeep = 10000;

// One entry: "hh:mm", "<", the text unchanged, CR LF, and one more CR LF when double-spaced.
QString TranscriptEntry(const QString &text, QTime time, bool doubleSpacing, const QLocale &locale);

// The pane text (line breaks as CR LF) as it stands before the next entry goes in.
QString TranscriptCut(const QString &paneText);
