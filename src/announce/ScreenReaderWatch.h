#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

class QDBusMessage;
class QDBusServiceWatcher;

// Whether a screen reader runs on this desktop, kept current by the buses' own signals so that
// asking never waits. Two things must both hold: the desktop says it has turned its screen reader
// on (ScreenReaderEnabled of org.a11y.Status on the session bus), and something on the
// accessibility bus listens for objects being shown. The desktop's flag stays set when the screen
// reader quits or crashes; its listeners go with it.
class ScreenReaderWatch : public QObject
{
    Q_OBJECT

public:
    explicit ScreenReaderWatch(const QDBusConnection &sessionBus);
    ~ScreenReaderWatch() override;

    bool Running() const { return m_enabled && m_heard; }

private slots:
    void StatusChanged(const QString &interface, const QVariantMap &changed);
    void ListenersChanged();

private:
    void Attach();
    void Detach();
    void ReadListeners(const QDBusMessage &reply);

    QDBusConnection m_session;
    QDBusServiceWatcher *m_busWatcher;
    // The accessibility bus, a bus of its own whose address the session bus gives.
    QString m_a11yName;
    bool m_enabled = false;
    bool m_heard = false;
    bool m_asking = false;
    bool m_askAgain = false;
};
