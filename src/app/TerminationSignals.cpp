#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kTerminationSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The handler writes into the first socket, the event loop reads from the second. They stay open
// to the program's end, as a signal may come at any moment until then.
int wakeUp[2] = {-1, -1};

void WakeEventLoop(int)
{
    const int savedErrno = errno;
    const char byte = 0;
    // A full socket has woken the loop already.
    [[maybe_unused]] const ssize_t written = write(wakeUp[0], &byte, 1);
    errno = savedErrno;
}

void Handle(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kTerminationSignals)
        sigaction(number, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    // Without the sockets the signals keep their default, and end the program at once.
    if (wakeUp[0] < 0 && socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, wakeUp) != 0)
        return;
    m_notifier = new QSocketNotifier(wakeUp[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::Drain);
    Handle(WakeEventLoop);
}

TerminationSignals::~TerminationSignals()
{
    if (m_notifier)
        Handle(SIG_DFL);
}

void TerminationSignals::Drain()
{
    char bytes[64];
    while (read(wakeUp[1], bytes, sizeof bytes) > 0) {}
    emit Received();
}
