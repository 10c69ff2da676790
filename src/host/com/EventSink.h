#pragma once

#include "ComObject.h"
#include "EchoLinkEvents.h"
#include "EventDispids.h"

#include <oaidl.h>

// The object that EchoLink calls to raise its events. It tells the events apart by their dispatch
// identifiers and hands them on; every other event is ignored. Once detached it ignores all
// calls, since a host may keep raising events after Parlox has let go of it.
class EventSink : public ComObject<IDispatch>
{
public:
    EventSink(EventDispids dispids, const EchoLinkEvents &events);

    void Detach() { m_attached = false; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, LCID locale,
                                            DISPID *dispids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID iid, LCID locale, WORD flags, DISPPARAMS *params,
                                     VARIANT *result, EXCEPINFO *exception, UINT *argumentError) override;

private:
    ~EventSink() override = default;
    bool AnswersFor(REFIID iid) const override;

    HRESULT HandOnChatText(const DISPPARAMS *params);

    bool m_attached = true;
    EventDispids m_dispids;
    const EchoLinkEvents &m_events;
};
