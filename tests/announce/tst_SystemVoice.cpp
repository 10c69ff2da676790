#include <QElapsedTimer>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>

#include "announce/SystemVoice.h"

using namespace std::chrono_literals;

// The system voice with a speech server that is missing or never answers: the caller never
// waits, hears one warning, and the voice goes silent; nothing hangs at the end either.
class tst_SystemVoice : public QObject
{
    Q_OBJECT

private slots:
    void brokenServer_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::newRow("missing") << false;
        QTest::newRow("never answers") << true;
    }
    void brokenServer()
    {
        QFETCH(bool, listening);
        const QTemporaryDir dir;
        const QString socket = dir.filePath("speechd.sock");
        // The client library starts a server when it finds none; this one does not start.
        qputenv("SPEECHD_CMD", "/bin/false");
        qputenv("SPEECHD_ADDRESS", "unix_socket:" + socket.toUtf8());
        QLocalServer server;
        QVERIFY(!listening || server.listen(socket));

        QElapsedTimer clock;
        clock.start();
        auto voice = std::make_unique<SystemVoice>(300ms);
        int done = 0;
        QTest::failOnWarning(QRegularExpression("."));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Chat is not read aloud: .+"));
        voice->Say("XX1ABC: hello", [&] { ++done; });
        QCOMPARE_LT(clock.elapsed(), 100);
        QTRY_COMPARE_WITH_TIMEOUT(done, 1, 5000);
        voice->Say("XX2DEF: again", [&] { ++done; });
        QTRY_COMPARE_WITH_TIMEOUT(done, 2, 5000);

        clock.restart();
        voice.reset();
        QCOMPARE_LT(clock.elapsed(), 2000);
    }
};

QTEST_GUILESS_MAIN(tst_SystemVoice)
#include "tst_SystemVoice.moc"
