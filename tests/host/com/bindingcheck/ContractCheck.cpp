#include "ContractCheck.h"

#include "EchoLinkContract.h"

#include <oaidl.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cstdio>
#include <functional>
#include <optional>

using Microsoft::WRL::ComPtr;

namespace {

bool allFound = true;

void Report(bool found, const char *what)
{
    std::printf("%s %s\n", found ? "found" : "missing", what);
    allFound = allFound && found;
}

ComPtr<ITypeInfo> TypeInfo(ITypeLib *library, REFGUID guid)
{
    ComPtr<ITypeInfo> info;
    library->GetTypeInfoOfGuid(guid, &info);
    return info;
}

// A copy of the type's attributes, for their plain values; nothing where the type is not there.
std::optional<TYPEATTR> Attributes(ITypeInfo *info)
{
    TYPEATTR *attributes = nullptr;
    if (!info || FAILED(info->GetTypeAttr(&attributes)))
        return std::nullopt;
    const TYPEATTR copy = *attributes;
    info->ReleaseTypeAttr(attributes);
    return copy;
}

using FunctionCheck = std::function<bool(const FUNCDESC &)>;

bool WithFunction(ITypeInfo *info, UINT index, const FunctionCheck &check)
{
    FUNCDESC *function = nullptr;
    if (!info || FAILED(info->GetFuncDesc(index, &function)))
        return false;
    const bool passed = check(*function);
    info->ReleaseFuncDesc(function);
    return passed;
}

bool IsKind(ITypeInfo *info, TYPEKIND kind)
{
    const auto attributes = Attributes(info);
    return attributes && attributes->typekind == kind;
}

// A dual interface is found as its dispatch side; its vtable is described by the other side.
ComPtr<ITypeInfo> VtableSide(ITypeInfo *info)
{
    if (!IsKind(info, TKIND_DISPATCH))
        return info;
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> vtable;
    if (FAILED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference))
        || FAILED(info->GetRefTypeInfo(reference, &vtable)))
        return nullptr;
    return vtable;
}

// The interface's own operation at the given place, counted from 1 after the dispatch entries.
bool OperationAt(ITypeInfo *info, int place, const FunctionCheck &check)
{
    const ComPtr<ITypeInfo> vtable = VtableSide(info);
    const auto attributes = Attributes(vtable.Get());
    if (!attributes)
        return false;
    const auto slot = static_cast<SHORT>((EchoLinkContract::kDispatchEntries + place - 1) * sizeof(void *));
    for (UINT index = 0; index < attributes->cFuncs; ++index) {
        if (WithFunction(vtable.Get(), index, [slot](const FUNCDESC &function) { return function.oVft == slot; }))
            return WithFunction(vtable.Get(), index, check);
    }
    return false;
}

bool TakesOneText(const FUNCDESC &function)
{
    return function.cParams == 1 && function.lprgelemdescParam[0].tdesc.vt == VT_BSTR;
}

bool ReadsText(const FUNCDESC &function)
{
    if (function.invkind != INVOKE_PROPERTYGET || function.cParams != 1)
        return false;
    const ELEMDESC &result = function.lprgelemdescParam[0];
    return (result.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) && result.tdesc.vt == VT_PTR
        && result.tdesc.lptdesc->vt == VT_BSTR;
}

} // namespace

int CheckContract(const wchar_t *typeLibraryPath)
{
    using namespace EchoLinkContract;
    ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(typeLibraryPath, REGKIND_NONE, &library))) {
        std::printf("no type library in %ls\n", typeLibraryPath);
        return 1;
    }

    TLIBATTR *attributes = nullptr;
    library->GetLibAttr(&attributes);
    Report(attributes->guid == kTypeLibrary, "the type library");
    library->ReleaseTLibAttr(attributes);

    const ComPtr<ITypeInfo> eventClass = TypeInfo(library.Get(), kEventObjectClass);
    const ComPtr<ITypeInfo> eventObject = TypeInfo(library.Get(), kEventObjectInterface);
    const ComPtr<ITypeInfo> events = TypeInfo(library.Get(), kEventInterface);
    const ComPtr<ITypeInfo> setupConfig = TypeInfo(library.Get(), kSetupConfigInterface);
    const ComPtr<ITypeInfo> sysopConfig = TypeInfo(library.Get(), kSysopConfigInterface);
    Report(IsKind(eventClass.Get(), TKIND_COCLASS), "the event object's class");
    Report(eventObject != nullptr, "the event object's interface");
    Report(events != nullptr, "the event interface");
    Report(setupConfig != nullptr, "SetupConfig's interface");
    Report(sysopConfig != nullptr, "SysopConfig's interface");

    Report(OperationAt(setupConfig.Get(), kReadStationCallPlace, ReadsText), "ReadStationCall at its place");
    Report(OperationAt(eventObject.Get(), kPostChatLinePlace, TakesOneText), "PostChatLine at its place");
    Report(WithFunction(events.Get(), kClosingPlace - 1, [](const FUNCDESC &f) { return f.cParams == 0; }),
           "Closing at its place");
    Report(WithFunction(events.Get(), kChatTextReceivedPlace - 1, TakesOneText), "ChatTextReceived at its place");
    return allFound ? 0 : 1;
}
