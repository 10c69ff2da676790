// A stand-in for JAWS's automation object, as Freedom Scientific publishes it: the class
// "FreedomSci.JawsApi" {CCE5B1E5-B2ED-45D5-B09F-8EC54B75ABF4}, served in process, with the dual
// interface IJawsApi {123DEDB4-2CF6-429C-A2AB-CC809E5516CE}:
//   RunScript(ScriptName) -> BOOL                    dispid 1
//   SayString(StringToSpeak, bFlush) -> BOOL         dispid 2
//   StopSpeech()                                     dispid 3
//   Enable(vbNoDDIHooks) -> BOOL                     dispid 4
//   Disable() -> BOOL                                dispid 5
//   RunFunction(FunctionName) -> BOOL                dispid 6
// SayString answers TRUE when JAWS runs and has taken the text, FALSE otherwise, and returns
// before the text is spoken. Only SayString does anything here. "regsvr32 jaws_standin.dll"
// registers it, "regsvr32 /u" removes it.
//
// A test tells it through environment variables what to do:
//   JAWS_STANDIN_RECORD   a file that gets a line for every SayString: "SayString flush=0|1:
//                         TEXT" with TEXT escaped (\r, \n, \t, \\), or "not running"
//   JAWS_STANDIN_RUNNING  "no": JAWS is installed but does not run, and takes nothing

#include "line_escaping/LineEscaping.h"

#include <oaidl.h>
#include <olectl.h>
#include <windows.h>

#include <fstream>
#include <string>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

const CLSID kClassId = {0xCCE5B1E5, 0xB2ED, 0x45D5, {0xB0, 0x9F, 0x8E, 0xC5, 0x4B, 0x75, 0xAB, 0xF4}};
const IID kInterfaceId = {0x123DEDB4, 0x2CF6, 0x429C, {0xA2, 0xAB, 0xCC, 0x80, 0x9E, 0x55, 0x16, 0xCE}};
const wchar_t kProgId[] = L"FreedomSci.JawsApi";

long objects;

std::wstring Environment(const wchar_t *name)
{
    wchar_t value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

void Record(const std::wstring &line)
{
    const std::wstring text = line + L"\n";
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                                    static_cast<int>(utf8.size()), nullptr, nullptr));
    const std::wstring path = Environment(L"JAWS_STANDIN_RECORD");
    if (!path.empty())
        std::ofstream(path.c_str(), std::ios::app | std::ios::binary) << utf8;
}

// The interface in its published order, after IDispatch's own seven.
struct IJawsApi : public IDispatch
{
    virtual HRESULT STDMETHODCALLTYPE RunScript(BSTR scriptName, VARIANT_BOOL *success) = 0;
    virtual HRESULT STDMETHODCALLTYPE SayString(BSTR stringToSpeak, VARIANT_BOOL flush, VARIANT_BOOL *success) = 0;
    virtual HRESULT STDMETHODCALLTYPE StopSpeech() = 0;
    virtual HRESULT STDMETHODCALLTYPE Enable(VARIANT_BOOL noDdiHooks, VARIANT_BOOL *success) = 0;
    virtual HRESULT STDMETHODCALLTYPE Disable(VARIANT_BOOL *success) = 0;
    virtual HRESULT STDMETHODCALLTYPE RunFunction(BSTR functionName, VARIANT_BOOL *success) = 0;
};

struct Member
{
    const wchar_t *name;
    DISPID id;
};
const Member kMembers[]
    = {{L"RunScript", 1}, {L"SayString", 2}, {L"StopSpeech", 3}, {L"Enable", 4}, {L"Disable", 5}, {L"RunFunction", 6}};
constexpr DISPID kSayString = 2;

std::wstring Text(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

class JawsApi : public IJawsApi
{
public:
    JawsApi() { InterlockedIncrement(&objects); }
    virtual ~JawsApi() { InterlockedDecrement(&objects); }

    STDMETHODIMP QueryInterface(REFIID iid, void **object) override
    {
        *object = iid == IID_IUnknown || iid == IID_IDispatch || iid == kInterfaceId ? this : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_references); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return left;
    }

    STDMETHODIMP GetTypeInfoCount(UINT *count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **info) override
    {
        *info = nullptr;
        return DISP_E_BADINDEX;
    }
    // Names are matched without regard to case, as automation does.
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override
    {
        HRESULT result = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (const Member &member : kMembers) {
                if (i == 0 && lstrcmpiW(names[i], member.name) == 0)
                    ids[i] = member.id;
            }
            if (ids[i] == DISPID_UNKNOWN)
                result = DISP_E_UNKNOWNNAME;
        }
        return result;
    }
    // Only SayString is served; its arguments come last first, each converted to its declared
    // type, as the type library's own dispatch would.
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result, EXCEPINFO *,
                        UINT *wrongArgument) override
    {
        if (id != kSayString || !(flags & DISPATCH_METHOD))
            return DISP_E_MEMBERNOTFOUND;
        if (params->cNamedArgs != 0)
            return DISP_E_NONAMEDARGS;
        if (params->cArgs != 2)
            return DISP_E_BADPARAMCOUNT;
        VARIANT text, flush;
        VariantInit(&text);
        VariantInit(&flush);
        VARIANT_BOOL success = VARIANT_FALSE;
        HRESULT outcome = VariantChangeType(&text, &params->rgvarg[1], 0, VT_BSTR);
        if (FAILED(outcome) && wrongArgument)
            *wrongArgument = 1;
        if (SUCCEEDED(outcome)) {
            outcome = VariantChangeType(&flush, &params->rgvarg[0], 0, VT_BOOL);
            if (FAILED(outcome) && wrongArgument)
                *wrongArgument = 0;
        }
        if (SUCCEEDED(outcome))
            outcome = SayString(text.bstrVal, flush.boolVal, &success);
        VariantClear(&text);
        VariantClear(&flush);
        if (FAILED(outcome))
            return DISP_E_TYPEMISMATCH;
        if (result) {
            VariantInit(result);
            result->vt = VT_BOOL;
            result->boolVal = success;
        }
        return S_OK;
    }

    STDMETHODIMP SayString(BSTR stringToSpeak, VARIANT_BOOL flush, VARIANT_BOOL *success) override
    {
        *success = Environment(L"JAWS_STANDIN_RUNNING") == L"no" ? VARIANT_FALSE : VARIANT_TRUE;
        if (*success)
            Record(std::wstring(L"SayString flush=") + (flush ? L"1" : L"0") + L": " + EscapeLine(Text(stringToSpeak)));
        else
            Record(L"not running");
        return S_OK;
    }
    // The rest of the interface holds its places; Parlox has no use for it.
    STDMETHODIMP RunScript(BSTR, VARIANT_BOOL *) override { return E_NOTIMPL; }
    STDMETHODIMP StopSpeech() override { return E_NOTIMPL; }
    STDMETHODIMP Enable(VARIANT_BOOL, VARIANT_BOOL *) override { return E_NOTIMPL; }
    STDMETHODIMP Disable(VARIANT_BOOL *) override { return E_NOTIMPL; }
    STDMETHODIMP RunFunction(BSTR, VARIANT_BOOL *) override { return E_NOTIMPL; }

private:
    LONG m_references = 1;
};

class Factory : public IClassFactory
{
public:
    STDMETHODIMP QueryInterface(REFIID iid, void **object) override
    {
        *object = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown *outer, REFIID iid, void **object) override
    {
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        JawsApi *api = new JawsApi;
        const HRESULT result = api->QueryInterface(iid, object);
        api->Release();
        return result;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};
Factory factory;

std::wstring ClassKey()
{
    wchar_t id[40];
    StringFromGUID2(kClassId, id, 40);
    return std::wstring(L"CLSID\\") + id;
}

LSTATUS SetValue(const std::wstring &key, const wchar_t *name, const std::wstring &value)
{
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

} // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID id, REFIID iid, void **object)
{
    *object = nullptr;
    return id == kClassId ? factory.QueryInterface(iid, object) : CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return objects == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    wchar_t path[MAX_PATH];
    const std::wstring module(path, GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), path, MAX_PATH));
    wchar_t id[40];
    StringFromGUID2(kClassId, id, 40);
    const bool written = SetValue(ClassKey() + L"\\InprocServer32", nullptr, module) == ERROR_SUCCESS
        && SetValue(ClassKey() + L"\\InprocServer32", L"ThreadingModel", L"Apartment") == ERROR_SUCCESS
        && SetValue(ClassKey() + L"\\ProgID", nullptr, kProgId) == ERROR_SUCCESS
        && SetValue(std::wstring(kProgId) + L"\\CLSID", nullptr, id) == ERROR_SUCCESS;
    return written ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey().c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    return S_OK;
}
