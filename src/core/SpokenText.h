#pragma once

#include <QString>
#include <QStringList>

// What is said for received chat, read aloud: a listener needs the sender and the line, not
// the time stamp, and must never be minutes behind the conference.

// How many texts that came together are spoken; the rest are counted.
inline constexpr qsizetype kSpokenAtOnce = 3;
// Longer texts are cut here, and the listener is told that there was more.
inline constexpr qsizetype kSpokenLength = 300;

// "XX1ABC: hello" for the text "XX1ABC>hello"; any other text as it is. Markup is read as the
// characters it is; line breaks and other control characters become spaces.
QString SpokenLine(const QString &text);

// The first few texts, one line each, then how many more came (with `more` not among the
// texts), for example "and 37 more lines".
QString SpokenSummary(const QStringList &texts, qsizetype more = 0);
