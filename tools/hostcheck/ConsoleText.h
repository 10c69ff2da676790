#pragma once

#include <string>
#include <string_view>

// Writes one line to standard output or standard error: as UTF-16 to a console, so that every
// character shows, and as UTF-8 to a file or pipe.
void WriteLine(bool toError, std::wstring_view line);
