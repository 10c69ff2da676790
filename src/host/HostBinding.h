#pragma once

#include <chrono>

#include <QObject>
#include <QString>

// What Parlox needs of the host program (EchoLink or a stand-in): three
// objects, two operations and two events. Each step may throw HostError.
//
// Creation is three separate steps because start-up waits between the first
// and the second. Events arrive as Qt signals on the user-interface thread.
class HostBinding : public QObject
{
    Q_OBJECT

public:
    // How long a call to the host may take, busy host included, before Parlox gives up on it:
    // the same on every platform.
    static constexpr std::chrono::milliseconds kAnswerLimit{3000};

    using QObject::QObject;
    ~HostBinding() override;

    // Creates the event object and subscribes to its two events.
    virtual void CreateEventObject() = 0;
    virtual void CreateSetupConfig() = 0;
    virtual void CreateSysopConfig() = 0;

    virtual QString ReadStationCall() = 0;
    virtual void PostChatLine(const QString &line) = 0;

    // Drops the event object (ending the subscription), then SetupConfig, then
    // SysopConfig. Never throws, never waits longer than kAnswerLimit, however
    // dead the host is; safe to call more than once.
    virtual void Release() = 0;

    // Whether this binding hears of a host that comes back on its own (Returned). Where it does
    // not, attaching again is up to the user: on Windows, creating EchoLink's objects would start
    // EchoLink.
    virtual bool HearsReturn() const = 0;

signals:
    void Closing();
    void ChatTextReceived(const QString &sText);
    // The host went away without announcing its closing (it crashed or was killed). Sent once
    // for each attachment, and never after Release.
    void Gone();
    // After Gone, a host is there again; the objects must be created anew.
    void Returned();
};
