#include "line_escaping/LineEscaping.h"

std::u16string EscapeLine(std::u16string_view text)
{
    std::u16string line;
    line.reserve(text.size());
    for (const char16_t c : text) {
        switch (c) {
            case u'\\':
                line += u"\\\\";
                break;
            case u'\r':
                line += u"\\r";
                break;
            case u'\n':
                line += u"\\n";
                break;
            case u'\t':
                line += u"\\t";
                break;
            default:
                line += c;
                break;
        }
    }
    return line;
}

std::u16string UnescapeLine(std::u16string_view line)
{
    std::u16string text;
    text.reserve(line.size());
    for (size_t i = 0; i < line.size(); ++i) {
        const char16_t c = line[i];
        if (c != u'\\' || i + 1 == line.size()) {
            text += c;
            continue;
        }
        switch (line[i + 1]) {
            case u'\\':
                text += u'\\';
                break;
            case u'r':
                text += u'\r';
                break;
            case u'n':
                text += u'\n';
                break;
            case u't':
                text += u'\t';
                break;
            default:
                text += c;
                continue;
        }
        ++i;
    }
    return text;
}
