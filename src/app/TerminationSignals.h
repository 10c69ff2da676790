#pragma once

#include <QObject>

class QSocketNotifier;

// The signals by which a session, the system or a terminal ends a program from outside: SIGTERM,
// SIGHUP and SIGINT. Their handler does nothing but wake the event loop, as little may be done
// inside a signal handler; Received() then comes from the event loop, where the program can end
// its own way. Signals that come before the loop runs wait for it, and signals that come
// together bring one Received(). One object at a time in a program; until it is made, and after
// it is gone, the signals end the program at once, as by default.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void Received();

private:
    void Drain();

    QSocketNotifier *m_notifier = nullptr;
};
