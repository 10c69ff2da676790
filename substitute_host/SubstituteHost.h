#pragma once

#include <QDBusConnection>
#include <QObject>

#include "EventObject.h"
#include "SetupConfig.h"

// The three objects a host offers, and the name org.parlox.Host that tells clients where they are.
class SubstituteHost : public QObject
{
    Q_OBJECT

public:
    enum class Offer { Made, NameTaken, Refused };

    SubstituteHost(const QString &stationCall, bool refusePosts, bool offerSysopConfig, QObject *parent = nullptr);

    // Puts the objects on the bus first and takes the name last, so that a client that sees the
    // name finds every object in place.
    Offer OfferOn(QDBusConnection bus);

    void RaiseChat(const QString &text);
    void RaiseClosing();

signals:
    void LinePosted(const QString &line);
    // A client's call of one of the host's methods is about to be answered: whatever is
    // connected here runs before the client has its answer.
    void Answering(const QString &method);

private:
    EventObject m_eventObject;
    SetupConfig m_setupConfig;
    QObject m_sysopConfig;
    bool m_offerSysopConfig;
};
