#pragma once

#include <functional>
#include <string>

// What the binding calls when EchoLink raises one of its two events, or is found gone. All run on
// the thread that created the event object: the events while it dispatches window messages, gone
// when one of its calls finds EchoLink's program no longer there.
struct EchoLinkEvents
{
    std::function<void()> closing;
    std::function<void(const std::wstring &text)> chatTextReceived;
    // EchoLink's program is no longer there: once for each attachment, never after Release.
    std::function<void()> gone;
};
