#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "DemoConference.h"
#include "Flood.h"
#include "SubstituteHostProcess.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

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

QDBusMessage Post(const QString &line)
{
    return QDBusMessage::createMethodCall(u"org.parlox.Host"_s, u"/EventObject"_s, u"org.parlox.Host.EventObject"_s,
                                          u"PostChatLine"_s)
        << line;
}

} // namespace

// The substitute host as the end-to-end tests, the benchmark and a person use it, on the private
// bus this test runs in; its demo conference and flood on their own.
class tst_SubstituteHost : public QObject
{
    Q_OBJECT

    QStringList m_heard;

public slots:
    void RecordChat(const QString &text) { m_heard << text; }

private slots:
    void secondHostExitsWithStatus2()
    {
        SubstituteHostProcess first;
        QVERIFY(first.Start());
        QProcess second;
        second.start(QStringLiteral(SUBSTITUTE_HOST), {});
        QVERIFY(second.waitForFinished());
        QCOMPARE(second.exitCode(), 2);
        QVERIFY(second.readAllStandardError().contains("org.parlox.Host"));
    }

    // At the end of its input the host keeps serving, without spinning on the closed input; an
    // unknown command is reported and "quit" ends it.
    void commandsAndTheEndOfInput()
    {
        {
            SubstituteHostProcess host;
            host.Process().setProcessChannelMode(QProcess::SeparateChannels);
            QVERIFY(host.Start());
            host.Send(u"hello there"_s);
            host.Process().closeWriteChannel();
            const qint64 ticksBefore = CpuTicks(host.Process().processId());
            // A window of time to measure the processor time in.
            QTest::qWait(300);
            QVERIFY(CpuTicks(host.Process().processId()) - ticksBefore < 10);
            QCOMPARE(QDBusConnection::sessionBus().call(Post(u"still there?"_s)).type(), QDBusMessage::ReplyMessage);
            QCOMPARE(host.NextLine(), u"posted: still there?"_s);
            QByteArray errors;
            QTRY_VERIFY(errors.append(host.Process().readAllStandardError()).contains("unknown command: hello there"));
        }

        SubstituteHostProcess quitting;
        QVERIFY(quitting.Start());
        quitting.Send(u"quit"_s);
        QVERIFY(quitting.Process().waitForFinished());
        QCOMPARE(quitting.Process().exitCode(), 0);
    }

    // The demo answers a posted line naming it, and chats on under made-up calls only, past the
    // end of its script.
    void demoConference()
    {
        SubstituteHostProcess host({u"--demo"_s});
        QVERIFY(host.Start());
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.connect(u"org.parlox.Host"_s, u"/EventObject"_s, u"org.parlox.Host.EventObject"_s,
                            u"ChatTextReceived"_s, this, SLOT(RecordChat(QString))));
        QCOMPARE(bus.call(Post(u"anyone on frequency?"_s)).type(), QDBusMessage::ReplyMessage);
        QTRY_VERIFY(m_heard.filter(u"\"anyone on frequency?\""_s).size() == 1);

        DemoConference demo(5ms, 5ms);
        QSignalSpy spoken(&demo, &DemoConference::ChatSpoken);
        demo.Start();
        QTRY_VERIFY(spoken.size() >= 25);
        for (const QList<QVariant> &arguments : spoken)
            QVERIFY(QRegularExpression(u"^(N0CALL|X[A-Z0-9]+)>.+"_s).match(arguments.at(0).toString()).hasMatch());
    }

    // The first text at once, then one every 1/rate seconds, never more than the count.
    void floodSchedule()
    {
        QCOMPARE(ParseFloodPlan(u"10000"_s, u"2.5"_s).has_value(), false);
        QCOMPARE(ParseFloodPlan(u"0"_s, u"1000"_s).has_value(), false);
        const std::optional<FloodPlan> plan = ParseFloodPlan(u"3"_s, u"2"_s);
        QVERIFY(plan);
        QList<qint64> due;
        for (const auto elapsed : {0ms, 499ms, 500ms, 1000ms, 60000ms})
            due.append(FloodTextsDue(*plan, elapsed));
        QCOMPARE(due, QList<qint64>({1, 1, 2, 3, 3}));
        QCOMPARE(FloodText(10'000, 1'765'000'000'123), u"XX9FLD>10000 1765000000123"_s);
    }
};

QTEST_GUILESS_MAIN(tst_SubstituteHost)
#include "tst_SubstituteHost.moc"
