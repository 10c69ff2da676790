#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include "host/HostError.h"
#include "host/dbus/DBusHostBinding.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// The name the host owns on the bus, as the contract gives it.
const QString kName = u"org.parlox.Host"_s;

// How a call fails: the outcome's number and the reason, or "none" when it does not fail; and how
// long it took when that was longer than the deadline.
QString Failure(const std::function<void()> &call, std::chrono::milliseconds deadline = 1min)
{
    QElapsedTimer clock;
    clock.start();
    QString failure = u"none"_s;
    try {
        call();
    } catch (const HostError &error) {
        failure = u"%1 %2"_s.arg(int(error.outcome())).arg(error.reason());
    }
    return clock.elapsed() < deadline.count() ? failure : u"after %1 ms: %2"_s.arg(clock.elapsed()).arg(failure);
}

// Everything a binding told, in order: "chat TEXT", "closing", "gone", "returned".
struct Heard : QStringList
{
    explicit Heard(HostBinding &binding)
    {
        QObject::connect(&binding, &HostBinding::ChatTextReceived,
                         [this](const QString &text) { *this << u"chat "_s + text; });
        QObject::connect(&binding, &HostBinding::Closing, [this] { *this << u"closing"_s; });
        QObject::connect(&binding, &HostBinding::Gone, [this] { *this << u"gone"_s; });
        QObject::connect(&binding, &HostBinding::Returned, [this] { *this << u"returned"_s; });
    }
};

// build/substitute-host on the test's private bus, fed commands on its input, and a binding for
// it; QProcess kills the host when this goes. A host that did not come up fails the first creation.
struct Host : QProcess
{
    explicit Host(const QStringList &arguments = {}, std::chrono::milliseconds timeout = HostBinding::kAnswerLimit)
        : binding(QDBusConnection::sessionBus(), timeout)
    {
        start(QStringLiteral(SUBSTITUTE_HOST), arguments);
        // Owned by this host, not one that is still on its way out; the change of owner heard.
        (void)QTest::qWaitFor(
            [this] { return QDBusConnection::sessionBus().interface()->servicePid(kName).value() == processId(); });
        QCoreApplication::processEvents();
    }
    void Attach()
    {
        binding.CreateEventObject();
        binding.CreateSetupConfig();
    }
    DBusHostBinding binding;
    Heard heard{binding};
};

} // namespace

// What lines and texts do between the real binding and the real substitute host in the common
// case, the end-to-end tests show; these are the binding's own rules.
class tst_DBusHostBinding : public QObject
{
    Q_OBJECT

private slots:
    // After the release nothing comes in, not even the host's going; releasing from the handler
    // of the host's closing is safe. A host that said it is closing and then crashed did not go
    // away unannounced.
    void releaseEndsTheSubscription()
    {
        Host a;
        a.Attach();
        DBusHostBinding witness(QDBusConnection::sessionBus()), released(QDBusConnection::sessionBus());
        const Heard witnessed(witness), heardAfterRelease(released);
        witness.CreateEventObject();
        released.CreateEventObject();
        released.Release();
        connect(&a.binding, &HostBinding::Closing, &a.binding, &HostBinding::Release);
        a.write("closing\nchat after the release\n");
        QTRY_COMPARE(witnessed, QStringList({u"closing"_s, u"chat after the release"_s}));
        a.write("crash\n");
        // Once the name has no owner, every change of owner before that is on its way to us.
        QTRY_VERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(kName));
        QCoreApplication::processEvents();
        QCOMPARE(witnessed.size(), 2);
        QCOMPARE(a.heard, QStringList{u"closing"_s});
        QVERIFY(heardAfterRelease.isEmpty());
    }

    // A host killed without a word is gone, once; whoever takes the name next has returned, and
    // the objects created anew are its own, and watched for its going. A binding released after
    // the going hears of no return.
    void aHostThatGoesIsFollowedToTheNext()
    {
        Host first;
        first.Attach();
        DBusHostBinding lettingGo(QDBusConnection::sessionBus());
        const Heard heardByLettingGo(lettingGo);
        lettingGo.CreateEventObject();
        first.kill();
        QTRY_COMPARE(first.heard, QStringList{u"gone"_s});
        lettingGo.Release();

        Host second({u"--call"_s, u"XX9NEW-L"_s});
        QTRY_COMPARE(first.heard, QStringList({u"gone"_s, u"returned"_s}));
        first.Attach();
        QCOMPARE(first.binding.ReadStationCall(), u"XX9NEW-L"_s);
        QCOMPARE(heardByLettingGo, QStringList{u"gone"_s});
        second.kill();
        QTRY_COMPARE(first.heard, QStringList({u"gone"_s, u"returned"_s, u"gone"_s}));
    }

    // Without a host, creation fails and names it. A line the host refuses, or one with a NUL (which
    // a bus string would cut short), was not sent. A host busy for less than the limit is waited
    // for; one that hangs is given up on within the limit, the line's fate unknown, and its objects
    // cannot be created within the program's own limit either.
    void aHostMissingRefusingOrStalling()
    {
        DBusHostBinding binding(QDBusConnection::sessionBus());
        QVERIFY(Failure([&] { binding.CreateEventObject(); }).contains(kName));
        {
            Host refusing({u"--fail-post"_s});
            refusing.Attach();
            QVERIFY(Failure([&] { refusing.binding.PostChatLine(u"refused"_s); }).startsWith(u"0 "));
        }
        {
            Host busy;
            busy.Attach();
            QVERIFY(Failure([&] { busy.binding.PostChatLine(u"before\0after"_s); }).startsWith(u"0 "));
            busy.write("busy 1500\n");
            QVERIFY(QTest::qWaitFor([&] { return busy.readAllStandardOutput().contains("busy"); }));
            QCOMPARE(Failure([&] { busy.binding.PostChatLine(u"late but there"_s); }), u"none"_s);
        }
        Host hung({u"--hang-in"_s, u"PostChatLine"_s}, 1s);
        hung.Attach();
        QCOMPARE(Failure([&] { hung.binding.PostChatLine(u"into the void"_s); }, 2500ms),
                 u"1 The host did not answer within 1 seconds."_s);
        QCOMPARE(Failure([&] { binding.CreateEventObject(); }, HostBinding::kAnswerLimit + 1500ms),
                 u"0 The host's object /EventObject cannot be reached: The host did not answer within 3 seconds."_s);
    }
};

QTEST_GUILESS_MAIN(tst_DBusHostBinding)
#include "tst_DBusHostBinding.moc"
