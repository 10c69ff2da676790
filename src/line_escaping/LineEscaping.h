#pragma once

#include <string>
#include <string_view>

// Any text written on one line: CR, LF, tab and the backslash become \r, \n, \t and \\.
std::u16string EscapeLine(std::u16string_view text);

// The inverse of EscapeLine. A backslash before any other character, or at the very end, is
// kept as it stands, so that a hand-typed "C:\data" arrives as typed.
std::u16string UnescapeLine(std::u16string_view line);

#ifdef _WIN32
// Windows' wide text is UTF-16 as well.
inline std::wstring EscapeLine(std::wstring_view text)
{
    const std::u16string line = EscapeLine(std::u16string(text.begin(), text.end()));
    return std::wstring(line.begin(), line.end());
}

inline std::wstring UnescapeLine(std::wstring_view line)
{
    const std::u16string text = UnescapeLine(std::u16string(line.begin(), line.end()));
    return std::wstring(text.begin(), text.end());
}
#endif
