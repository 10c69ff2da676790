#pragma once

#include <oaidl.h>

// The dispatch identifiers under which the event object raises its first and second event.
struct EventDispids
{
    DISPID closing;
    DISPID chatTextReceived;
};

// Reads them from the event interface's type information: the one the event object offers, else
// the registered type library, whatever its version. Only where neither can be had are they
// taken to be 1 and 2.
EventDispids ReadEventDispids(IDispatch *eventObject);
