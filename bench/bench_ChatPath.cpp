// Timings and memory of the chat path, each set beside what it is weighed against. Besides Qt
// Test's own figures, every measurement keeps the time of each single run, and a summary at the
// end gives the medians and the ratios side by side.

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <QTextStream>

#include "ChatFeed.h"
#include "MemoryScenario.h"

namespace {

const QString kText = QStringLiteral("XX1ABC>Anyone tried the new antenna tuner yet?");
// About what one tick takes in at a steady 1,000 texts a second.
constexpr int kLinesPerTick = 500;

// A run of one-off timings, in nanoseconds.
struct Samples
{
    QList<qint64> ns;

    double MedianMicroseconds() const
    {
        if (ns.isEmpty())
            return 0;
        QList<qint64> sorted = ns;
        std::sort(sorted.begin(), sorted.end());
        return sorted.at(sorted.size() / 2) / 1000.0;
    }
    double MaxMicroseconds() const { return ns.isEmpty() ? 0 : *std::max_element(ns.begin(), ns.end()) / 1000.0; }
};

QMap<QString, qint64> RunMemoryScenarioProcess(const QString &scenario)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PARLOX_BENCH_MEMORY"), scenario);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    child.waitForFinished(600'000);
    QMap<QString, qint64> figures;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 2)
            figures.insert(QString::fromLatin1(fields.at(0)), fields.at(1).toLongLong());
    }
    return figures;
}

} // namespace

class bench_ChatPath : public QObject
{
    Q_OBJECT

private:
    QMap<QString, Samples> samples_;
    QMap<QString, qint64> windowMemory_;
    QMap<QString, qint64> bareMemory_;
    // Qt Test calls a benchmark again for every round of its calibration; what a row sets up
    // before timing is built once, for the row named here, and kept for its later rounds.
    QString preparedTag_;
    std::unique_ptr<Rig> rig_;
    std::unique_ptr<QPlainTextEdit> unbounded_;

    bool PrepareAppend(bool capped, int entries);
    void PrintSummary() const;

private slots:
    void transcriptAppend_data();
    void transcriptAppend();
    void logRecord();
    void tick_data();
    void tick();
    void residentMemory();
    void cleanupTestCase()
    {
        unbounded_.reset();
        rig_.reset();
        PrintSummary();
    }
};

void bench_ChatPath::transcriptAppend_data()
{
    QTest::addColumn<bool>("capped");
    QTest::addColumn<int>("entries");
    for (int entries : {1'000, 10'000, 100'000}) {
        QTest::addRow("capped, %d shown before", entries) << true << entries;
        QTest::addRow("unbounded, %d held", entries) << false << entries;
    }
}

// Appending one received text to the pane. The capped pane has shown the given number of
// entries before, received in ticks, and cycles between 10000 and 18000 characters; the
// unbounded box holds them all, put in at one go. Each run adds an entry, so the window shows a
// few more entries than its row says and the unbounded box grows a little while it is timed.
void bench_ChatPath::transcriptAppend()
{
    QFETCH(bool, capped);
    QFETCH(int, entries);
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    Samples &runs = samples_[tag];
    if (tag != preparedTag_)
        QVERIFY(PrepareAppend(capped, entries));
    preparedTag_ = tag;

    QElapsedTimer timer;
    if (capped) {
        QBENCHMARK {
            timer.start();
            rig_->window->ShowChatMessage(kText, rig_->now);
            runs.ns.append(timer.nsecsElapsed());
        }
        QVERIFY(rig_->Find<QPlainTextEdit>("tbChatIn")->document()->characterCount() < 20'000);
        return;
    }
    QBENCHMARK {
        timer.start();
        AppendUnbounded(*unbounded_, kText);
        runs.ns.append(timer.nsecsElapsed());
    }
}

bool bench_ChatPath::PrepareAppend(bool capped, int entries)
{
    unbounded_.reset();
    rig_ = std::make_unique<Rig>();
    frmMain &window = rig_->Start();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    if (capped) {
        ReceiveInTicks(*rig_, kText, 0, entries, kLinesPerTick);
        return true;
    }

    const QPlainTextEdit *pane = rig_->Find<QPlainTextEdit>("tbChatIn");
    unbounded_ = std::make_unique<QPlainTextEdit>();
    unbounded_->setFont(pane->font());
    unbounded_->setFixedSize(pane->size());
    unbounded_->setLineWrapMode(pane->lineWrapMode());
    unbounded_->setWordWrapMode(pane->wordWrapMode());
    unbounded_->setVerticalScrollBarPolicy(pane->verticalScrollBarPolicy());
    unbounded_->setHorizontalScrollBarPolicy(pane->horizontalScrollBarPolicy());
    unbounded_->show();
    if (!QTest::qWaitForWindowExposed(unbounded_.get()))
        return false;
    QTextCursor(unbounded_->document()).insertText(TranscriptEntry(kText, QTime(14, 5), true, QLocale()).repeated(entries));
    AppendUnbounded(*unbounded_, kText);
    QTest::qWait(kPaintMs);
    return true;
}

// One record of the chat log: open, append, close.
void bench_ChatPath::logRecord()
{
    Rig rig;
    frmMain &window = rig.Start();
    rig.Find<QAction>("mnuRecordOn")->trigger();
    Samples &runs = samples_[QStringLiteral("log record")];
    QElapsedTimer timer;
    QBENCHMARK {
        timer.start();
        window.WriteChatLog(kText, rig.now);
        runs.ns.append(timer.nsecsElapsed());
    }
    QVERIFY(QFile::exists(rig.logPath()));
}

void bench_ChatPath::tick_data()
{
    QTest::addColumn<int>("waiting");
    QTest::newRow("1000 waiting") << 1'000;
    QTest::newRow("10000 waiting") << 10'000;
}

// One tick that finds a crowd of received texts waiting, logging on: each is shown and logged.
// Handing the texts over is part of each run, but costs a few microseconds against the tick's
// milliseconds; the kept samples time the tick alone. Afterwards every text must be in the log,
// once, in the order it came.
void bench_ChatPath::tick()
{
    QFETCH(int, waiting);
    Samples &runs = samples_[QString::fromLatin1(QTest::currentDataTag())];

    Rig rig;
    frmMain &window = rig.Start();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    rig.Find<QAction>("mnuRecordOn")->trigger();
    // Start from the pane's steady state.
    ReceiveInTicks(rig, kText, 0, 1'000, kLinesPerTick);

    int sent = 1'000;
    QElapsedTimer timer;
    QBENCHMARK {
        for (int i = 0; i < waiting; ++i)
            emit rig.host.ChatTextReceived(QStringLiteral("%1 %2").arg(kText).arg(sent++));
        timer.start();
        TickOnce(window);
        runs.ns.append(timer.nsecsElapsed());
    }

    QFile log(rig.logPath());
    QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
    const QList<QByteArray> records = log.readAll().split('\n');
    QCOMPARE(records.size() - 1, sent);
    for (int i = 0; i < sent; ++i)
        QVERIFY2(records.at(i).endsWith(' ' + QByteArray::number(i)), records.at(i).constData());
}

// Resident memory, each window in a process of its own so that nothing measured before stays
// in it: Parlox's window and a bare one with the same controls, at start-up and while 100,000
// lines come in.
void bench_ChatPath::residentMemory()
{
    windowMemory_ = RunMemoryScenarioProcess(QStringLiteral("window"));
    bareMemory_ = RunMemoryScenarioProcess(QStringLiteral("bare"));
    QVERIFY(windowMemory_.contains(QStringLiteral("start-up")));
    QVERIFY(windowMemory_.contains(QStringLiteral("100000")));
    QVERIFY(bareMemory_.contains(QStringLiteral("100000")));
    QTest::setBenchmarkResult(windowMemory_.value(QStringLiteral("100000")) * 1024.0, QTest::BytesAllocated);
}

void bench_ChatPath::PrintSummary() const
{
    QTextStream out(stdout);
    out.setRealNumberPrecision(3);
    out.setRealNumberNotation(QTextStream::SmartNotation);
    out << "\nSummary (median of all single runs; microseconds unless stated)\n";

    for (int entries : {1'000, 10'000, 100'000}) {
        if (!samples_.contains(QStringLiteral("capped, %1 shown before").arg(entries)))
            continue;
        const double capped = samples_.value(QStringLiteral("capped, %1 shown before").arg(entries)).MedianMicroseconds();
        const double unbounded = samples_.value(QStringLiteral("unbounded, %1 held").arg(entries)).MedianMicroseconds();
        out << "Transcript append, " << entries << " entries: capped " << capped << ", unbounded " << unbounded
            << ", capped/unbounded " << (unbounded > 0 ? capped / unbounded : 0) << '\n';
    }

    if (samples_.contains(QStringLiteral("log record")))
        out << "Log record (open, append, close): " << samples_.value(QStringLiteral("log record")).MedianMicroseconds()
            << '\n';

    for (int waiting : {1'000, 10'000}) {
        if (!samples_.contains(QStringLiteral("%1 waiting").arg(waiting)))
            continue;
        const Samples tick = samples_.value(QStringLiteral("%1 waiting").arg(waiting));
        out << "Tick with " << waiting << " waiting, logging on: median " << tick.MedianMicroseconds() / 1000.0
            << " ms, slowest " << tick.MaxMicroseconds() / 1000.0 << " ms over " << tick.ns.size() << " runs\n";
    }

    if (!windowMemory_.isEmpty()) {
        const qint64 startUp = windowMemory_.value(QStringLiteral("start-up"));
        out << "Resident memory (KiB): Parlox / bare window keeping every line\n"
            << "  at start-up: " << startUp << " / " << bareMemory_.value(QStringLiteral("start-up")) << '\n';
        for (int lines = 10'000; lines <= 100'000; lines += 10'000) {
            const qint64 after = windowMemory_.value(QString::number(lines));
            out << "  after " << lines << " lines: " << after << " (" << (startUp > 0 ? double(after) / startUp : 0)
                << " times start-up) / " << bareMemory_.value(QString::number(lines)) << '\n';
        }
    }
    out.flush();
}

int main(int argc, char *argv[])
{
    // Comparable figures on any machine: no real display, no desktop settings.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString scenario = qEnvironmentVariable("PARLOX_BENCH_MEMORY");
    if (!scenario.isEmpty())
        return RunMemoryScenario(scenario);
    bench_ChatPath bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_ChatPath.moc"
