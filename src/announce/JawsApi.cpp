#include "announce/JawsApi.h"

#include <objbase.h>
#include <oleauto.h>

bool JawsApi::SayString(const QString &text)
{
    if (!m_api && !Connect())
        return false;
    VARIANT arguments[2]; // last first: bFlush, then the text
    VariantInit(&arguments[0]);
    arguments[0].vt = VT_BOOL;
    arguments[0].boolVal = VARIANT_FALSE;
    VariantInit(&arguments[1]);
    arguments[1].vt = VT_BSTR;
    arguments[1].bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.utf16()), text.size());
    DISPPARAMS parameters = {arguments, nullptr, 2, 0};
    VARIANT result;
    VariantInit(&result);
    const HRESULT outcome = m_api->Invoke(m_sayString, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                                          &result, nullptr, nullptr);
    VariantClear(&arguments[1]);
    // An object that fails may belong to a JAWS that has gone; the next text asks afresh.
    if (FAILED(outcome))
        m_api.Reset();
    const bool taken = SUCCEEDED(outcome) && SUCCEEDED(VariantChangeType(&result, &result, 0, VT_BOOL))
        && result.boolVal != VARIANT_FALSE;
    VariantClear(&result);
    return taken;
}

bool JawsApi::Connect()
{
    CLSID classId;
    if (FAILED(CLSIDFromProgID(L"FreedomSci.JawsApi", &classId)))
        return false;
    Microsoft::WRL::ComPtr<IDispatch> api;
    if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&api))))
        return false;
    wchar_t name[] = L"SayString";
    LPOLESTR names[] = {name};
    if (FAILED(api->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &m_sayString)))
        return false;
    m_api = api;
    return true;
}
