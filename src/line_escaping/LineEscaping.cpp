#include "line_escaping/LineEscaping.h"

#include <array>
#include <utility>

namespace {

// The one rule, both ways: each character that cannot stand on a line, and the letter that
// stands for it after a backslash.
constexpr std::array<std::pair<char16_t, char16_t>, 4> kEscapes{{
    {u'\\', u'\\'},
    {u'\r', u'r'},
    {u'\n', u'n'},
    {u'\t', u't'},
}};

} // namespace

std::u16string EscapeLine(std::u16string_view text)
{
    std::u16string line;
    line.reserve(text.size());
    for (const char16_t c : text) {
        line += c;
        for (const auto &[plain, letter] : kEscapes) {
            if (c == plain) {
                line.back() = u'\\';
                line += letter;
                break;
            }
        }
    }
    return line;
}

std::u16string UnescapeLine(std::u16string_view line)
{
    std::u16string text;
    text.reserve(line.size());
    for (size_t i = 0; i < line.size(); ++i) {
        char16_t c = line[i];
        // A backslash before any other character, or at the very end, stays as it stands.
        if (c == u'\\' && i + 1 < line.size()) {
            for (const auto &[plain, letter] : kEscapes) {
                if (line[i + 1] == letter) {
                    c = plain;
                    ++i;
                    break;
                }
            }
        }
        text += c;
    }
    return text;
}
