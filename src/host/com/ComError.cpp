#include "ComError.h"

#include <cstdio>

namespace {

std::string Utf8(const wchar_t *text, int length)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::string SystemDescription(HRESULT result)
{
    wchar_t *buffer = nullptr;
    const DWORD length
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    if (length == 0)
        return {};
    std::string description = Utf8(buffer, static_cast<int>(length));
    LocalFree(buffer);
    while (!description.empty()
           && (description.back() == '\n' || description.back() == '\r' || description.back() == ' '
               || description.back() == '.'))
        description.pop_back();
    return description;
}

std::string Describe(const std::string &step, HRESULT result)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    std::string text = step + " failed: " + code;
    const std::string description = SystemDescription(result);
    if (!description.empty())
        text += " (" + description + ")";
    return text;
}

} // namespace

ComError::ComError(const std::string &step, HRESULT result)
    : std::runtime_error(Describe(step, result)), m_result(result)
{
}

void ThrowIfFailed(HRESULT result, const std::string &step)
{
    if (FAILED(result))
        throw ComError(step, result);
}
