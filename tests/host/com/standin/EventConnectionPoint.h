#pragma once

#include <ocidl.h>
#include <wrl/client.h>

// The event object's one connection point. Subscribers must answer for the event interface.
class EventConnectionPoint : public IConnectionPoint
{
public:
    explicit EventConnectionPoint(IConnectionPointContainer *container) : m_container(container) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID *iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer **container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown *sink, DWORD *cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections **connections) override;

private:
    virtual ~EventConnectionPoint() = default;

    ULONG m_references = 1;
    Microsoft::WRL::ComPtr<IConnectionPointContainer> m_container;
};
