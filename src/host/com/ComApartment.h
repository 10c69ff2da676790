#pragma once

#include <objbase.h>

// Joins the calling thread to a single-threaded COM apartment for the object's lifetime, so that
// EchoLink's events arrive on this thread while it dispatches window messages. Where the thread
// has joined one already (the window toolkit may have), this only adds to its count.
class ComApartment
{
public:
    ComApartment() : m_joined(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment()
    {
        if (m_joined)
            CoUninitialize();
    }
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;

private:
    bool m_joined;
};
