#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "LineEscaping.h"
#include "SubstituteHostProcess.h"
#include "host/HostError.h"
#include "host/dbus/DBusHostBinding.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

// The binding against the real substitute host, on the private bus this test runs in.
class tst_DBusHostBinding : public QObject
{
    Q_OBJECT

private slots:
    void attachesAndReadsTheStationCall_data();
    void attachesAndReadsTheStationCall();
    void postedLineArrivesUnchanged_data();
    void postedLineArrivesUnchanged();
    void lineWithNulIsRefusedNotShortened();
    void hostEventsArriveAsSignals();
    void forgedSignalsAreIgnored();
    void releaseEndsTheSubscription();
    void releaseFromTheClosingHandler();
    void creationFailsWithoutAHost();
    void creationFailsWithoutTheObjects();
    void refusedPostCarriesTheHostsReason();
    void hungHostTimesOut();
    void vanishedHostIsNotReplacedByTheNext();

private:
    static void CreateAll(DBusHostBinding &binding);
};

void tst_DBusHostBinding::CreateAll(DBusHostBinding &binding)
{
    binding.CreateEventObject();
    binding.CreateSetupConfig();
    binding.CreateSysopConfig();
}

void tst_DBusHostBinding::attachesAndReadsTheStationCall_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("call");

    QTest::newRow("default") << QStringList() << u"N0CALL-L"_s;
    QTest::newRow("given") << QStringList{u"--call"_s, u"XX9TST-R"_s} << u"XX9TST-R"_s;
}

void tst_DBusHostBinding::attachesAndReadsTheStationCall()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, call);
    SubstituteHostProcess host(arguments);
    QVERIFY(host.Start());
    DBusHostBinding binding(QDBusConnection::sessionBus());

    CreateAll(binding);

    QCOMPARE(binding.ReadStationCall(), call);
    QCOMPARE(binding.ReadStationCall(), call);
}

void tst_DBusHostBinding::postedLineArrivesUnchanged_data()
{
    QTest::addColumn<QString>("line");

    QTest::newRow("plain") << u"hello all"_s;
    QTest::newRow("non-ASCII") << u"Grüße 73 ÆØÅ 日本 🙂 \u200fמרחב"_s;
    QTest::newRow("tabs and line breaks") << u"\tone\r\ntwo\rthree\n\t"_s;
    QTest::newRow("backslashes") << u"C:\\new\\table \\n"_s;
    QTest::newRow("markup") << u"<b>hi</b> <img src=x>"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("one megabyte") << QString(1 << 20, u'x');
}

void tst_DBusHostBinding::postedLineArrivesUnchanged()
{
    QFETCH(QString, line);
    SubstituteHostProcess host;
    QVERIFY(host.Start());
    DBusHostBinding binding(QDBusConnection::sessionBus());
    CreateAll(binding);

    binding.PostChatLine(line);

    const std::optional<QString> posted = host.NextLine();
    QVERIFY(posted);
    QVERIFY(posted->startsWith(u"posted: "));
    QCOMPARE(QString::fromStdU16String(UnescapeLine(posted->mid(8).toStdU16String())), line);
}

void tst_DBusHostBinding::lineWithNulIsRefusedNotShortened()
{
    SubstituteHostProcess host;
    QVERIFY(host.Start());
    DBusHostBinding binding(QDBusConnection::sessionBus());
    CreateAll(binding);

    QVERIFY_THROWS_EXCEPTION(HostError, binding.PostChatLine(u"before\0after"_s));
    binding.PostChatLine(u"next"_s);

    QCOMPARE(host.NextLine(), u"posted: next"_s);
}

void tst_DBusHostBinding::hostEventsArriveAsSignals()
{
    SubstituteHostProcess host;
    QVERIFY(host.Start());
    DBusHostBinding binding(QDBusConnection::sessionBus());
    QSignalSpy chat(&binding, &HostBinding::ChatTextReceived);
    QSignalSpy closing(&binding, &HostBinding::Closing);
    binding.CreateEventObject();
    const QStringList texts{u"XX1ABC>hello"_s, u"Grüße 🙂 <b>hi</b>"_s, u"one\r\ntwo\tthree \\"_s,
                            QString(), QString(100'000, u'y')};

    for (const QString &text : texts)
        host.Send(u"chat "_s + QString::fromStdU16String(EscapeLine(text.toStdU16String())));
    host.Send(u"closing"_s);

    QTRY_COMPARE(closing.size(), 1);
    QTRY_COMPARE(chat.size(), texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i)
        QCOMPARE(chat.at(i).at(0).toString(), texts.at(i));
}

void tst_DBusHostBinding::forgedSignalsAreIgnored()
{
    SubstituteHostProcess host;
    QVERIFY(host.Start());
    QDBusConnection bus = QDBusConnection::sessionBus();
    DBusHostBinding binding(bus);
    QSignalSpy chat(&binding, &HostBinding::ChatTextReceived);
    QSignalSpy closing(&binding, &HostBinding::Closing);
    binding.CreateEventObject();

    const QString path = u"/EventObject"_s;
    const QString interface = u"org.parlox.Host.EventObject"_s;
    QDBusConnection forger = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"forger"_s);
    QDBusMessage broadcast = QDBusMessage::createSignal(path, interface, u"ChatTextReceived"_s);
    broadcast << u"forged to everyone"_s;
    QDBusMessage aimed = QDBusMessage::createTargetedSignal(bus.baseService(), path, interface, u"ChatTextReceived"_s);
    aimed << u"forged to the binding"_s;
    QVERIFY(forger.send(broadcast));
    QVERIFY(forger.send(aimed));
    QVERIFY(forger.send(QDBusMessage::createSignal(path, interface, u"Closing"_s)));
    // A round trip through the bus: the forgeries are on their way to us before the host speaks.
    QVERIFY(forger.interface()->isServiceRegistered(u"org.parlox.Host"_s));
    host.Send(u"chat genuine"_s);

    QTRY_COMPARE(chat.size(), 1);
    QCOMPARE(chat.at(0).at(0).toString(), u"genuine"_s);
    QTest::qWait(50);
    QCOMPARE(chat.size(), 1);
    QCOMPARE(closing.size(), 0);
    QDBusConnection::disconnectFromBus(u"forger"_s);
}

void tst_DBusHostBinding::releaseEndsTheSubscription()
{
    SubstituteHostProcess host;
    QVERIFY(host.Start());
    DBusHostBinding binding(QDBusConnection::sessionBus());
    DBusHostBinding witness(QDBusConnection::sessionBus());
    QSignalSpy chat(&binding, &HostBinding::ChatTextReceived);
    QSignalSpy witnessed(&witness, &HostBinding::ChatTextReceived);
    CreateAll(binding);
    witness.CreateEventObject();

    binding.Release();
    binding.Release();
    host.Send(u"chat after the release"_s);

    QTRY_COMPARE(witnessed.size(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(chat.size(), 0);
    QVERIFY_THROWS_EXCEPTION(HostError, binding.PostChatLine(u"after the release"_s));
    QVERIFY_THROWS_EXCEPTION(HostError, binding.ReadStationCall());
}

void tst_DBusHostBinding::releaseFromTheClosingHandler()
{
    SubstituteHostProcess host;
    QVERIFY(host.Start());
    DBusHostBinding binding(QDBusConnection::sessionBus());
    QSignalSpy closing(&binding, &HostBinding::Closing);
    connect(&binding, &HostBinding::Closing, &binding, &HostBinding::Release);
    CreateAll(binding);

    host.Send(u"closing"_s);
    host.Send(u"closing"_s);

    QTRY_COMPARE(closing.size(), 1);
    QTest::qWait(50);
    QCOMPARE(closing.size(), 1);
}

void tst_DBusHostBinding::creationFailsWithoutAHost()
{
    DBusHostBinding binding(QDBusConnection::sessionBus());
    try {
        binding.CreateEventObject();
        QFAIL("created without a host");
    } catch (const HostError &error) {
        QVERIFY2(error.reason().contains(u"org.parlox.Host"), qPrintable(error.reason()));
    }
    QVERIFY_THROWS_EXCEPTION(HostError, binding.CreateSetupConfig());
    QVERIFY_THROWS_EXCEPTION(HostError, binding.CreateSysopConfig());
    QVERIFY_THROWS_EXCEPTION(HostError, binding.PostChatLine(u"to nobody"_s));

    const QDBusConnection nowhere = QDBusConnection::connectToBus(u"unix:path=/nonexistent/bus"_s, u"nowhere"_s);
    DBusHostBinding unconnected(nowhere);
    QVERIFY_THROWS_EXCEPTION(HostError, unconnected.CreateEventObject());
    QDBusConnection::disconnectFromBus(u"nowhere"_s);
}

void tst_DBusHostBinding::creationFailsWithoutTheObjects()
{
    {
        SubstituteHostProcess host({u"--no-sysop"_s});
        QVERIFY(host.Start());
        DBusHostBinding binding(QDBusConnection::sessionBus());
        binding.CreateEventObject();
        binding.CreateSetupConfig();
        try {
            binding.CreateSysopConfig();
            QFAIL("created a SysopConfig the host does not offer");
        } catch (const HostError &error) {
            QVERIFY2(error.reason().contains(u"/SysopConfig"), qPrintable(error.reason()));
        }
    }

    // A program that owns the name but offers nothing at all.
    QDBusConnection impostor = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"impostor"_s);
    QVERIFY(impostor.registerService(u"org.parlox.Host"_s));
    DBusHostBinding binding(QDBusConnection::sessionBus());
    QVERIFY_THROWS_EXCEPTION(HostError, binding.CreateEventObject());
    QVERIFY_THROWS_EXCEPTION(HostError, binding.CreateSetupConfig());
    QVERIFY_THROWS_EXCEPTION(HostError, binding.CreateSysopConfig());
    QDBusConnection::disconnectFromBus(u"impostor"_s);
}

void tst_DBusHostBinding::refusedPostCarriesTheHostsReason()
{
    SubstituteHostProcess host({u"--fail-post"_s});
    QVERIFY(host.Start());
    DBusHostBinding binding(QDBusConnection::sessionBus());
    CreateAll(binding);

    try {
        binding.PostChatLine(u"refused"_s);
        QFAIL("a refused line was reported as sent");
    } catch (const HostError &error) {
        QVERIFY2(error.reason().contains(u"refuses"), qPrintable(error.reason()));
        QCOMPARE(error.outcome(), HostError::Outcome::NotDone);
    }
    QVERIFY(!host.NextLine(100));
}

void tst_DBusHostBinding::hungHostTimesOut()
{
    SubstituteHostProcess host;
    QVERIFY(host.Start());
    DBusHostBinding binding(QDBusConnection::sessionBus(), 300ms);
    CreateAll(binding);
    host.Stop();

    QElapsedTimer clock;
    clock.start();
    try {
        binding.PostChatLine(u"into the void"_s);
        QFAIL("a hung host took the line");
    } catch (const HostError &error) {
        QVERIFY2(error.reason().contains(u"did not answer"), qPrintable(error.reason()));
        // The host may yet wake up and pass the line on.
        QCOMPARE(error.outcome(), HostError::Outcome::Unknown);
    }
    QVERIFY_THROWS_EXCEPTION(HostError, binding.ReadStationCall());
    DBusHostBinding latecomer(QDBusConnection::sessionBus(), 300ms);
    QVERIFY_THROWS_EXCEPTION(HostError, latecomer.CreateEventObject());

    QVERIFY2(clock.elapsed() < 3 * 300 + 500, qPrintable(QString::number(clock.elapsed())));
}

void tst_DBusHostBinding::vanishedHostIsNotReplacedByTheNext()
{
    DBusHostBinding binding(QDBusConnection::sessionBus());
    QSignalSpy chat(&binding, &HostBinding::ChatTextReceived);
    {
        SubstituteHostProcess first;
        QVERIFY(first.Start());
        CreateAll(binding);
        first.Send(u"quit"_s);
        QVERIFY(first.Process().waitForFinished());
    }
    SubstituteHostProcess next;
    QVERIFY(next.Start());

    try {
        binding.PostChatLine(u"to the old host"_s);
        QFAIL("a line went to a host that was never attached");
    } catch (const HostError &error) {
        QVERIFY2(error.reason().contains(u"left"), qPrintable(error.reason()));
        QCOMPARE(error.outcome(), HostError::Outcome::NotDone);
    }
    QVERIFY_THROWS_EXCEPTION(HostError, binding.ReadStationCall());
    next.Send(u"chat from the next host"_s);
    QTest::qWait(100);
    QCOMPARE(chat.size(), 0);
    QVERIFY(!next.NextLine(0));
}

QTEST_GUILESS_MAIN(tst_DBusHostBinding)
#include "tst_DBusHostBinding.moc"
