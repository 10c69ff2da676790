#include "StandInClasses.h"

#include "ClassFactory.h"
#include "EventObject.h"
#include "SetupConfig.h"
#include "StandInHost.h"
#include "SysopConfig.h"

namespace {

ClassFactory<EventObject> eventObjectFactory;
ClassFactory<SetupConfig> setupConfigFactory;
ClassFactory<SysopConfig> sysopConfigFactory;

const StandInClass classes[] = {
    {CLSID_EventObject, nullptr, &eventObjectFactory},
    {CLSID_SetupConfig, L"EchoLink.SetupConfig", &setupConfigFactory},
    {CLSID_SysopConfig, L"EchoLink.SysopConfig", &sysopConfigFactory},
};

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return text;
}

LSTATUS SetValue(const std::wstring &key, const wchar_t *name, const std::wstring &value)
{
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

} // namespace

const StandInClass *StandInClasses(size_t *count)
{
    *count = std::size(classes);
    return classes;
}

HRESULT RegisterStandIn(const wchar_t *kind, const std::wstring &server)
{
    const bool inProcess = std::wstring(kind) == L"InprocServer32";
    for (const StandInClass &standInClass : classes) {
        const std::wstring key = L"CLSID\\" + GuidText(standInClass.classId);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
        LSTATUS status = SetValue(key + L"\\" + kind, nullptr, server);
        if (inProcess && status == ERROR_SUCCESS)
            status = SetValue(key + L"\\" + kind, L"ThreadingModel", L"Apartment");
        if (standInClass.programName && status == ERROR_SUCCESS) {
            status = SetValue(key + L"\\ProgID", nullptr, standInClass.programName);
            if (status == ERROR_SUCCESS)
                status = SetValue(std::wstring(standInClass.programName) + L"\\CLSID", nullptr,
                                  GuidText(standInClass.classId));
        }
        if (status != ERROR_SUCCESS)
            return HRESULT_FROM_WIN32(status);
    }
    Microsoft::WRL::ComPtr<ITypeLib> library;
    return LoadTypeLibEx(StandInHost::Instance().ModulePath().c_str(), REGKIND_REGISTER, &library);
}
