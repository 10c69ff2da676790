#include <QElapsedTimer>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>

#include "announce/SystemVoice.h"

using namespace std::chrono_literals;

// The system voice with a speech server that never answers: the caller never waits, hears one
// warning, and the voice goes silent; nothing hangs at the end either.
class tst_SystemVoice : public QObject
{
    Q_OBJECT

private slots:
    void hungServer()
    {
        const QTemporaryDir dir;
        const QString socket = dir.filePath("speechd.sock");
        qputenv("SPEECHD_ADDRESS", "unix_socket:" + socket.toUtf8());
        QLocalServer server;
        QVERIFY(server.listen(socket));

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
