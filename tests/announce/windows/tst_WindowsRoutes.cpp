#include <QTest>

#include "announce/WindowsRoutes.h"

namespace {

// What Windows and the screen readers that run answer.
struct Desktop
{
    bool jawsTakes = false;
    bool nvda = false;
    bool inFront = false;
    bool notificationTakes = true;
};

} // namespace

class tst_WindowsRoutes : public QObject
{
    Q_OBJECT

private slots:
    // A received text goes to the screen reader by exactly one route that it speaks from where the
    // window is; where there is none (empty route), the system voice speaks it.
    void route_data()
    {
        QTest::addColumn<Desktop>("desktop");
        QTest::addColumn<QString>("route");

        QTest::newRow("JAWS, behind") << Desktop{.jawsTakes = true} << "jaws";
        QTest::newRow("JAWS beside NVDA, behind") << Desktop{.jawsTakes = true, .nvda = true} << "jaws";
        QTest::newRow("Narrator, behind") << Desktop{} << "notification";
        QTest::newRow("NVDA, in front") << Desktop{.nvda = true, .inFront = true} << "notification";
        QTest::newRow("NVDA, behind") << Desktop{.nvda = true} << "";
        QTest::newRow("no notifications on this Windows") << Desktop{.inFront = true, .notificationTakes = false} << "";
    }
    void route()
    {
        QFETCH(Desktop, desktop);
        QFETCH(QString, route);
        QStringList taken;
        const auto hand = [&taken](bool takes, const QString &to) {
            return [&taken, takes, to](const QString &text) {
                if (takes)
                    taken << to + ": " + text;
                return takes;
            };
        };
        const AnnounceRoutes routes = WindowsRoutes({.screenReaderRunning = {},
                                                     .jaws = hand(desktop.jawsTakes, "jaws"),
                                                     .nvdaRunning = [&] { return desktop.nvda; },
                                                     .windowInFront = [&] { return desktop.inFront; },
                                                     .notification = hand(desktop.notificationTakes, "notification"),
                                                     .voice = {},
                                                     .sound = {}});

        QCOMPARE(routes.toScreenReader("XX1ABC: hello"), !route.isEmpty());
        QCOMPARE(taken, route.isEmpty() ? QStringList() : QStringList(route + ": XX1ABC: hello"));
    }
};

QTEST_GUILESS_MAIN(tst_WindowsRoutes)
#include "tst_WindowsRoutes.moc"
