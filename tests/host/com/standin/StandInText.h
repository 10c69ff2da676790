#pragma once

#include <string>
#include <string_view>

std::string Utf8(std::wstring_view text);
