#include "SubstituteHost.h"

#include <QDBusConnectionInterface>
#include <QDBusReply>

#include "HostAdaptors.h"

SubstituteHost::SubstituteHost(const QString &stationCall, bool refusePosts, bool offerSysopConfig, QObject *parent)
    : QObject(parent), m_eventObject(refusePosts), m_setupConfig(stationCall), m_offerSysopConfig(offerSysopConfig)
{
    new EventObjectAdaptor(&m_eventObject);
    new SetupConfigAdaptor(&m_setupConfig);
    new SysopConfigAdaptor(&m_sysopConfig);
    connect(&m_eventObject, &EventObject::LinePosted, this, &SubstituteHost::LinePosted);
    connect(&m_eventObject, &EventObject::Answering, this, &SubstituteHost::Answering);
    connect(&m_setupConfig, &SetupConfig::Answering, this, &SubstituteHost::Answering);
}

SubstituteHost::Offer SubstituteHost::OfferOn(QDBusConnection bus)
{
    const bool registered = bus.registerObject(QStringLiteral("/EventObject"), &m_eventObject)
        && bus.registerObject(QStringLiteral("/SetupConfig"), &m_setupConfig)
        && (!m_offerSysopConfig || bus.registerObject(QStringLiteral("/SysopConfig"), &m_sysopConfig));
    if (!registered)
        return Offer::Refused;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply
        = bus.interface()->registerService(QStringLiteral("org.parlox.Host"));
    if (!reply.isValid())
        return Offer::Refused;
    return reply.value() == QDBusConnectionInterface::ServiceRegistered ? Offer::Made : Offer::NameTaken;
}

void SubstituteHost::RaiseChat(const QString &text)
{
    emit m_eventObject.ChatTextReceived(text);
}

void SubstituteHost::RaiseClosing()
{
    emit m_eventObject.Closing();
}
