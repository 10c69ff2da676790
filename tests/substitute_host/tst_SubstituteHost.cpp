#include <algorithm>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QTest>

#include "SubstituteHostProcess.h"

using namespace Qt::StringLiterals;

// The program as the end-to-end tests and a person use it, on the private bus this test runs in.
class tst_SubstituteHost : public QObject
{
    Q_OBJECT

private slots:
    void secondHostExitsWithStatus2();
    void endOfInputEndsNothing();
    void unknownCommandIsReportedAndQuitEnds();
    void demoAnswersAPostedLine();

public slots:
    void RecordChat(const QString &text) { m_heard << text; }

private:
    static qint64 CpuTicks(qint64 pid);
    static bool HostNameOwned();

    QStringList m_heard;
};

// The processor time a process has used so far, in clock ticks.
qint64 tst_SubstituteHost::CpuTicks(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The command name in parentheses may hold spaces; the fields after it are plain numbers.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.value(11).toLongLong() + fields.value(12).toLongLong();
}

bool tst_SubstituteHost::HostNameOwned()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(u"org.parlox.Host"_s);
}

void tst_SubstituteHost::secondHostExitsWithStatus2()
{
    SubstituteHostProcess first;
    QVERIFY(first.Start());

    QProcess second;
    second.start(QStringLiteral(SUBSTITUTE_HOST), {});
    QVERIFY(second.waitForFinished());
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 2);
    QVERIFY(second.readAllStandardError().contains("org.parlox.Host"));
    QVERIFY(!second.readAllStandardOutput().contains("ready"));
}

void tst_SubstituteHost::endOfInputEndsNothing()
{
    SubstituteHostProcess host;
    QVERIFY(host.Start());

    host.Process().closeWriteChannel();
    const qint64 ticksBefore = CpuTicks(host.Process().processId());
    QTest::qWait(300);

    // Still there, still serving, and not spinning on the closed input.
    QCOMPARE(host.Process().state(), QProcess::Running);
    QVERIFY(CpuTicks(host.Process().processId()) - ticksBefore < 10);
    QDBusMessage post = QDBusMessage::createMethodCall(u"org.parlox.Host"_s, u"/EventObject"_s,
                                                       u"org.parlox.Host.EventObject"_s, u"PostChatLine"_s);
    post << u"still there?"_s;
    QCOMPARE(QDBusConnection::sessionBus().call(post).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(host.NextLine(), u"posted: still there?"_s);
}

void tst_SubstituteHost::unknownCommandIsReportedAndQuitEnds()
{
    SubstituteHostProcess host;
    host.Process().setProcessChannelMode(QProcess::SeparateChannels);
    QVERIFY(host.Start());

    host.Send(u"hello there"_s);
    host.Send(u"quit"_s);

    QVERIFY(host.Process().waitForFinished());
    QCOMPARE(host.Process().exitCode(), 0);
    QVERIFY(host.Process().readAllStandardError().contains("unknown command: hello there"));
    QVERIFY(!HostNameOwned());
}

void tst_SubstituteHost::demoAnswersAPostedLine()
{
    SubstituteHostProcess host({u"--demo"_s});
    QVERIFY(host.Start());
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY(bus.connect(u"org.parlox.Host"_s, u"/EventObject"_s, u"org.parlox.Host.EventObject"_s,
                        u"ChatTextReceived"_s, this, SLOT(RecordChat(QString))));

    QDBusMessage post = QDBusMessage::createMethodCall(u"org.parlox.Host"_s, u"/EventObject"_s,
                                                       u"org.parlox.Host.EventObject"_s, u"PostChatLine"_s);
    post << u"anyone on frequency?"_s;
    QCOMPARE(bus.call(post).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(host.NextLine(), u"posted: anyone on frequency?"_s);

    QTRY_VERIFY(std::any_of(m_heard.cbegin(), m_heard.cend(), [](const QString &text) {
        return text.contains(u"\"anyone on frequency?\""_s);
    }));
}

QTEST_GUILESS_MAIN(tst_SubstituteHost)
#include "tst_SubstituteHost.moc"
