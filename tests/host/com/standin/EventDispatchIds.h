#pragma once

#include <oaidl.h>

// The stand-in's event identifiers, as EchoLinkStandIn.idl gives them: neither 1 nor 2 for the
// two events Parlox handles, and 1 for one it has no use for.
namespace EventDispatchIds {
inline constexpr DISPID kClosing = 7;
inline constexpr DISPID kChatTextReceived = 3;
inline constexpr DISPID kStationConnected = 1;
} // namespace EventDispatchIds
