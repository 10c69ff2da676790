#pragma once

#include <functional>
#include <string>

// What the binding calls when EchoLink raises one of its two events. Both run on the thread that
// created the event object, while it dispatches window messages.
struct EchoLinkEvents
{
    std::function<void()> closing;
    std::function<void(const std::wstring &text)> chatTextReceived;
};
