#pragma once

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
    using QObject::QObject;
    ~HostBinding() override;

    // Creates the event object and subscribes to its two events.
    virtual void CreateEventObject() = 0;
    virtual void CreateSetupConfig() = 0;
    virtual void CreateSysopConfig() = 0;

    virtual QString ReadStationCall() = 0;
    virtual void PostChatLine(const QString &line) = 0;

    // Drops the event object (ending the subscription), then SetupConfig, then
    // SysopConfig. Never throws; safe to call more than once.
    virtual void Release() = 0;

signals:
    void Closing();
    void ChatTextReceived(const QString &sText);
};
