#pragma once

#include "StandInHost.h"

#include <oaidl.h>
#include <wrl/client.h>

// The common part of the stand-in's three objects: reference counting (each object holds the
// stand-in running), and IDispatch through the stand-in's type library.
template <typename Interface, const IID &kInterfaceId> class DispatchObject : public Interface
{
public:
    DispatchObject() { StandInHost::Instance().Hold(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kInterfaceId)
            *object = static_cast<Interface *>(this);
        else
            *object = OtherInterface(iid);
        if (!*object)
            return E_NOINTERFACE;
        this->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        *count = StandInHost::Instance().OffersTypeInfo() ? 1 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override
    {
        *info = nullptr;
        if (!StandInHost::Instance().OffersTypeInfo())
            return E_NOTIMPL;
        return OwnTypeInfo(info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *dispids) override
    {
        Microsoft::WRL::ComPtr<ITypeInfo> info;
        const HRESULT found = OwnTypeInfo(&info);
        return FAILED(found) ? found : DispGetIDsOfNames(info.Get(), names, count, dispids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                                     EXCEPINFO *exception, UINT *argumentError) override
    {
        Microsoft::WRL::ComPtr<ITypeInfo> info;
        const HRESULT found = OwnTypeInfo(&info);
        if (FAILED(found))
            return found;
        return info->Invoke(static_cast<Interface *>(this), dispid, flags, params, result, exception, argumentError);
    }

protected:
    virtual ~DispatchObject() { StandInHost::Instance().Let(); }
    virtual void *OtherInterface(REFIID) { return nullptr; }

private:
    HRESULT OwnTypeInfo(ITypeInfo **info)
    {
        ITypeLib *library = StandInHost::Instance().TypeLib();
        return library ? library->GetTypeInfoOfGuid(kInterfaceId, info) : TYPE_E_CANTLOADLIBRARY;
    }

    ULONG m_references = 1;
};
