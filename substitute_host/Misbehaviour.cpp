#include "Misbehaviour.h"

#include <csignal>
#include <thread>

#include <unistd.h>

void StayBusy(std::chrono::milliseconds period)
{
    std::this_thread::sleep_for(period);
}

void HangForGood()
{
    for (;;)
        ::pause();
}

void Crash()
{
    // The one end no handler can soften, exactly what a test's kill -9 does.
    ::raise(SIGKILL);
}
