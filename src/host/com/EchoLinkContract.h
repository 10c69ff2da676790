#pragma once

#include <windows.h>

// What Parlox uses of EchoLink's automation objects, exactly as EchoLink publishes them.
namespace EchoLinkContract {

// {4CF5B97B-A0F5-41F3-848C-6E25FAB62AD3}: EchoLink's type library.
inline constexpr GUID kTypeLibrary = {0x4CF5B97B, 0xA0F5, 0x41F3, {0x84, 0x8C, 0x6E, 0x25, 0xFA, 0xB6, 0x2A, 0xD3}};

// The event object: created by class, used through its own dispatch interface, and the source
// of the two events.
inline constexpr CLSID kEventObjectClass
    = {0xD1FB3C9A, 0xBB2D, 0x446A, {0xA7, 0x4A, 0xE7, 0x71, 0xF1, 0x34, 0xED, 0x56}};
inline constexpr IID kEventObjectInterface
    = {0x7733112C, 0x4577, 0x4432, {0x9D, 0xB0, 0xA9, 0x39, 0x81, 0x84, 0xEA, 0xF6}};
inline constexpr IID kEventInterface = {0x6F55F7AF, 0x8DA6, 0x400F, {0x96, 0xEB, 0xC3, 0x71, 0xF0, 0x31, 0x16, 0x11}};

inline constexpr wchar_t kSetupConfigName[] = L"EchoLink.SetupConfig";
inline constexpr IID kSetupConfigInterface
    = {0xACD8531B, 0xB0CE, 0x4F14, {0x94, 0x05, 0x6A, 0xB8, 0xAC, 0x5C, 0x9E, 0xFA}};

inline constexpr wchar_t kSysopConfigName[] = L"EchoLink.SysopConfig";
inline constexpr IID kSysopConfigInterface
    = {0x899B1686, 0x3FBD, 0x4605, {0xB7, 0xFC, 0x2C, 0xF6, 0x79, 0xF0, 0xE7, 0xE5}};

// Operations are reached by their place among an interface's own operations, counted from 1
// after the seven entries (IUnknown's three, IDispatch's four) that every dispatch interface
// begins with.
inline constexpr int kDispatchEntries = 7;
inline constexpr int kReadStationCallPlace = 1; // of SetupConfig: property read, yields a BSTR
inline constexpr int kPostChatLinePlace = 34; // of the event object: one BSTR by value

// Places of the events in the event interface, counted from 1.
inline constexpr int kClosingPlace = 1;
inline constexpr int kChatTextReceivedPlace = 2;

} // namespace EchoLinkContract
