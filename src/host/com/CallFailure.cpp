#include "CallFailure.h"

CallFailure ClassifyFailure(HRESULT result)
{
    switch (result) {
        case RPC_E_CALL_REJECTED:
        case RPC_E_SERVERCALL_RETRYLATER:
            return CallFailure::Busy;
        case RPC_E_CALL_CANCELED:
        case RPC_E_TIMEOUT:
            return CallFailure::Unanswered;
        // Said of a call that COM could not deliver, or that the server did not start on.
        case RPC_E_DISCONNECTED:
        case RPC_E_SERVER_DIED_DNE:
        case RPC_E_CONNECTION_TERMINATED:
        case CO_E_OBJNOTCONNECTED:
        case CO_E_SERVER_STOPPING:
        case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
        case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE):
            return CallFailure::Gone;
        // Said of a call that the server may have carried out before it ended.
        case RPC_E_SERVER_DIED:
        case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
            return CallFailure::GoneDuringCall;
        default:
            return CallFailure::Refused;
    }
}
