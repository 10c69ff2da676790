#include "SetupConfig.h"

SetupConfig::SetupConfig()
{
    StandInHost::Instance().Record(L"created SetupConfig");
}

SetupConfig::~SetupConfig()
{
    StandInHost::Instance().Record(L"released SetupConfig");
}

HRESULT STDMETHODCALLTYPE SetupConfig::get_StationCall(BSTR *callSign)
{
    const std::wstring &call = StandInHost::Instance().CallSign();
    *callSign = SysAllocStringLen(call.data(), static_cast<UINT>(call.size()));
    return S_OK;
}
