#pragma once

#include "DispatchObject.h"
#include "EchoLinkStandIn.h"

#include <ocidl.h>

// The event object: takes posted chat lines and offers the events through one connection point.
class EventObject : public DispatchObject<IEventObject, IID_IEventObject>, public IConnectionPointContainer
{
public:
    static constexpr wchar_t kName[] = L"event";

    EventObject();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        return DispatchObject::QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return DispatchObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DispatchObject::Release(); }

    // Operations Parlox does not use; they only hold their places before PostChatLine.
    HRESULT STDMETHODCALLTYPE Operation1() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation2() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation5() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation6() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation8() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation9() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation10() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation11() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation12() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation13() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation14() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation15() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation16() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation17() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation18() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation19() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation20() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation21() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation22() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation23() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation24() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation25() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation26() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation27() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation28() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation29() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation30() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation31() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation32() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Operation33() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PostChatLine(BSTR line) override;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints **points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint **point) override;

private:
    ~EventObject() override;
    void *OtherInterface(REFIID iid) override;
};
