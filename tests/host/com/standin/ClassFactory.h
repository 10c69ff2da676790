#pragma once

#include "StandInHost.h"

#include <unknwn.h>

// Makes objects of one class, or refuses to when the test says that class's creation fails.
template <typename Object> class ClassFactory : public IClassFactory
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory)
            return E_NOINTERFACE;
        *object = static_cast<IClassFactory *>(this);
        return S_OK;
    }
    // One factory lives as long as the stand-in; it is never deleted.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **object) override
    {
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        StandInHost &host = StandInHost::Instance();
        if (host.Fails(Object::kName)) {
            host.Record(std::wstring(L"refused ") + Object::kName);
            host.EndIfIdle();
            return E_ACCESSDENIED;
        }
        auto *created = new Object();
        const HRESULT result = created->QueryInterface(iid, object);
        created->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            StandInHost::Instance().Hold();
        else
            StandInHost::Instance().Let();
        return S_OK;
    }
};
