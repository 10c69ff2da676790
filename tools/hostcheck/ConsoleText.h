#pragma once

#include <string>
#include <string_view>

// Text as hostcheck shows it: one event a line, so CR, LF, tab and the backslash itself are
// written as \r, \n, \t and \\.
std::wstring Escaped(std::wstring_view text);

// Writes one line to standard output or standard error: as UTF-16 to a console, so that every
// character shows, and as UTF-8 to a file or pipe.
void WriteLine(bool toError, std::wstring_view line);
