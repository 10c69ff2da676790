#include "SysopConfig.h"

SysopConfig::SysopConfig()
{
    StandInHost::Instance().Record(L"created SysopConfig");
}

SysopConfig::~SysopConfig()
{
    StandInHost::Instance().Record(L"released SysopConfig");
}
