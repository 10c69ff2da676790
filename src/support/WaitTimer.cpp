#include "support/WaitTimer.h"

#include <chrono>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace {

// The one due time that every wait in progress shares. It lives while at least one wait holds
// it; arming it again moves the due time for all of them, and when it falls due every waiter
// leaves together.
struct SharedDueTime
{
    QTimer timer;
    int holders = 0;
};

SharedDueTime *shared = nullptr;

SharedDueTime &Hold()
{
    if (!shared) {
        shared = new SharedDueTime;
        shared->timer.setSingleShot(true);
        // A coarse timer may fire a little early; the wait must not end before its due time.
        shared->timer.setTimerType(Qt::PreciseTimer);
    }
    ++shared->holders;
    return *shared;
}

void Let(SharedDueTime &held)
{
    if (--held.holders > 0)
        return;
    delete shared;
    shared = nullptr;
}

} // namespace

void WaitSeconds(int seconds)
{
    SharedDueTime &held = Hold();
    held.timer.start(std::chrono::seconds(std::max(seconds, 0)));

    // The event loop sleeps in the event dispatcher and runs every window, timer and host event
    // that comes in meanwhile; it ends only when the shared due time is reached.
    QEventLoop loop;
    QObject::connect(&held.timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents();

    Let(held);
}
