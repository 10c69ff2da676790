#pragma once

#include "ComApartment.h"
#include "EchoLinkConnection.h"
#include "host/HostBinding.h"

// The host interface over EchoLink's own automation objects: EchoLinkConnection does the work,
// this only turns its callbacks into signals and its errors into HostError.
class ComHostBinding : public HostBinding
{
    Q_OBJECT

public:
    explicit ComHostBinding(QObject *parent = nullptr);

    void CreateEventObject() override;
    void CreateSetupConfig() override;
    void CreateSysopConfig() override;

    QString ReadStationCall() override;
    void PostChatLine(const QString &line) override;

    void Release() override;
    bool HearsReturn() const override { return false; }

private:
    // In this order, so that the connection lets go of EchoLink before the apartment is left.
    ComApartment m_apartment;
    EchoLinkConnection m_connection;
};
