#include "DBusHostBinding.h"

#include <QDBusMessage>
#include <QDBusPendingReply>

#include "HostProxies.h"
#include "IntrospectionXml.h"
#include "host/HostError.h"

namespace {

const QString kHostName = QStringLiteral("org.parlox.Host");
const QString kEventObjectPath = QStringLiteral("/EventObject");
const QString kSetupConfigPath = QStringLiteral("/SetupConfig");
const QString kSysopConfigPath = QStringLiteral("/SysopConfig");

QString DescribeTimeout(std::chrono::milliseconds timeout)
{
    if (timeout.count() % 1000 == 0)
        return QStringLiteral("%1 seconds").arg(timeout.count() / 1000);
    return QStringLiteral("%1 ms").arg(timeout.count());
}

bool IsTimeout(const QDBusError &error)
{
    return error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout
        || error.type() == QDBusError::TimedOut;
}

} // namespace

DBusHostBinding::DBusHostBinding(const QDBusConnection &bus, QObject *parent)
    : DBusHostBinding(bus, kAnswerLimit, parent)
{
}

DBusHostBinding::DBusHostBinding(const QDBusConnection &bus, std::chrono::milliseconds callTimeout, QObject *parent)
    : HostBinding(parent), m_bus(bus), m_callTimeout(callTimeout),
      m_nameWatcher(kHostName, bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    // Owner changes, not registrations: a host that takes the name over from the old one in a
    // single change is gone and back as much as one that comes after a gap.
    connect(&m_nameWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &oldOwner, const QString &newOwner) {
                HearOwnerChange(oldOwner, newOwner);
            });
}

void DBusHostBinding::CreateEventObject()
{
    Drop(m_eventObject);
    m_attachedOwner.clear();
    auto *eventObject = NewProxy<OrgParloxHostEventObjectInterface>(kEventObjectPath);
    // Subscribe before looking at the object: the bus takes the subscription before it passes the
    // introspection call on, so no event the host raises after that answer can be missed.
    connect(eventObject, &OrgParloxHostEventObjectInterface::Closing, this, &DBusHostBinding::HearClosing);
    connect(eventObject, &OrgParloxHostEventObjectInterface::ChatTextReceived, this, &HostBinding::ChatTextReceived);
    m_eventObject = eventObject;
    try {
        RequireOwnInterface(*eventObject);
    } catch (const HostError &) {
        Drop(m_eventObject);
        throw;
    }
    // The owner's departure is heard on the same connection after this answer, so it cannot
    // slip past between the two.
    m_attachedOwner = eventObject->service();
    m_awaitingReturn = false;
}

void DBusHostBinding::CreateSetupConfig()
{
    Create(m_setupConfig, kSetupConfigPath);
}

void DBusHostBinding::CreateSysopConfig()
{
    Create(m_sysopConfig, kSysopConfigPath);
}

QString DBusHostBinding::ReadStationCall()
{
    if (!m_setupConfig)
        throw HostError(QStringLiteral("The host's SetupConfig object has not been created."));
    QDBusPendingReply<QString> reply = m_setupConfig->ReadStationCall();
    reply.waitForFinished();
    if (reply.isError())
        throw HostError(Describe(reply.error()));
    return reply.value();
}

void DBusHostBinding::PostChatLine(const QString &line)
{
    if (!m_eventObject)
        throw HostError(QStringLiteral("The host's event object has not been created."));
    // A bus string ends at its first NUL: the host would get a shortened line and report success.
    if (line.contains(QChar::Null))
        throw HostError(QStringLiteral("The line holds a NUL character, which the session bus cannot carry."));
    QDBusPendingReply<> reply = m_eventObject->PostChatLine(line);
    reply.waitForFinished();
    if (!reply.isError())
        return;
    // Without an answer nobody knows: a slow host may still pass the line on after the timeout.
    const QDBusError error = reply.error();
    throw HostError(Describe(error), IsTimeout(error) ? HostError::Outcome::Unknown : HostError::Outcome::NotDone);
}

void DBusHostBinding::Release() noexcept
{
    m_attachedOwner.clear();
    m_awaitingReturn = false;
    Drop(m_eventObject);
    Drop(m_setupConfig);
    Drop(m_sysopConfig);
}

template <class Proxy> void DBusHostBinding::Create(Proxy *&held, const QString &path)
{
    Drop(held);
    auto *object = NewProxy<Proxy>(path);
    try {
        RequireOwnInterface(*object);
    } catch (const HostError &) {
        Drop(object);
        throw;
    }
    held = object;
}

template <class Proxy> Proxy *DBusHostBinding::NewProxy(const QString &path)
{
    auto *proxy = new Proxy(HostOwner(), path, m_bus, this);
    proxy->setTimeout(static_cast<int>(m_callTimeout.count()));
    return proxy;
}

template <class Proxy> void DBusHostBinding::Drop(Proxy *&proxy) noexcept
{
    if (!proxy)
        return;
    // Disconnecting ends the subscription at once. The proxy itself goes later: a handler of one
    // of its own signals may be what released the host.
    proxy->disconnect(this);
    proxy->deleteLater();
    proxy = nullptr;
}

// The unique name of the connection that owns org.parlox.Host right now.
QString DBusHostBinding::HostOwner() const
{
    if (!m_bus.isConnected()) {
        const QString detail = m_bus.lastError().message();
        throw HostError(detail.isEmpty()
                            ? QStringLiteral("There is no session bus to find the host on.")
                            : QStringLiteral("There is no session bus to find the host on: %1").arg(detail));
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    call << kHostName;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, static_cast<int>(m_callTimeout.count()));
    if (reply.type() == QDBusMessage::ErrorMessage) {
        const QDBusError error(reply);
        if (error.name() == u"org.freedesktop.DBus.Error.NameHasNoOwner")
            throw HostError(QStringLiteral("No program offers %1 on the session bus.").arg(kHostName));
        throw HostError(Describe(error));
    }
    return reply.arguments().value(0).toString();
}

void DBusHostBinding::RequireOwnInterface(const QDBusAbstractInterface &object) const
{
    const QDBusMessage call = QDBusMessage::createMethodCall(object.service(), object.path(),
                                                             QStringLiteral("org.freedesktop.DBus.Introspectable"),
                                                             QStringLiteral("Introspect"));
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, static_cast<int>(m_callTimeout.count()));
    if (reply.type() == QDBusMessage::ErrorMessage)
        throw HostError(QStringLiteral("The host's object %1 cannot be reached: %2")
                            .arg(object.path(), Describe(QDBusError(reply))));
    if (!NodeOffersInterface(reply.arguments().value(0).toString(), object.interface()))
        throw HostError(
            QStringLiteral("The host has no object %1 offering %2.").arg(object.path(), object.interface()));
}

QString DBusHostBinding::Describe(const QDBusError &error) const
{
    if (IsTimeout(error))
        return QStringLiteral("The host did not answer within %1.").arg(DescribeTimeout(m_callTimeout));
    switch (error.type()) {
        case QDBusError::ServiceUnknown:
            return QStringLiteral("The host has left the session bus.");
        case QDBusError::Disconnected:
            return QStringLiteral("The connection to the session bus is lost.");
        default:
            return error.message().isEmpty() ? error.name() : error.message();
    }
}

void DBusHostBinding::HearClosing()
{
    // A host that said it is closing and then leaves has not gone away unannounced.
    m_attachedOwner.clear();
    emit Closing();
}

void DBusHostBinding::HearOwnerChange(const QString &oldOwner, const QString &newOwner)
{
    if (!m_attachedOwner.isEmpty() && oldOwner == m_attachedOwner) {
        m_attachedOwner.clear();
        m_awaitingReturn = true;
        emit Gone();
    }
    // Checked again: a handler of Gone may have released the host. Until the event object is
    // created anew, every new owner is a return, in case the one before could not be attached.
    if (m_awaitingReturn && !newOwner.isEmpty())
        emit Returned();
}
