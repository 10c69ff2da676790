#include "announce/ScreenReaderWatch.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace {

const QString kBusService = QStringLiteral("org.a11y.Bus");
const QString kBusPath = QStringLiteral("/org/a11y/bus");
const QString kStatus = QStringLiteral("org.a11y.Status");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kRegistryService = QStringLiteral("org.a11y.atspi.Registry");
const QString kRegistryPath = QStringLiteral("/org/a11y/atspi/registry");
const QString kRegistry = QStringLiteral("org.a11y.atspi.Registry");
// The start-up asks the buses, and a desktop that does not answer this soon has no screen reader
// worth waiting for.
constexpr int kStartLimit = 500;

QDBusMessage Call(const QString &service, const QString &path, const QString &interface, const QString &method,
                  const QVariantList &arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return message;
}

QDBusMessage ListenersQuestion()
{
    return Call(kRegistryService, kRegistryPath, kRegistry, QStringLiteral("GetRegisteredEvents"));
}

// The registry lists a listener by the events it asked for, as "Object:StateChanged:Showing"; a
// listener for "Object:" or "" hears that event too.
bool HearsShowing(QString event)
{
    while (event.endsWith(u':'))
        event.chop(1);
    const QString showing = QStringLiteral("object:statechanged:showing");
    return event.isEmpty()
        || (showing.startsWith(event, Qt::CaseInsensitive)
            && (event.size() == showing.size() || showing.at(event.size()) == u':'));
}

bool AnyHearsShowing(const QDBusArgument &listeners)
{
    bool heard = false;
    listeners.beginArray();
    while (!listeners.atEnd()) {
        QString address, event;
        listeners.beginStructure();
        listeners >> address >> event;
        listeners.endStructure();
        heard = heard || HearsShowing(event);
    }
    listeners.endArray();
    return heard;
}

} // namespace

ScreenReaderWatch::ScreenReaderWatch(const QDBusConnection &sessionBus)
    : m_session(sessionBus),
      m_busWatcher(new QDBusServiceWatcher(
          kBusService, m_session,
          QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this))
{
    connect(m_busWatcher, &QDBusServiceWatcher::serviceRegistered, this, &ScreenReaderWatch::Attach);
    connect(m_busWatcher, &QDBusServiceWatcher::serviceUnregistered, this, &ScreenReaderWatch::Detach);
    m_session.connect(kBusService, kBusPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                      SLOT(StatusChanged(QString, QVariantMap)));
    // A desktop without the accessibility bus running has no screen reader; one that starts later
    // starts the bus.
    if (m_session.isConnected() && m_session.interface()->isServiceRegistered(kBusService))
        Attach();
}

ScreenReaderWatch::~ScreenReaderWatch()
{
    Detach();
}

// Asks once, for a short while, so that the start-up knows the answer.
void ScreenReaderWatch::Attach()
{
    Detach();
    const QDBusMessage enabled = m_session.call(Call(kBusService, kBusPath, kProperties, QStringLiteral("Get"),
                                                     {kStatus, QStringLiteral("ScreenReaderEnabled")}),
                                                QDBus::Block, kStartLimit);
    m_enabled = enabled.type() == QDBusMessage::ReplyMessage && !enabled.arguments().isEmpty()
        && enabled.arguments().constFirst().value<QDBusVariant>().variant().toBool();
    const QDBusMessage address = m_session.call(Call(kBusService, kBusPath, kBusService, QStringLiteral("GetAddress")),
                                                QDBus::Block, kStartLimit);
    if (address.type() != QDBusMessage::ReplyMessage || address.arguments().isEmpty())
        return;
    static int attachments = 0;
    m_a11yName = QStringLiteral("parlox-screen-reader-watch-%1").arg(++attachments);
    QDBusConnection a11y = QDBusConnection::connectToBus(address.arguments().constFirst().toString(), m_a11yName);
    for (const char *signal : {"EventListenerRegistered", "EventListenerDeregistered"})
        a11y.connect(kRegistryService, kRegistryPath, kRegistry, QLatin1String(signal), this, SLOT(ListenersChanged()));
    ReadListeners(a11y.call(ListenersQuestion(), QDBus::Block, kStartLimit));
}

void ScreenReaderWatch::Detach()
{
    m_heard = false;
    m_enabled = false;
    if (m_a11yName.isEmpty())
        return;
    QDBusConnection::disconnectFromBus(m_a11yName);
    m_a11yName.clear();
}

void ScreenReaderWatch::StatusChanged(const QString &interface, const QVariantMap &changed)
{
    if (interface == kStatus && changed.contains(QStringLiteral("ScreenReaderEnabled")))
        m_enabled = changed.value(QStringLiteral("ScreenReaderEnabled")).toBool();
}

// Listeners come and go by the dozen as a screen reader starts or quits: one question at a time,
// and one more after it if anything changed meanwhile.
void ScreenReaderWatch::ListenersChanged()
{
    if (m_asking) {
        m_askAgain = true;
        return;
    }
    m_asking = true;
    auto *call = new QDBusPendingCallWatcher(QDBusConnection(m_a11yName).asyncCall(ListenersQuestion()), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        m_asking = false;
        ReadListeners(finished->reply());
        if (std::exchange(m_askAgain, false))
            ListenersChanged();
    });
}

void ScreenReaderWatch::ReadListeners(const QDBusMessage &reply)
{
    m_heard = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
        && AnyHearsShowing(reply.arguments().constFirst().value<QDBusArgument>());
}
