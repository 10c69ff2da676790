#pragma once

#include <oleauto.h>

#include <memory>
#include <string>
#include <string_view>

struct BstrFree
{
    void operator()(OLECHAR *text) const { SysFreeString(text); }
};

// Sole owner of a BSTR.
using BstrPtr = std::unique_ptr<OLECHAR, BstrFree>;

// A BSTR may hold any characters, NULs included, and a null BSTR is the empty text.
inline BstrPtr MakeBstr(std::wstring_view text)
{
    return BstrPtr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

inline std::wstring ToWString(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}
