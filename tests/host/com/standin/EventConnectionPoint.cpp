#include "EventConnectionPoint.h"

#include "EchoLinkStandIn.h"
#include "StandInHost.h"

#include <olectl.h>

HRESULT STDMETHODCALLTYPE EventConnectionPoint::QueryInterface(REFIID iid, void **object)
{
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IConnectionPoint)
        return E_NOINTERFACE;
    *object = static_cast<IConnectionPoint *>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE EventConnectionPoint::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::GetConnectionInterface(IID *iid)
{
    *iid = DIID_EventObjectEvents;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer **container)
{
    *container = m_container.Get();
    m_container->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Advise(IUnknown *sink, DWORD *cookie)
{
    *cookie = 0;
    Microsoft::WRL::ComPtr<IDispatch> events;
    if (!sink || FAILED(sink->QueryInterface(DIID_EventObjectEvents, reinterpret_cast<void **>(events.GetAddressOf()))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = StandInHost::Instance().Subscribe(events.Get());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Unadvise(DWORD cookie)
{
    return StandInHost::Instance().Unsubscribe(cookie);
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::EnumConnections(IEnumConnections **connections)
{
    *connections = nullptr;
    return E_NOTIMPL;
}
