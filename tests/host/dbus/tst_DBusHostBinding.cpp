#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "SubstituteHostProcess.h"
#include "host/HostError.h"
#include "host/dbus/DBusHostBinding.h"
#include "host/dbus/IntrospectionXml.h"
#include "line_escaping/LineEscaping.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString kPath = u"/EventObject"_s;
const QString kInterface = u"org.parlox.Host.EventObject"_s;

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

// The host as the substitute host program on the test's private bus, and a binding attached to it.
struct Attached
{
    explicit Attached(const QStringList &arguments = {}, std::chrono::milliseconds timeout = 5s)
        : host(arguments), binding(QDBusConnection::sessionBus(), timeout)
    {
        if (!host.Start())
            return;
        binding.CreateEventObject();
        binding.CreateSetupConfig();
        binding.CreateSysopConfig();
    }
    SubstituteHostProcess host;
    DBusHostBinding binding;
    QSignalSpy chat{&binding, &HostBinding::ChatTextReceived};
    QSignalSpy closing{&binding, &HostBinding::Closing};
};

} // namespace

// The binding against the real substitute host, on the private bus this test runs in.
class tst_DBusHostBinding : public QObject
{
    Q_OBJECT

private slots:
    // Lines go out and texts come in exactly as they are; a line with a NUL, which a bus string
    // would cut short, is refused and the next one still goes.
    void linesAndTextsArriveUnchanged()
    {
        Attached a({u"--call"_s, u"XX9TST-R"_s});
        QCOMPARE(a.binding.ReadStationCall(), u"XX9TST-R"_s);
        const QStringList texts{u"Grüße 73 日本 🙂 \u200fמרחב <b>hi</b>"_s, u"\tone\r\ntwo\rthree\n\t"_s,
                                u"C:\\new\\table \\n"_s, QString(), QString(1 << 20, u'x')};
        for (const QString &line : texts) {
            a.binding.PostChatLine(line);
            QCOMPARE(QString::fromStdU16String(UnescapeLine(a.host.NextLine().value_or(u""_s).toStdU16String())),
                     "posted: " + line);
        }
        QVERIFY(Failure([&] { a.binding.PostChatLine(u"before\0after"_s); }).startsWith(u"0 "));
        a.binding.PostChatLine(u"next"_s);
        QCOMPARE(a.host.NextLine(), u"posted: next"_s);

        for (const QString &text : texts)
            a.host.Send("chat " + QString::fromStdU16String(EscapeLine(text.toStdU16String())));
        a.host.Send(u"closing"_s);
        QTRY_COMPARE(a.closing.size(), 1);
        QTRY_COMPARE(a.chat.size(), texts.size());
        for (qsizetype i = 0; i < texts.size(); ++i)
            QCOMPARE(a.chat.at(i).at(0).toString(), texts.at(i));
    }

    // Only the host's own signals count: not those another program sends under its names.
    void forgedSignalsAreIgnored()
    {
        Attached a;
        QDBusConnection forger = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"forger"_s);
        QDBusMessage broadcast = QDBusMessage::createSignal(kPath, kInterface, u"ChatTextReceived"_s);
        QDBusMessage aimed = QDBusMessage::createTargetedSignal(QDBusConnection::sessionBus().baseService(), kPath,
                                                                kInterface, u"ChatTextReceived"_s);
        QVERIFY(forger.send(broadcast << u"forged"_s) && forger.send(aimed << u"forged"_s));
        QVERIFY(forger.send(QDBusMessage::createSignal(kPath, kInterface, u"Closing"_s)));
        // A round trip through the bus: the forgeries are on their way to us before the host speaks.
        QVERIFY(forger.interface()->isServiceRegistered(u"org.parlox.Host"_s));
        a.host.Send(u"chat genuine"_s);
        QTRY_VERIFY(!a.chat.isEmpty());
        QCOMPARE(a.chat.at(0).at(0).toString(), u"genuine"_s);
        QCOMPARE(a.closing.size(), 0);
        QDBusConnection::disconnectFromBus(u"forger"_s);
    }

    // After the release nothing comes in and nothing goes out; releasing from the handler of
    // the host's closing is safe and ends the subscription there.
    void releaseEndsTheSubscription()
    {
        Attached a;
        DBusHostBinding witness(QDBusConnection::sessionBus());
        QSignalSpy witnessed(&witness, &HostBinding::Closing);
        witness.CreateEventObject();
        connect(&a.binding, &HostBinding::Closing, &a.binding, &HostBinding::Release);
        a.host.Send(u"closing"_s);
        a.host.Send(u"chat after the release"_s);
        a.host.Send(u"closing"_s);
        QTRY_COMPARE(witnessed.size(), 2);
        QCOMPARE(a.closing.size(), 1);
        QCOMPARE(a.chat.size(), 0);
        a.binding.Release();
        QVERIFY(Failure([&] { a.binding.PostChatLine(u"after the release"_s); }) != u"none"_s);
        QVERIFY(Failure([&] { a.binding.ReadStationCall(); }) != u"none"_s);
    }

    // Without a bus, a host, or the host's objects with their own interfaces, creation fails
    // and says what is missing.
    void creationFailsWithoutTheHostsObjects()
    {
        DBusHostBinding binding(QDBusConnection::sessionBus());
        QVERIFY(Failure([&] { binding.CreateEventObject(); }).contains(u"org.parlox.Host"));
        QVERIFY(Failure([&] { binding.PostChatLine(u"to nobody"_s); }) != u"none"_s);
        DBusHostBinding unconnected(QDBusConnection::connectToBus(u"unix:path=/nonexistent/bus"_s, u"nowhere"_s));
        QVERIFY(Failure([&] { unconnected.CreateEventObject(); }) != u"none"_s);
        QDBusConnection::disconnectFromBus(u"nowhere"_s);
        {
            SubstituteHostProcess host({u"--no-sysop"_s});
            QVERIFY(host.Start());
            binding.CreateSetupConfig();
            QVERIFY(Failure([&] { binding.CreateSysopConfig(); }).contains(u"/SysopConfig"));
        }
        // A program that owns the name but offers nothing at all.
        QDBusConnection impostor = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"impostor"_s);
        QVERIFY(impostor.registerService(u"org.parlox.Host"_s));
        QVERIFY(Failure([&] { binding.CreateEventObject(); }) != u"none"_s);
        QVERIFY(Failure([&] { binding.CreateSetupConfig(); }) != u"none"_s);
        QDBusConnection::disconnectFromBus(u"impostor"_s);
    }

    // A refused line was not sent; a line to a host that does not answer in time may still
    // arrive; a host that left is not replaced by the next program to take the name.
    void failedPostsSayWhetherTheLineMayArrive()
    {
        {
            Attached refusing({u"--fail-post"_s});
            QVERIFY(Failure([&] { refusing.binding.PostChatLine(u"refused"_s); }).startsWith(u"0 "));
            QVERIFY(Failure([&] { refusing.binding.PostChatLine(u"refused"_s); }).contains(u"refuses"));
        }
        {
            Attached hung({}, 1s);
            hung.host.Stop();
            QElapsedTimer clock;
            clock.start();
            const QString failure = Failure([&] { hung.binding.PostChatLine(u"into the void"_s); });
            QVERIFY2(failure.startsWith(u"1 The host did not answer within 1 seconds"), qPrintable(failure));
            QVERIFY(Failure([&] { hung.binding.ReadStationCall(); }).contains(u"did not answer"));
            QVERIFY2(clock.elapsed() < 2 * 1000 + 500, qPrintable(QString::number(clock.elapsed())));
        }

        Attached gone;
        gone.host.Send(u"quit"_s);
        QVERIFY(gone.host.Process().waitForFinished());
        SubstituteHostProcess next;
        QVERIFY(next.Start());
        QVERIFY(Failure([&] { gone.binding.PostChatLine(u"to the old host"_s); }).startsWith(u"0 "));
    }

    void introspectionShowsTheObjectsOwnInterface_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<bool>("offered");
        QTest::newRow("among others") << uR"(<node><interface name="org.freedesktop.DBus.Introspectable"/>
            <interface name="org.parlox.Host.SysopConfig"></interface></node>)"_s
                                      << true;
        QTest::newRow("only a child's")
            << uR"(<node><node name="S"><interface name="org.parlox.Host.SysopConfig"/></node></node>)"_s << false;
        QTest::newRow("prefix of the name")
            << uR"(<node><interface name="org.parlox.Host.SysopConfigX"/></node>)"_s << false;
        QTest::newRow("not XML") << u"No such object path '/SysopConfig'"_s << false;
        QTest::newRow("wrong root") << uR"(<html><interface name="org.parlox.Host.SysopConfig"/></html>)"_s << false;
    }
    void introspectionShowsTheObjectsOwnInterface()
    {
        QFETCH(QString, xml);
        QTEST(NodeOffersInterface(xml, u"org.parlox.Host.SysopConfig"_s), "offered");
    }
};

QTEST_GUILESS_MAIN(tst_DBusHostBinding)
#include "tst_DBusHostBinding.moc"
