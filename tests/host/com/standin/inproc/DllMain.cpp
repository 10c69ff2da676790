// The stand-in as an in-process server: a DLL that COM loads into the client.

#include "StandInClasses.h"
#include "StandInHost.h"

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void *)
{
    if (reason == DLL_PROCESS_ATTACH)
        StandInHost::Instance().SetModule(module);
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void **object)
{
    size_t count = 0;
    const StandInClass *classes = StandInClasses(&count);
    for (size_t i = 0; i < count; ++i) {
        if (classes[i].classId == classId)
            return classes[i].factory->QueryInterface(iid, object);
    }
    *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

// Its events may still be due after the last object went, as a host program's would be.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    return RegisterStandIn(L"InprocServer32", StandInHost::Instance().ModulePath());
}
