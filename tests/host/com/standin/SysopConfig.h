#pragma once

#include "DispatchObject.h"
#include "EchoLinkStandIn.h"

class SysopConfig : public DispatchObject<ISysopConfig, IID_ISysopConfig>
{
public:
    static constexpr wchar_t kName[] = L"sysop";

    SysopConfig();

private:
    ~SysopConfig() override;
};
