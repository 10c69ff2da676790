#include "announce/SideThread.h"

#include <mutex>

#include <QObject>
#include <QThread>

namespace {

// How long the end of the program waits for a job still running.
constexpr int kEndLimit = 1000;

} // namespace

// Where answers go: cleared at the end under the lock, so that no job answers into an object
// that is gone.
struct SideThread::Mailbox
{
    std::mutex lock;
    QObject *receiver;
};

SideThread::SideThread() : m_mailbox(std::make_shared<Mailbox>()), m_thread(new QThread), m_home(new QObject)
{
    m_mailbox->receiver = new QObject;
    m_home->moveToThread(m_thread);
    m_thread->start();
}

SideThread::~SideThread()
{
    {
        const std::lock_guard guard(m_mailbox->lock);
        delete std::exchange(m_mailbox->receiver, nullptr);
    }
    m_home->deleteLater();
    m_thread->quit();
    if (m_thread->wait(kEndLimit))
        delete m_thread;
}

void SideThread::Post(std::function<void()> job)
{
    QMetaObject::invokeMethod(m_home, std::move(job), Qt::QueuedConnection);
}

SideThread::Answerer SideThread::Answers() const
{
    return [mailbox = m_mailbox](std::function<void()> answer) {
        const std::lock_guard guard(mailbox->lock);
        if (mailbox->receiver)
            QMetaObject::invokeMethod(mailbox->receiver, std::move(answer), Qt::QueuedConnection);
    };
}
