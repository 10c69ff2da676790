#pragma once

#include <chrono>

#include <QDBusConnection>
#include <QDBusServiceWatcher>

#include "host/HostBinding.h"

class QDBusAbstractInterface;
class QDBusError;
class OrgParloxHostEventObjectInterface;
class OrgParloxHostSetupConfigInterface;
class OrgParloxHostSysopConfigInterface;

// The host on the D-Bus session bus: whichever program owns org.parlox.Host and offers the
// objects of org.parlox.Host.xml.
//
// Each object is bound to the connection that owned the name when the object was created, the
// way a COM reference is bound to one running server: calls go to that connection only, only
// its signals are heard (a signal any other client sends on the same path is ignored), and a
// host that has gone away is an error rather than silently replaced by the next owner.
//
// The binding follows the name: when the connection its event object is bound to loses the name
// without having announced its closing, that is Gone; when the name then has an owner again, that
// is Returned, and the objects created anew are bound to the new owner.
//
// Every call to the bus waits at most the call timeout, so a hung host cannot freeze the caller.
class DBusHostBinding : public HostBinding
{
    Q_OBJECT

public:
    explicit DBusHostBinding(const QDBusConnection &bus, QObject *parent = nullptr);
    DBusHostBinding(const QDBusConnection &bus, std::chrono::milliseconds callTimeout, QObject *parent = nullptr);

    void CreateEventObject() override;
    void CreateSetupConfig() override;
    void CreateSysopConfig() override;

    QString ReadStationCall() override;
    void PostChatLine(const QString &line) override;

    void Release() noexcept override;
    bool HearsReturn() const override { return true; }

private:
    template <class Proxy> void Create(Proxy *&held, const QString &path);
    template <class Proxy> Proxy *NewProxy(const QString &path);
    template <class Proxy> void Drop(Proxy *&proxy) noexcept;

    QString HostOwner() const;
    void RequireOwnInterface(const QDBusAbstractInterface &object) const;
    QString Describe(const QDBusError &error) const;
    void HearClosing();
    void HearOwnerChange(const QString &oldOwner, const QString &newOwner);

    QDBusConnection m_bus;
    std::chrono::milliseconds m_callTimeout;
    QDBusServiceWatcher m_nameWatcher;
    // The connection the event object is bound to while it may still go away unannounced; empty
    // before the event object, after its closing, after Gone and after Release.
    QString m_attachedOwner;
    // Gone was sent and nothing has been attached or released since: a new owner is Returned.
    bool m_awaitingReturn = false;
    OrgParloxHostEventObjectInterface *m_eventObject = nullptr;
    OrgParloxHostSetupConfigInterface *m_setupConfig = nullptr;
    OrgParloxHostSysopConfigInterface *m_sysopConfig = nullptr;
};
