#pragma once

#include <string>
#include <string_view>

// Text on one line: CR, LF, tab and the backslash itself written as \r, \n, \t and \\. hostcheck
// prints events this way, and the stand-in EchoLink of the tests reads and records text the same.
std::wstring Escaped(std::wstring_view text);

// The reverse; a backslash before any other character, or at the end, stays as typed.
std::wstring Unescaped(std::wstring_view text);
