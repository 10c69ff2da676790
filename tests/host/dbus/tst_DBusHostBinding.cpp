#include <csignal>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include "host/HostError.h"
#include "host/dbus/DBusHostBinding.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// The contract's names, as the host offers them.
const QString kName = u"org.parlox.Host"_s, kEventPath = u"/EventObject"_s;
const QString kEventInterface = u"org.parlox.Host.EventObject"_s;

// How a call fails: the outcome's number and the reason, or "none" when it does not fail.
QString Failure(const std::function<void()> &call)
{
    try {
        call();
    } catch (const HostError &error) {
        return u"%1 %2"_s.arg(int(error.outcome())).arg(error.reason());
    }
    return u"none"_s;
}

// build/substitute-host on the test's private bus, fed commands on its input, and a binding for
// it; QProcess kills the host when this goes. A host that did not come up fails the first creation.
struct Host : QProcess
{
    explicit Host(const QStringList &arguments = {}, std::chrono::milliseconds timeout = 5s)
        : binding(QDBusConnection::sessionBus(), timeout)
    {
        setStandardOutputFile(nullDevice());
        start(QStringLiteral(SUBSTITUTE_HOST), arguments);
        // Owned by this host, not one that is still on its way out.
        (void)QTest::qWaitFor(
            [this] { return QDBusConnection::sessionBus().interface()->servicePid(kName).value() == processId(); });
    }
    Host &Attach()
    {
        binding.CreateEventObject();
        binding.CreateSetupConfig();
        binding.CreateSysopConfig();
        return *this;
    }
    DBusHostBinding binding;
    QSignalSpy chat{&binding, &HostBinding::ChatTextReceived};
    QSignalSpy closing{&binding, &HostBinding::Closing};
};

} // namespace

// What lines and texts do between the real binding and the real substitute host in the common
// case, the end-to-end tests show; these are the binding's own rules.
class tst_DBusHostBinding : public QObject
{
    Q_OBJECT

private slots:
    // A line with a NUL, which a bus string would cut short, is refused. Only the host's own
    // signals count, not those another program sends under its names.
    void onlyTheHostsOwnSignalsCount()
    {
        Host a;
        a.Attach();
        QVERIFY(Failure([&] { a.binding.PostChatLine(u"before\0after"_s); }).startsWith(u"0 "));
        QDBusConnection forger = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"forger"_s);
        const QString us = QDBusConnection::sessionBus().baseService();
        QVERIFY(forger.send(QDBusMessage::createSignal(kEventPath, kEventInterface, u"ChatTextReceived"_s) << u"x"_s));
        QVERIFY(forger.send(QDBusMessage::createTargetedSignal(us, kEventPath, kEventInterface, u"ChatTextReceived"_s)
                            << u"x"_s));
        QVERIFY(forger.send(QDBusMessage::createSignal(kEventPath, kEventInterface, u"Closing"_s)));
        // A round trip through the bus: the forgeries are on their way to us before the host speaks.
        QVERIFY(forger.interface()->isServiceRegistered(kName));
        a.write("closing\nchat real\n");
        QTRY_COMPARE(a.chat.size(), 1);
        QCOMPARE(a.chat.at(0).at(0).toString(), u"real"_s);
        QCOMPARE(a.closing.size(), 1);
    }

    // After the release nothing comes in and nothing goes out; releasing from the handler of
    // the host's closing is safe and ends the subscription there.
    void releaseEndsTheSubscription()
    {
        Host a;
        a.Attach();
        DBusHostBinding witness(QDBusConnection::sessionBus());
        QSignalSpy witnessed(&witness, &HostBinding::Closing);
        witness.CreateEventObject();
        connect(&a.binding, &HostBinding::Closing, &a.binding, &HostBinding::Release);
        a.write("closing\nchat after the release\nclosing\n");
        QTRY_COMPARE(witnessed.size(), 2);
        QCOMPARE(a.closing.size() + a.chat.size(), 1);
        QVERIFY(Failure([&] { a.binding.PostChatLine(u"after the release"_s); }) != u"none"_s);
        QVERIFY(Failure([&] { a.binding.ReadStationCall(); }) != u"none"_s);
    }

    // Without a host, or the host's objects with their own interfaces, creation fails and says
    // what is missing.
    void creationFailsWithoutTheHostsObjects()
    {
        DBusHostBinding binding(QDBusConnection::sessionBus());
        QVERIFY(Failure([&] { binding.CreateEventObject(); }).contains(kName));
        {
            Host host({u"--no-sysop"_s});
            host.binding.CreateSetupConfig();
            QVERIFY(Failure([&] { host.binding.CreateSysopConfig(); }).contains(u"/SysopConfig"));
        }
        // A program that owns the name but offers nothing at all.
        QDBusConnection impostor = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"impostor"_s);
        QVERIFY(impostor.registerService(kName));
        QVERIFY(Failure([&] { binding.CreateEventObject(); }).contains(kEventPath));
        QDBusConnection::disconnectFromBus(u"impostor"_s);
    }

    // A refused line was not sent; a line to a host that does not answer in time may still
    // arrive; a host that left is not replaced by the next program to take the name.
    void failedPostsSayWhetherTheLineMayArrive()
    {
        {
            Host refusing({u"--fail-post"_s});
            refusing.Attach();
            const QString failure = Failure([&] { refusing.binding.PostChatLine(u"refused"_s); });
            QVERIFY2(failure.startsWith(u"0 ") && failure.contains(u"refuses"), qPrintable(failure));
        }
        {
            Host hung({}, 1s);
            hung.Attach();
            ::kill(pid_t(hung.processId()), SIGSTOP);
            QElapsedTimer clock;
            clock.start();
            const QString failure = Failure([&] { hung.binding.PostChatLine(u"into the void"_s); });
            QVERIFY2(failure.startsWith(u"1 The host did not answer within 1 seconds"), qPrintable(failure));
            QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        }
        Host gone;
        gone.Attach().kill();
        Host next;
        QVERIFY(Failure([&] { gone.binding.PostChatLine(u"to the old host"_s); }).startsWith(u"0 "));
    }
};

QTEST_GUILESS_MAIN(tst_DBusHostBinding)
#include "tst_DBusHostBinding.moc"
