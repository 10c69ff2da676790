#pragma once

#include <windows.h>

// What a failed call to EchoLink means for the one who made it.
enum class CallFailure {
    Refused, // EchoLink answered with an error: not done
    Busy, // EchoLink turned it away until Parlox gave up: not done
    Unanswered, // cut off without an answer: EchoLink may still carry it out
    Gone, // EchoLink's program is no longer there: not done
    GoneDuringCall, // EchoLink's program ended while it had the call: it may have been done
};

CallFailure ClassifyFailure(HRESULT result);

inline bool IsGone(CallFailure failure)
{
    return failure == CallFailure::Gone || failure == CallFailure::GoneDuringCall;
}
