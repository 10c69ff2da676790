#include "EventSink.h"

#include "BstrPtr.h"
#include "EchoLinkContract.h"

#include <wrl/client.h>

EventSink::EventSink(EventDispids dispids, const EchoLinkEvents &events) : m_dispids(dispids), m_events(events) {}

bool EventSink::AnswersFor(REFIID iid) const
{
    return iid == EchoLinkContract::kEventInterface;
}

HRESULT STDMETHODCALLTYPE EventSink::GetTypeInfoCount(UINT *count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventSink::GetTypeInfo(UINT, LCID, ITypeInfo **info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE EventSink::GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE EventSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS *params, VARIANT *,
                                            EXCEPINFO *, UINT *)
{
    if (!m_attached)
        return S_OK;
    // A handler may let go of the binding, and with it of this sink, before it returns.
    const Microsoft::WRL::ComPtr<EventSink> keepAlive(this);
    if (dispid == m_dispids.closing) {
        m_events.closing();
        return S_OK;
    }
    if (dispid == m_dispids.chatTextReceived)
        return HandOnChatText(params);
    return S_OK;
}

HRESULT EventSink::HandOnChatText(const DISPPARAMS *params)
{
    if (!params || params->cArgs < 1)
        return DISP_E_BADPARAMCOUNT;
    // Arguments come last to first; the text is the first. It may come by reference or as
    // another type, so take a converted copy.
    VARIANT text;
    VariantInit(&text);
    VARIANT &argument = params->rgvarg[params->cArgs - 1];
    const HRESULT converted = VariantChangeType(&text, &argument, 0, VT_BSTR);
    if (FAILED(converted))
        return converted;
    const std::wstring received = ToWString(text.bstrVal);
    VariantClear(&text);
    m_events.chatTextReceived(received);
    return S_OK;
}
