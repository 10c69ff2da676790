#pragma once

#include <QString>

#include <oaidl.h>
#include <wrl/client.h>

// JAWS's own automation object, "FreedomSci.JawsApi", which JAWS installs: it speaks what it is
// handed whether Parlox is in front or not. Bound by name, as scripts bind it, so that any
// version of JAWS that knows SayString serves.
class JawsApi
{
public:
    // Hands the text to JAWS to speak after what it is saying; false where JAWS is not
    // installed, does not run or did not take the text. Returns before the text is spoken.
    bool SayString(const QString &text);

private:
    bool Connect();

    Microsoft::WRL::ComPtr<IDispatch> m_api;
    DISPID m_sayString = DISPID_UNKNOWN;
};
