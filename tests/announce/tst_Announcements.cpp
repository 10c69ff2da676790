#include <QTest>

#include "announce/Announcements.h"

using namespace Qt::StringLiterals;

// Routes that write what reaches them into a journal: "reader: ...", "voice: ..." (its done kept
// back until the test lets the voice finish) and "sound".
struct Journal : QStringList
{
    bool readerRunning = false, readerTakes = true;
    std::function<void()> voiceDone;

    AnnounceRoutes Routes()
    {
        return AnnounceRoutes{[this] { return readerRunning; },
                              [this](const QString &text) {
                                  if (readerTakes)
                                      append("reader: " + text);
                                  return readerTakes;
                              },
                              [this](const QString &text, std::function<void()> done) {
                                  append("voice: " + text);
                                  voiceDone = std::move(done);
                              },
                              [this] {
                                  append(u"sound"_s);
                              }};
    }
    void FinishSpeaking() { std::exchange(voiceDone, nullptr)(); }
};

class tst_Announcements : public QObject
{
    Q_OBJECT

private slots:
    // Each tick: the sound once, whatever came; the tick's texts summed up as one, by the screen
    // reader while one runs and takes it, else by the voice (as in voiceKeepsUp, where none runs).
    void oneTickOneSummary()
    {
        const QStringList two{u"XX1ABC>one"_s, u"XX2DEF>two"_s};
        Journal journal;
        journal.readerRunning = true;
        Announcements announcements(journal.Routes());
        QVERIFY(announcements.ScreenReaderRunning());
        announcements.Announce(two, true, true);
        announcements.Announce(two, false, true);
        journal.readerTakes = false;
        announcements.Announce(two, true, false);
        const QString both = u"XX1ABC: one\nXX2DEF: two"_s;
        QCOMPARE(journal, (QStringList{u"sound"_s, "reader: " + both, u"sound"_s, "voice: " + both}));
    }

    // The voice speaks one summary at a time; what comes meanwhile waits, summed up, and turning
    // Read Aloud off drops it. A tick that showed nothing says nothing. A voice may finish after
    // the announcer is gone.
    void voiceKeepsUp()
    {
        Journal journal;
        auto announcements = std::make_unique<Announcements>(journal.Routes());
        announcements->Announce({u"XX1ABC>one"_s}, true, false);
        announcements->Announce({u"XX2DEF>two"_s, u"XX3GHI>three"_s}, true, true);
        announcements->Announce({u"XX4JKL>four"_s, u"XX5MNO>five"_s, u"XX6PQR>six"_s}, true, false);
        announcements->Announce({}, true, true);
        QCOMPARE(journal, (QStringList{u"voice: XX1ABC: one"_s, u"sound"_s}));
        journal.FinishSpeaking();
        QCOMPARE(journal.mid(2), QStringList{u"voice: XX2DEF: two\nXX3GHI: three\nXX4JKL: four\nand 2 more lines"_s});
        journal.FinishSpeaking();

        announcements->Announce({u"XX1ABC>seven"_s}, true, false);
        announcements->Announce({u"XX2DEF>eight"_s}, true, false);
        announcements->Announce({u"XX3GHI>nine"_s}, false, false);
        journal.FinishSpeaking();
        announcements->Announce({u"XX1ABC>ten"_s}, true, false);
        announcements->Announce({u"XX2DEF>eleven"_s}, true, false);
        announcements.reset();
        journal.FinishSpeaking();
        QCOMPARE(journal.mid(3), (QStringList{u"voice: XX1ABC: seven"_s, u"voice: XX1ABC: ten"_s}));
    }
};

QTEST_GUILESS_MAIN(tst_Announcements)
#include "tst_Announcements.moc"
