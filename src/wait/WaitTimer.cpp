#include "wait/WaitTimer.h"

#include <chrono>
#include <memory>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace {

// The one due time that every wait in progress shares, like a named timer: it lives while a wait
// holds it, arming it again moves the due time for all of them, and when it falls due every
// waiter leaves together.
std::shared_ptr<QTimer> SharedDueTime()
{
    static std::weak_ptr<QTimer> shared;
    if (std::shared_ptr<QTimer> timer = shared.lock())
        return timer;
    auto timer = std::make_shared<QTimer>();
    timer->setSingleShot(true);
    // A coarse timer may fire a little early; the wait must not end before its due time.
    timer->setTimerType(Qt::PreciseTimer);
    shared = timer;
    return timer;
}

} // namespace

void WaitSeconds(int seconds)
{
    const std::shared_ptr<QTimer> dueTime = SharedDueTime();
    dueTime->start(std::chrono::seconds(std::max(seconds, 0)));

    // The event loop sleeps in the event dispatcher and runs every window, timer and host event
    // that comes in meanwhile; it ends when the shared due time is reached, or when the program
    // is asked to quit (QCoreApplication::exit ends every event loop).
    QEventLoop loop;
    QObject::connect(dueTime.get(), &QTimer::timeout, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents();
}
