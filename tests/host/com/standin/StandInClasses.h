#pragma once

#include <unknwn.h>

#include <string>

// The stand-in's three creatable classes: EchoLink's event object under its own class, and the
// two configuration objects under classes of the stand-in's choosing, found by their names.
struct StandInClass
{
    const CLSID &classId;
    const wchar_t *programName; // nullptr where the class is not found by name
    IClassFactory *factory;
};

const StandInClass *StandInClasses(size_t *count);

// Registers the classes, each served by "kind" (InprocServer32 or LocalServer32) at "server",
// removing the other kind, and the type library of the running module.
HRESULT RegisterStandIn(const wchar_t *kind, const std::wstring &server);
