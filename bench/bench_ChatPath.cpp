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
#include "core/ChatLog.h"
#include "core/LogRecord.h"
#include "MemoryScenario.h"
#include "announce/PlatformAnnouncer.h"

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
    QMap<QString, Samples> m_samples;
    QMap<QString, qint64> m_windowMemory;
    QMap<QString, qint64> m_bareMemory;
    // Qt Test calls a benchmark again for every round of its calibration; what a row sets up
    // before timing is built once, for the row named here, and kept for its later rounds.
    QString m_preparedTag;
    std::unique_ptr<Rig> m_rig;
    std::unique_ptr<QPlainTextEdit> m_unbounded;

    bool PrepareAppend(bool capped, int entries);
    void PrintSummary() const;

private slots:
    void transcriptAppend_data();
    void transcriptAppend();
    void logRecord();
    void tick_data();
    void tick();
    void unbrokenText();
    void residentMemory();
    void cleanupTestCase()
    {
        m_unbounded.reset();
        m_rig.reset();
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
    Samples &runs = m_samples[tag];
    if (tag != m_preparedTag)
        QVERIFY(PrepareAppend(capped, entries));
    m_preparedTag = tag;

    QElapsedTimer timer;
    if (capped) {
        QBENCHMARK {
            timer.start();
            m_rig->window->ShowChatMessage(kText, m_rig->now);
            runs.ns.append(timer.nsecsElapsed());
        }
        QVERIFY(m_rig->Find<QPlainTextEdit>("tbChatIn")->document()->characterCount() < 20'000);
        return;
    }
    QBENCHMARK {
        timer.start();
        AppendUnbounded(*m_unbounded, kText);
        runs.ns.append(timer.nsecsElapsed());
    }
}

bool bench_ChatPath::PrepareAppend(bool capped, int entries)
{
    m_unbounded.reset();
    m_rig = std::make_unique<Rig>();
    frmMain &window = m_rig->Start();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    if (capped) {
        ReceiveInTicks(*m_rig, kText, 0, entries, kLinesPerTick);
        return true;
    }

    const QPlainTextEdit *pane = m_rig->Find<QPlainTextEdit>("tbChatIn");
    m_unbounded = std::make_unique<QPlainTextEdit>();
    m_unbounded->setFont(pane->font());
    m_unbounded->setFixedSize(pane->size());
    m_unbounded->setLineWrapMode(pane->lineWrapMode());
    m_unbounded->setWordWrapMode(pane->wordWrapMode());
    m_unbounded->setVerticalScrollBarPolicy(pane->verticalScrollBarPolicy());
    m_unbounded->setHorizontalScrollBarPolicy(pane->horizontalScrollBarPolicy());
    m_unbounded->show();
    if (!QTest::qWaitForWindowExposed(m_unbounded.get()))
        return false;
    QTextCursor(m_unbounded->document())
        .insertText(TranscriptEntry(kText, QTime(14, 5), true, QLocale()).repeated(entries));
    AppendUnbounded(*m_unbounded, kText);
    QTest::qWait(kPaintMs);
    return true;
}

// One record of the chat log: open, append, close.
void bench_ChatPath::logRecord()
{
    Rig rig;
    const ChatLog log(rig.logPath());
    Samples &runs = m_samples[QStringLiteral("log record")];
    QElapsedTimer timer;
    QBENCHMARK {
        timer.start();
        log.Append({LogRecord(kText, rig.now, QLocale())});
        runs.ns.append(timer.nsecsElapsed());
    }
    QVERIFY(QFile::exists(rig.logPath()));
}

void bench_ChatPath::tick_data()
{
    QTest::addColumn<int>("waiting");
    QTest::addColumn<bool>("announced");
    QTest::newRow("1000 waiting") << 1'000 << false;
    QTest::newRow("10000 waiting") << 10'000 << false;
    QTest::newRow("10000 waiting, announced") << 10'000 << true;
}

// One tick that finds a crowd of received texts waiting, logging on: each is shown and logged,
// and announced by the platform's own announcer with Read Aloud and Sound on where the row says
// so. Handing the texts over is part of each run, but costs a few microseconds against the
// tick's milliseconds; the kept samples time the tick alone. Afterwards every text must be in
// the log, once, in the order it came.
void bench_ChatPath::tick()
{
    QFETCH(int, waiting);
    QFETCH(bool, announced);
    Samples &runs = m_samples[QString::fromLatin1(QTest::currentDataTag())];

    Rig rig;
    PlatformAnnouncer platform;
    if (announced)
        rig.announcer = &platform;
    frmMain &window = rig.Start();
    platform.SetWindow(&window);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    rig.Find<QAction>("mnuRecordOn")->trigger();
    for (const char *announcement : {"mnuSound", "mnuReadAloud"})
        rig.Find<QAction>(announcement)->setChecked(announced);
    // Start from the pane's steady state.
    ReceiveInTicks(rig, kText, 0, 1'000, kLinesPerTick);

    int sent = 1'000;
    QElapsedTimer timer;
    QBENCHMARK {
        for (int i = 0; i < waiting; ++i)
            emit rig.ChatTextReceived(QStringLiteral("%1 %2").arg(kText).arg(sent++));
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

// One received text of a megabyte without a space, from the tick that takes it in until the
// window has painted it: the pane must not stall laying it out.
void bench_ChatPath::unbrokenText()
{
    Samples &runs = m_samples[QStringLiteral("unbroken megabyte")];
    Rig rig;
    frmMain &window = rig.Start();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString text = QStringLiteral("XX1ABC>") + QString(1 << 20, u'x');
    QElapsedTimer timer;
    QBENCHMARK {
        emit rig.ChatTextReceived(text);
        timer.start();
        TickOnce(window);
        window.repaint();
        runs.ns.append(timer.nsecsElapsed());
    }
}

// Resident memory, each window in a process of its own so that nothing measured before stays
// in it: Parlox's window and a bare one with the same controls, at start-up and while 100,000
// lines come in.
void bench_ChatPath::residentMemory()
{
    m_windowMemory = RunMemoryScenarioProcess(QStringLiteral("window"));
    m_bareMemory = RunMemoryScenarioProcess(QStringLiteral("bare"));
    QVERIFY(m_windowMemory.contains(QStringLiteral("start-up")));
    QVERIFY(m_windowMemory.contains(QStringLiteral("100000")));
    QVERIFY(m_bareMemory.contains(QStringLiteral("100000")));
    QTest::setBenchmarkResult(m_windowMemory.value(QStringLiteral("100000")) * 1024.0, QTest::BytesAllocated);
}

void bench_ChatPath::PrintSummary() const
{
    QTextStream out(stdout);
    out.setRealNumberPrecision(3);
    out.setRealNumberNotation(QTextStream::SmartNotation);
    out << "\nSummary (median of all single runs; microseconds unless stated)\n";

    for (int entries : {1'000, 10'000, 100'000}) {
        if (!m_samples.contains(QStringLiteral("capped, %1 shown before").arg(entries)))
            continue;
        const double capped
            = m_samples.value(QStringLiteral("capped, %1 shown before").arg(entries)).MedianMicroseconds();
        const double unbounded
            = m_samples.value(QStringLiteral("unbounded, %1 held").arg(entries)).MedianMicroseconds();
        out << "Transcript append, " << entries << " entries: capped " << capped << ", unbounded " << unbounded
            << ", capped/unbounded " << (unbounded > 0 ? capped / unbounded : 0) << '\n';
    }

    if (m_samples.contains(QStringLiteral("log record")))
        out << "Log record (open, append, close): "
            << m_samples.value(QStringLiteral("log record")).MedianMicroseconds() << '\n';

    for (const char *row : {"1000 waiting", "10000 waiting", "10000 waiting, announced", "unbroken megabyte"}) {
        if (!m_samples.contains(QString::fromLatin1(row)))
            continue;
        const Samples tick = m_samples.value(QString::fromLatin1(row));
        out << "Tick, " << row << ", logging on: median " << tick.MedianMicroseconds() / 1000.0 << " ms, slowest "
            << tick.MaxMicroseconds() / 1000.0 << " ms over " << tick.ns.size() << " runs\n";
    }

    if (!m_windowMemory.isEmpty()) {
        const qint64 startUp = m_windowMemory.value(QStringLiteral("start-up"));
        out << "Resident memory (KiB): Parlox / bare window keeping every line\n"
            << "  at start-up: " << startUp << " / " << m_bareMemory.value(QStringLiteral("start-up")) << '\n';
        for (int lines = 10'000; lines <= 100'000; lines += 10'000) {
            const qint64 after = m_windowMemory.value(QString::number(lines));
            out << "  after " << lines << " lines: " << after << " (" << (startUp > 0 ? double(after) / startUp : 0)
                << " times start-up) / " << m_bareMemory.value(QString::number(lines)) << '\n';
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
