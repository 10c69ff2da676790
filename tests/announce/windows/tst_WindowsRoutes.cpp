#include <QTest>

#include "announce/Announcements.h"
#include "announce/WindowsRoutes.h"

namespace {

// What Windows and the screen reader that runs say, and what each route was handed.
struct FakeWindows
{
    bool jawsTakes = false;
    bool nvda = false;
    bool inFront = false;
    bool notificationTakes = true;
    QStringList handed = {};

    bool Hand(bool takes, const QString &what)
    {
        if (takes)
            handed << what;
        return takes;
    }
    WindowsSpeech Speech()
    {
        return {[] { return true; },
                [this](const QString &text) { return Hand(jawsTakes, "jaws: " + text); },
                [this] { return nvda; },
                [this] { return inFront; },
                [this](const QString &text) { return Hand(notificationTakes, "notification: " + text); },
                [this](const QString &text, const std::function<void()> &done) {
                    handed.append("voice: " + text);
                    done();
                },
                [this] {
                    handed.append("sound");
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
        QTest::addColumn<FakeWindows>("windows");
        QTest::addColumn<QString>("route");

        QTest::newRow("JAWS, behind") << FakeWindows{.jawsTakes = true} << "jaws";
        QTest::newRow("JAWS beside NVDA, behind") << FakeWindows{.jawsTakes = true, .nvda = true} << "jaws";
        QTest::newRow("Narrator, behind") << FakeWindows{} << "notification";
        QTest::newRow("NVDA, in front") << FakeWindows{.nvda = true, .inFront = true} << "notification";
        QTest::newRow("NVDA, behind") << FakeWindows{.nvda = true} << "voice";
        QTest::newRow("no notifications on this Windows")
            << FakeWindows{.inFront = true, .notificationTakes = false} << "voice";
    }
    void route()
    {
        QFETCH(FakeWindows, windows);
        QFETCH(QString, route);
        Announcements announcements(WindowsRoutes(windows.Speech()));

        announcements.Announce({"XX1ABC>hello"}, true, true);
        QCOMPARE(windows.handed, QStringList({"sound", route + ": XX1ABC: hello"}));
    }

    // Windows is asked afresh for each text: a window that goes behind NVDA's back, or NVDA
    // that quits, sends the next text by the next route.
    void asksEachTime()
    {
        FakeWindows windows{.nvda = true, .inFront = true};
        Announcements announcements(WindowsRoutes(windows.Speech()));

        announcements.Announce({"XX1ABC>one"}, true, false);
        windows.inFront = false;
        announcements.Announce({"XX1ABC>two"}, true, false);
        windows.nvda = false;
        announcements.Announce({"XX1ABC>three"}, true, false);
        QCOMPARE(windows.handed,
                 QStringList({"notification: XX1ABC: one", "voice: XX1ABC: two", "notification: XX1ABC: three"}));
    }
};

QTEST_GUILESS_MAIN(tst_WindowsRoutes)
#include "tst_WindowsRoutes.moc"
