#pragma once

#include <QTimer>

#include "ComApartment.h"
#include "EchoLinkConnection.h"
#include "host/HostBinding.h"

class ComError;
class HostError;

// The host interface over EchoLink's own automation objects: EchoLinkConnection does the work,
// this turns its callbacks into signals and its errors into HostError, and, while nothing else is
// asked of EchoLink, asks it every two seconds whether it is still there, so that an EchoLink
// that was ended without a word is noticed without the user sending anything.
class ComHostBinding : public HostBinding
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kAliveCheckInterval{2000};

    explicit ComHostBinding(QObject *parent = nullptr);

    void CreateEventObject() override;
    void CreateSetupConfig() override;
    void CreateSysopConfig() override;

    QString ReadStationCall() override;
    void PostChatLine(const QString &line) override;

    void Release() override;
    // Creating EchoLink's objects would start EchoLink: coming back is up to the user.
    bool HearsReturn() const override { return false; }

private:
    template <typename Step> auto Attempt(Step step);
    static HostError Translated(const ComError &error);

    // In this order, so that the connection lets go of EchoLink before the apartment is left,
    // and the timer is there for as long as the connection may stop it.
    ComApartment m_apartment;
    QTimer m_aliveCheck;
    EchoLinkConnection m_connection;
};
