#pragma once

#include "DispatchObject.h"
#include "EchoLinkStandIn.h"

class SetupConfig : public DispatchObject<ISetupConfig, IID_ISetupConfig>
{
public:
    static constexpr wchar_t kName[] = L"setup";

    SetupConfig();
    HRESULT STDMETHODCALLTYPE get_StationCall(BSTR *callSign) override;

private:
    ~SetupConfig() override;
};
