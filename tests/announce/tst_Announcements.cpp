#include <QTest>

#include "announce/Announcements.h"

using namespace Qt::StringLiterals;

// Routes that write what reaches them into a journal: the screen reader's ("reader: ..."), the
// voice's ("voice: ...", its done kept back until the test lets the voice finish) and the sound's
// ("sound").
struct Journal : QStringList
{
    bool readerRunning = false;
    bool readerTakes = true;
    bool voiceSilent = false;
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
                                  if (voiceSilent)
                                      done();
                                  else
                                      voiceDone = std::move(done);
                              },
                              [this] {
                                  append(u"sound"_s);
                              }};
    }
    void FinishSpeaking() { std::exchange(voiceDone, nullptr)(); }
};

// What is said, by which route and when.
class tst_Announcements : public QObject
{
    Q_OBJECT

private slots:
    // One tick: the sound once, whatever came; the tick's texts summed up as one (what the
    // summary says is the text rules' own test), by the screen reader while one runs and takes
    // it, else by the voice. Nothing at all for a tick that showed nothing.
    void oneTick_data()
    {
        QTest::addColumn<QString>("reader"); // none, takes or refuses
        QTest::addColumn<bool>("readAloud");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("said");
        const QStringList burst{u"XX1ABC>one"_s, u"XX2DEF>two"_s, u"N0CALL>three"_s, u"XX1ABC>four"_s,
                                u"XX2DEF>five"_s};
        const QString burstSaid = u"XX1ABC: one\nXX2DEF: two\nN0CALL: three\nand 2 more lines"_s;
        QTest::newRow("screen reader") << "takes" << true << true << burst
                                       << QStringList{u"sound"_s, "reader: " + burstSaid};
        QTest::newRow("voice") << "none" << true << true << burst << QStringList{u"sound"_s, "voice: " + burstSaid};
        QTest::newRow("screen reader refuses")
            << "refuses" << true << false << burst << QStringList{"voice: " + burstSaid};
        QTest::newRow("read aloud off") << "takes" << false << true << burst << QStringList{u"sound"_s};
        QTest::newRow("nothing shown") << "takes" << true << true << QStringList{} << QStringList{};
    }
    void oneTick()
    {
        QFETCH(QString, reader);
        QFETCH(bool, readAloud);
        QFETCH(bool, sound);
        QFETCH(QStringList, texts);
        Journal journal;
        journal.readerRunning = reader != u"none";
        journal.readerTakes = reader != u"refuses";
        Announcements announcements(journal.Routes());
        QCOMPARE(announcements.ScreenReaderRunning(), journal.readerRunning);
        announcements.Announce(texts, readAloud, sound);
        QTEST(QStringList(journal), "said");
    }

    // The voice speaks one summary at a time. What comes while it speaks waits, summed up as the
    // first three texts and how many more, and is said once it has finished; turning Read Aloud
    // off drops what waits. A voice that is silent at once passes every tick straight through. A
    // voice may finish after the window and its announcer are gone, as the program ends. (That a
    // screen reader that quits is noticed at the next tick, the screen-reader test shows with the
    // real one.)
    void voiceKeepsUp()
    {
        Journal journal;
        auto announcements = std::make_unique<Announcements>(journal.Routes());
        announcements->Announce({u"XX1ABC>one"_s}, true, false);
        announcements->Announce({u"XX2DEF>two"_s, u"XX3GHI>three"_s}, true, true);
        announcements->Announce({u"XX4JKL>four"_s, u"XX5MNO>five"_s, u"XX6PQR>six"_s}, true, false);
        QCOMPARE(journal, (QStringList{u"voice: XX1ABC: one"_s, u"sound"_s}));
        journal.FinishSpeaking();
        QCOMPARE(journal.mid(2), QStringList{u"voice: XX2DEF: two\nXX3GHI: three\nXX4JKL: four\nand 2 more lines"_s});
        journal.FinishSpeaking();
        QVERIFY(!journal.voiceDone);

        journal.clear();
        announcements->Announce({u"XX1ABC>seven"_s}, true, false);
        announcements->Announce({u"XX2DEF>eight"_s}, true, false);
        announcements->Announce({u"XX3GHI>nine"_s}, false, false);
        journal.FinishSpeaking();
        QCOMPARE(journal, QStringList{u"voice: XX1ABC: seven"_s});

        journal.clear();
        journal.voiceSilent = true;
        announcements->Announce({u"XX1ABC>twelve"_s}, true, false);
        announcements->Announce({u"XX2DEF>thirteen"_s}, true, false);
        QCOMPARE(journal, (QStringList{u"voice: XX1ABC: twelve"_s, u"voice: XX2DEF: thirteen"_s}));

        journal.clear();
        journal.voiceSilent = false;
        announcements->Announce({u"XX1ABC>fourteen"_s}, true, false);
        announcements->Announce({u"XX2DEF>fifteen"_s}, true, false);
        announcements.reset();
        journal.FinishSpeaking();
        QCOMPARE(journal, QStringList{u"voice: XX1ABC: fourteen"_s});
    }
};

QTEST_GUILESS_MAIN(tst_Announcements)
#include "tst_Announcements.moc"
