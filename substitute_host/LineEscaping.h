#pragma once

#include <QString>

// One line of text on standard input or output stands for any text: CR, LF, tab and the
// backslash are written as \r, \n, \t and \\.
QString EscapeLine(const QString &text);

// The inverse of EscapeLine. A backslash before any other character, or at the very end, is
// kept as it stands, so a hand-typed "C:\temp" arrives as typed.
QString UnescapeLine(const QString &line);
