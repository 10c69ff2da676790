#include <QTest>

#include "announce/Announcements.h"
#include "announce/WindowsRoutes.h"

namespace {

// What Windows and its screen readers say, set by each case, and what each route was handed.
struct FakeWindows
{
    bool screenReader = true;
    bool jawsTakes = false;
    bool nvda = false;
    bool inFront = false;
    bool notificationTakes = true;
    QStringList handed;
    int sounds = 0;

    WindowsSpeech Speech()
    {
        return WindowsSpeech{[this] { return screenReader; },
                             [this](const QString &text) {
                                 if (jawsTakes)
                                     handed << "jaws: " + text;
                                 return jawsTakes;
                             },
                             [this] { return nvda; },
                             [this] { return inFront; },
                             [this](const QString &text) {
                                 if (notificationTakes)
                                     handed << "notification: " + text;
                                 return notificationTakes;
                             },
                             [this](const QString &text, const std::function<void()> &done) {
                                 handed << "voice: " + text;
                                 done();
                             },
                             [this] {
                                 ++sounds;
                             }};
    }
};

} // namespace

class tst_WindowsRoutes : public QObject
{
    Q_OBJECT

private slots:
    // Each received text goes by exactly one route: the screen reader's where it would speak
    // from where the window is, else the system voice.
    void route_data()
    {
        QTest::addColumn<bool>("screenReader");
        QTest::addColumn<bool>("jawsTakes");
        QTest::addColumn<bool>("nvda");
        QTest::addColumn<bool>("inFront");
        QTest::addColumn<bool>("notificationTakes");
        QTest::addColumn<QString>("route");

        QTest::newRow("no screen reader") << false << true << false << true << true << "voice";
        QTest::newRow("JAWS, behind") << true << true << false << false << true << "jaws";
        QTest::newRow("JAWS beside NVDA, behind") << true << true << true << false << true << "jaws";
        QTest::newRow("Narrator, behind") << true << false << false << false << true << "notification";
        QTest::newRow("Narrator, in front") << true << false << false << true << true << "notification";
        QTest::newRow("NVDA, in front") << true << false << true << true << true << "notification";
        QTest::newRow("NVDA, behind") << true << false << true << false << true << "voice";
        QTest::newRow("no notifications on this Windows") << true << false << false << true << false << "voice";
    }
    void route()
    {
        FakeWindows windows;
        QFETCH(bool, screenReader);
        QFETCH(bool, jawsTakes);
        QFETCH(bool, nvda);
        QFETCH(bool, inFront);
        QFETCH(bool, notificationTakes);
        QFETCH(QString, route);
        windows.screenReader = screenReader;
        windows.jawsTakes = jawsTakes;
        windows.nvda = nvda;
        windows.inFront = inFront;
        windows.notificationTakes = notificationTakes;
        Announcements announcements(WindowsRoutes(windows.Speech()));

        QCOMPARE(announcements.ScreenReaderRunning(), screenReader);
        announcements.Announce({"XX1ABC>hello"}, true, false);
        QCOMPARE(windows.handed.size(), 1);
        QVERIFY2(windows.handed[0].startsWith(route + ": "), qPrintable(windows.handed[0]));
        QVERIFY2(windows.handed[0].contains("hello"), qPrintable(windows.handed[0]));
        QCOMPARE(windows.sounds, 0);
    }

    // Windows is asked afresh for each tick: a screen reader that quits, or a window that goes
    // behind NVDA's back, sends the next text by the next route; the sound goes with each tick.
    void asksEachTick()
    {
        FakeWindows windows;
        windows.jawsTakes = true;
        Announcements announcements(WindowsRoutes(windows.Speech()));

        announcements.Announce({"XX1ABC>one"}, true, true);
        windows.jawsTakes = false;
        windows.nvda = true;
        windows.inFront = true;
        announcements.Announce({"XX1ABC>two"}, true, true);
        windows.inFront = false;
        announcements.Announce({"XX1ABC>three"}, true, false);
        windows.screenReader = false;
        windows.nvda = false;
        announcements.Announce({"XX1ABC>four"}, true, true);
        announcements.Announce({"XX1ABC>five"}, false, true);

        QCOMPARE(windows.handed.size(), 4);
        const QStringList routes = {"jaws", "notification", "voice", "voice"};
        const QStringList words = {"one", "two", "three", "four"};
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(windows.handed[i].startsWith(routes[i] + ": "), qPrintable(windows.handed[i]));
            QVERIFY2(windows.handed[i].contains(words[i]), qPrintable(windows.handed[i]));
        }
        QCOMPARE(windows.sounds, 4);
    }
};

QTEST_GUILESS_MAIN(tst_WindowsRoutes)
#include "tst_WindowsRoutes.moc"
