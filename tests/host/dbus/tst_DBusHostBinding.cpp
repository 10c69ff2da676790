#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "DemoConference.h"
#include "Flood.h"
#include "SubstituteHostProcess.h"
#include "host/HostError.h"
#include "host/dbus/DBusHostBinding.h"
#include "host/dbus/IntrospectionXml.h"
#include "line_escaping/LineEscaping.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

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

// The processor time a process has used so far, in clock ticks.
qint64 CpuTicks(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The command name in parentheses may hold spaces; the fields after it are plain numbers.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.value(11).toLongLong() + fields.value(12).toLongLong();
}

// The substitute host on the test's private bus, and a binding attached to it.
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

class tst_DBusHostBinding : public QObject
{
    Q_OBJECT

private slots:
    // Lines go out and texts come in exactly as they are; a line with a NUL, which a bus string
    // would cut short, is refused and the next one still goes. Only the host's own signals
    // count, not those another program sends under its names.
    void chatBothWays()
    {
        Attached a({u"--call"_s, u"XX9TST-R"_s});
        QCOMPARE(a.binding.ReadStationCall(), u"XX9TST-R"_s);
        const QStringList texts{u"Grüße 🙂 \u200fמ <b>hi</b>"_s, u"\tone\r\ntwo\\n"_s, QString(),
                                QString(1 << 20, u'x')};
        for (const QString &line : texts) {
            a.binding.PostChatLine(line);
            QCOMPARE(QString::fromStdU16String(UnescapeLine(a.host.NextLine().toStdU16String())), "posted: " + line);
        }
        QVERIFY(Failure([&] { a.binding.PostChatLine(u"before\0after"_s); }).startsWith(u"0 "));
        a.binding.PostChatLine(u"next"_s);
        QCOMPARE(a.host.NextLine(), u"posted: next"_s);

        QDBusConnection forger = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"forger"_s);
        const QString path = u"/EventObject"_s, interface = u"org.parlox.Host.EventObject"_s;
        const QString us = QDBusConnection::sessionBus().baseService();
        QVERIFY(forger.send(QDBusMessage::createSignal(path, interface, u"ChatTextReceived"_s) << u"forged"_s));
        QVERIFY(forger.send(QDBusMessage::createTargetedSignal(us, path, interface, u"ChatTextReceived"_s) << u"x"_s));
        QVERIFY(forger.send(QDBusMessage::createSignal(path, interface, u"Closing"_s)));
        // A round trip through the bus: the forgeries are on their way to us before the host speaks.
        QVERIFY(forger.interface()->isServiceRegistered(u"org.parlox.Host"_s));
        a.host.Send(u"closing"_s);
        for (const QString &text : texts)
            a.host.Send("chat " + QString::fromStdU16String(EscapeLine(text.toStdU16String())));
        QTRY_COMPARE(a.chat.size(), texts.size());
        for (qsizetype i = 0; i < texts.size(); ++i)
            QCOMPARE(a.chat.at(i).at(0).toString(), texts.at(i));
        QCOMPARE(a.closing.size(), 1);
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
        for (const QString &command : {u"closing"_s, u"chat after the release"_s, u"closing"_s})
            a.host.Send(command);
        QTRY_COMPARE(witnessed.size(), 2);
        QCOMPARE(a.closing.size() + a.chat.size(), 1);
        QVERIFY(Failure([&] { a.binding.PostChatLine(u"after the release"_s); }) != u"none"_s);
        QVERIFY(Failure([&] { a.binding.ReadStationCall(); }) != u"none"_s);
    }

    // Without a host, or the host's objects with their own interfaces, creation fails and
    // says what is missing. Only an interface directly under the root node is the object's own.
    void creationFailsWithoutTheHostsObjects()
    {
        DBusHostBinding binding(QDBusConnection::sessionBus());
        QVERIFY(Failure([&] { binding.CreateEventObject(); }).contains(u"org.parlox.Host"));
        QVERIFY(Failure([&] { binding.PostChatLine(u"to nobody"_s); }) != u"none"_s);
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

        const QString own = uR"(<interface name="org.parlox.Host.SysopConfig"/>)"_s;
        QVERIFY(NodeOffersInterface("<node><interface name='org.freedesktop.DBus.Introspectable'/>" + own + "</node>",
                                    u"org.parlox.Host.SysopConfig"_s));
        for (const QString &xml : {"<node><node name='S'>" + own + "</node></node>", "<html>" + own + "</html>"})
            QVERIFY2(!NodeOffersInterface(xml, u"org.parlox.Host.SysopConfig"_s), qPrintable(xml));
    }

    // A refused line was not sent; a line to a host that does not answer in time may still
    // arrive; a host that left is not replaced by the next program to take the name.
    void failedPostsSayWhetherTheLineMayArrive()
    {
        {
            Attached refusing({u"--fail-post"_s});
            const QString failure = Failure([&] { refusing.binding.PostChatLine(u"refused"_s); });
            QVERIFY2(failure.startsWith(u"0 ") && failure.contains(u"refuses"), qPrintable(failure));
        }
        {
            Attached hung({}, 1s);
            hung.host.Freeze();
            QElapsedTimer clock;
            clock.start();
            const QString failure = Failure([&] { hung.binding.PostChatLine(u"into the void"_s); });
            QVERIFY2(failure.startsWith(u"1 The host did not answer within 1 seconds"), qPrintable(failure));
            QVERIFY(Failure([&] { hung.binding.ReadStationCall(); }).contains(u"did not answer"));
            QVERIFY2(clock.elapsed() < 2 * 1000 + 500, qPrintable(QString::number(clock.elapsed())));
        }
        Attached gone;
        gone.host.Send(u"quit"_s);
        QVERIFY(gone.host.waitForFinished() && gone.host.exitCode() == 0);
        SubstituteHostProcess next;
        QVERIFY(next.Start());
        QVERIFY(Failure([&] { gone.binding.PostChatLine(u"to the old host"_s); }).startsWith(u"0 "));
    }

    // The substitute host itself: a second one exits with status 2; past the end of its input
    // the first keeps serving, without spinning on the closed input.
    void substituteHostRunsPastTheEndOfItsInput()
    {
        Attached a;
        QCOMPARE(QProcess::execute(QStringLiteral(SUBSTITUTE_HOST), {}), 2);
        a.host.closeWriteChannel();
        const qint64 ticksBefore = CpuTicks(a.host.processId());
        // Not a wait for something: the window of time the processor time is measured in.
        QTest::qWait(300);
        QVERIFY(CpuTicks(a.host.processId()) - ticksBefore < 10);
        a.binding.PostChatLine(u"still there?"_s);
        QCOMPARE(a.host.NextLine(), u"posted: still there?"_s);
    }

    // The demo answers a posted line naming it, and chats on under made-up calls only, past the
    // end of its script. A flood raises its first text at once, then one every 1/rate seconds,
    // never more than its count.
    void demoAndFlood()
    {
        DemoConference demo(5ms, 5ms);
        QSignalSpy spoken(&demo, &DemoConference::ChatSpoken);
        demo.AnswerPosted(u"anyone on frequency?"_s);
        demo.Start();
        QTRY_VERIFY(spoken.size() >= 25);
        const QStringList texts = [&] {
            QStringList all;
            for (const QList<QVariant> &arguments : spoken)
                all.append(arguments.at(0).toString());
            return all;
        }();
        QCOMPARE(texts.filter(QRegularExpression(u"^(N0CALL|X[A-Z0-9]+)>."_s)), texts);
        QCOMPARE(texts.filter(u"\"anyone on frequency?\""_s).size(), 1);

        QVERIFY(!ParseFloodPlan(u"10000"_s, u"2.5"_s) && !ParseFloodPlan(u"0"_s, u"1000"_s));
        const FloodPlan plan = ParseFloodPlan(u"3"_s, u"2"_s).value();
        QList<qint64> due;
        for (const auto elapsed : {0ms, 499ms, 500ms, 1000ms, 60000ms})
            due.append(FloodTextsDue(plan, elapsed));
        QCOMPARE(due, QList<qint64>({1, 1, 2, 3, 3}));
        QCOMPARE(FloodText(10'000, 1'765'000'000'123), u"XX9FLD>10000 1765000000123"_s);
    }
};

QTEST_GUILESS_MAIN(tst_DBusHostBinding)
#include "tst_DBusHostBinding.moc"
