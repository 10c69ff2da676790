#pragma once

#include <string>
#include <string_view>

#include "EscapedText.h"

std::string Utf8(std::wstring_view text);
