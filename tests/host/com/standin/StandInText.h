#pragma once

#include <string>
#include <string_view>

// CR, LF, tab and backslash written as \r, \n, \t and \\, so that any text fits on one line.
std::wstring Escaped(std::wstring_view text);
std::wstring Unescaped(std::wstring_view text);

std::string Utf8(std::wstring_view text);
