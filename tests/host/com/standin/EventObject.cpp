#include "EventObject.h"

#include "EventConnectionPoint.h"

#include <olectl.h>

EventObject::EventObject()
{
    StandInHost::Instance().Record(L"created EventObject");
}

EventObject::~EventObject()
{
    StandInHost::Instance().Record(L"released EventObject");
}

void *EventObject::OtherInterface(REFIID iid)
{
    return iid == IID_IConnectionPointContainer ? static_cast<IConnectionPointContainer *>(this) : nullptr;
}

HRESULT STDMETHODCALLTYPE EventObject::PostChatLine(BSTR line)
{
    StandInHost &host = StandInHost::Instance();
    if (host.Fails(L"post"))
        return E_FAIL;
    host.Record(L"posted: " + std::wstring(line ? line : L"", SysStringLen(line)));
    if (host.ClosesOnPost()) {
        host.RaiseClosing();
        host.Record(L"post returns");
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventObject::EnumConnectionPoints(IEnumConnectionPoints **points)
{
    *points = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE EventObject::FindConnectionPoint(REFIID iid, IConnectionPoint **point)
{
    *point = nullptr;
    if (iid != DIID_EventObjectEvents)
        return CONNECT_E_NOCONNECTION;
    *point = new EventConnectionPoint(this);
    return S_OK;
}
