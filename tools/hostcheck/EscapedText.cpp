#include "EscapedText.h"

std::wstring Escaped(std::wstring_view text)
{
    std::wstring escaped;
    for (const wchar_t c : text) {
        switch (c) {
        case L'\r': escaped += L"\\r"; break;
        case L'\n': escaped += L"\\n"; break;
        case L'\t': escaped += L"\\t"; break;
        case L'\\': escaped += L"\\\\"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::wstring Unescaped(std::wstring_view text)
{
    std::wstring plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        switch (text[++i]) {
        case L'r': plain += L'\r'; break;
        case L'n': plain += L'\n'; break;
        case L't': plain += L'\t'; break;
        default: plain += text[i];
        }
    }
    return plain;
}
