#include "MemoryScenario.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextStream>

#include "ChatFeed.h"

namespace {

constexpr int kLinesInAll = 100'000;
constexpr int kLinesPerTick = 500;
constexpr int kReportEvery = 10'000;
const QString kText = QStringLiteral("XX1ABC>Anyone tried the new antenna tuner yet?");

void Report(const QString &label)
{
    // Let the window paint what it was given before the figure is taken.
    QTest::qWait(200);
    QTextStream(stdout) << label << ' ' << ResidentKiB() << Qt::endl;
}

int RunWindow()
{
    Rig rig;
    frmMain &window = rig.Start();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    Report(QStringLiteral("start-up"));

    rig.Find<QAction>("mnuRecordOn")->trigger();
    for (int sent = 0; sent < kLinesInAll; sent += kReportEvery) {
        ReceiveInTicks(rig, kText, sent, kReportEvery, kLinesPerTick);
        Report(QString::number(sent + kReportEvery));
    }
    return 0;
}

// The same three controls at the same sizes, with nothing behind them.
int RunBare()
{
    QMainWindow window;
    auto *client = new QWidget(&window);
    client->setFixedSize(466, 345);
    window.setCentralWidget(client);
    auto *pane = new QPlainTextEdit(client);
    pane->setGeometry(0, 0, 465, 309);
    pane->setWordWrapMode(QTextOption::WrapAnywhere);
    (new QLineEdit(client))->setGeometry(0, 316, 405, 21);
    (new QPushButton(QStringLiteral("Send"), client))->setGeometry(408, 316, 57, 21);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    Report(QStringLiteral("start-up"));

    for (int sent = 0; sent < kLinesInAll;) {
        for (int i = 0; i < kLinesPerTick; ++i, ++sent)
            AppendUnbounded(*pane, QStringLiteral("%1 %2").arg(kText).arg(sent));
        QTest::qWait(kPaintMs);
        if (sent % kReportEvery == 0)
            Report(QString::number(sent));
    }
    return 0;
}

} // namespace

qint64 ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    // Files under /proc report no size, so they are read whole rather than up to their end.
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

int RunMemoryScenario(const QString &scenario)
{
    if (scenario == QLatin1String("window"))
        return RunWindow();
    if (scenario == QLatin1String("bare"))
        return RunBare();
    QTextStream(stderr) << "unknown memory scenario: " << scenario << Qt::endl;
    return 2;
}
