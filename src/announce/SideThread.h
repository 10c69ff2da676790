#pragma once

#include <functional>
#include <memory>

class QObject;
class QThread;

// A thread of its own for a library whose calls may block for good (a speech server or a sound
// server that does not answer), so that the window never waits for it. Jobs run there one after
// another; their answers come back to the thread that made this one. The window's thread never
// waits for a job, and at the end it waits only a moment: a thread still stuck then is left to
// the end of the program.
class SideThread
{
public:
    SideThread();
    ~SideThread();

    // Runs an answer on the thread that made the side thread, unless that one is gone by then.
    // Jobs keep a copy: it stays safe to call after the end.
    using Answerer = std::function<void(std::function<void()> answer)>;

    // Runs the job on the side thread, after the jobs before it.
    void Post(std::function<void()> job);
    Answerer Answers() const;
    // An object that lives on the side thread, to parent what jobs make there and to receive
    // their signals; it goes, with its children, on the side thread at the end.
    QObject *Home() const { return m_home; }

private:
    struct Mailbox;
    std::shared_ptr<Mailbox> m_mailbox;
    QThread *m_thread;
    QObject *m_home;
};
