#include "EventDispids.h"

#include "EchoLinkContract.h"

#include <wrl/client.h>

#include <cwchar>
#include <optional>
#include <string>

using Microsoft::WRL::ComPtr;

namespace {

ComPtr<ITypeLib> TypeLibOfObject(IDispatch *object)
{
    ComPtr<ITypeInfo> info;
    if (FAILED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info)) || !info)
        return nullptr;
    ComPtr<ITypeLib> library;
    UINT index = 0;
    if (FAILED(info->GetContainingTypeLib(&library, &index)))
        return nullptr;
    return library;
}

struct LibraryVersion
{
    WORD major;
    WORD minor;
};

// Registered versions are subkeys "major.minor" (hexadecimal) of the library's key.
std::optional<LibraryVersion> NewestRegisteredVersion()
{
    wchar_t guid[40];
    StringFromGUID2(EchoLinkContract::kTypeLibrary, guid, 40);
    const std::wstring keyName = std::wstring(L"TypeLib\\") + guid;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<LibraryVersion> newest;
    wchar_t name[64];
    for (DWORD i = 0;; ++i) {
        DWORD length = 64;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        wchar_t *end = nullptr;
        const unsigned long major = std::wcstoul(name, &end, 16);
        if (*end != L'.')
            continue;
        const unsigned long minor = std::wcstoul(end + 1, &end, 16);
        if (*end != L'\0')
            continue;
        if (!newest || major > newest->major || (major == newest->major && minor > newest->minor))
            newest = LibraryVersion{static_cast<WORD>(major), static_cast<WORD>(minor)};
    }
    RegCloseKey(key);
    return newest;
}

ComPtr<ITypeLib> RegisteredTypeLib()
{
    const auto version = NewestRegisteredVersion();
    if (!version)
        return nullptr;
    ComPtr<ITypeLib> library;
    if (FAILED(LoadRegTypeLib(EchoLinkContract::kTypeLibrary, version->major, version->minor, 0, &library)))
        return nullptr;
    return library;
}

std::optional<DISPID> DispidAt(ITypeInfo *events, UINT index)
{
    FUNCDESC *function = nullptr;
    if (FAILED(events->GetFuncDesc(index, &function)))
        return std::nullopt;
    const DISPID dispid = function->memid;
    events->ReleaseFuncDesc(function);
    return dispid;
}

std::optional<EventDispids> DispidsIn(ITypeLib *library)
{
    ComPtr<ITypeInfo> events;
    if (!library || FAILED(library->GetTypeInfoOfGuid(EchoLinkContract::kEventInterface, &events)))
        return std::nullopt;
    const auto closing = DispidAt(events.Get(), EchoLinkContract::kClosingPlace - 1);
    const auto chat = DispidAt(events.Get(), EchoLinkContract::kChatTextReceivedPlace - 1);
    if (!closing || !chat)
        return std::nullopt;
    return EventDispids{*closing, *chat};
}

} // namespace

EventDispids ReadEventDispids(IDispatch *eventObject)
{
    if (const auto dispids = DispidsIn(TypeLibOfObject(eventObject).Get()))
        return *dispids;
    if (const auto dispids = DispidsIn(RegisteredTypeLib().Get()))
        return *dispids;
    return {EchoLinkContract::kClosingPlace, EchoLinkContract::kChatTextReceivedPlace};
}
