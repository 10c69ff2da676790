#include <QTest>

#include "announce/Announcements.h"

using namespace Qt::StringLiterals;

// What is said, by which route and when, through routes that write into a journal: the screen
// reader's ("reader: ..."), the voice's ("voice: ...", its done kept back until the test lets
// the voice finish) and the sound's ("sound").
class tst_Announcements : public QObject
{
    Q_OBJECT

    QStringList journal;
    bool readerRunning = false;
    bool readerTakes = true;
    std::function<void()> voiceDone;
    bool voiceSilent = false;

    AnnounceRoutes Routes()
    {
        return AnnounceRoutes{[this] { return readerRunning; },
                              [this](const QString &text) {
                                  if (readerTakes)
                                      journal.append("reader: " + text);
                                  return readerTakes;
                              },
                              [this](const QString &text, std::function<void()> done) {
                                  journal.append("voice: " + text);
                                  if (voiceSilent)
                                      done();
                                  else
                                      voiceDone = std::move(done);
                              },
                              [this] {
                                  journal.append(u"sound"_s);
                              }};
    }

    void FinishSpeaking() { std::exchange(voiceDone, nullptr)(); }

private slots:
    void init()
    {
        journal.clear();
        readerRunning = false;
        readerTakes = true;
        voiceDone = nullptr;
        voiceSilent = false;
    }

    // One tick: the sound once, whatever came; the texts read as the listener needs them
    // (sender and line, no markup interpreted, no time stamp), a burst as its first three lines
    // and how many more; by the screen reader while one runs and takes the text, else by the
    // voice. Nothing at all for a tick that showed nothing.
    void oneTick_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("takes");
        QTest::addColumn<bool>("readAloud");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("said");
        const QStringList one{u"XX1ABC>hello <b>there</b>"_s};
        const QStringList burst{u"XX1ABC>one"_s, u"XX2DEF>two"_s, u"N0CALL>three"_s, u"XX1ABC>four"_s,
                                u"XX2DEF>five"_s};
        const QString burstSaid = u"XX1ABC: one\nXX2DEF: two\nN0CALL: three\nand 2 more lines"_s;
        QTest::newRow("one, screen reader")
            << true << true << true << true << one << QStringList{u"sound"_s, u"reader: XX1ABC: hello <b>there</b>"_s};
        QTest::newRow("burst, screen reader")
            << true << true << true << false << burst << QStringList{"reader: " + burstSaid};
        QTest::newRow("one, voice") << false << true << true << false << one
                                    << QStringList{u"voice: XX1ABC: hello <b>there</b>"_s};
        QTest::newRow("burst, voice") << false << true << true << true << burst
                                      << QStringList{u"sound"_s, "voice: " + burstSaid};
        QTest::newRow("screen reader cannot take it")
            << true << false << true << false << one << QStringList{u"voice: XX1ABC: hello <b>there</b>"_s};
        QTest::newRow("notice") << true << true << true << false
                                << QStringList{u"Parlox: EchoLink is back; chat goes on."_s}
                                << QStringList{u"reader: Parlox: EchoLink is back; chat goes on."_s};
        QTest::newRow("read aloud off") << true << true << false << true << burst << QStringList{u"sound"_s};
        QTest::newRow("both off") << false << true << false << false << burst << QStringList{};
        QTest::newRow("nothing shown") << true << true << true << true << QStringList{} << QStringList{};
    }
    void oneTick()
    {
        QFETCH(bool, running);
        QFETCH(bool, takes);
        QFETCH(bool, readAloud);
        QFETCH(bool, sound);
        QFETCH(QStringList, texts);
        readerRunning = running;
        readerTakes = takes;
        Announcements announcements(Routes());
        QCOMPARE(announcements.ScreenReaderRunning(), running);
        announcements.Announce(texts, readAloud, sound);
        QTEST(journal, "said");
    }

    // The voice speaks one summary at a time. What comes while it speaks waits, summed up as the
    // first three texts and how many more, and is said once it has finished; turning Read Aloud
    // off drops what waits. A screen reader that quits is noticed at the next tick, one that
    // comes back too; a voice that is silent at once passes every tick straight through.
    void voiceKeepsUp()
    {
        Announcements announcements(Routes());
        announcements.Announce({u"XX1ABC>one"_s}, true, false);
        announcements.Announce({u"XX2DEF>two"_s, u"XX3GHI>three"_s}, true, true);
        announcements.Announce({u"XX4JKL>four"_s, u"XX5MNO>five"_s, u"XX6PQR>six"_s}, true, false);
        QCOMPARE(journal, (QStringList{u"voice: XX1ABC: one"_s, u"sound"_s}));
        FinishSpeaking();
        QCOMPARE(journal.mid(2), QStringList{u"voice: XX2DEF: two\nXX3GHI: three\nXX4JKL: four\nand 2 more lines"_s});
        FinishSpeaking();
        QVERIFY(!voiceDone);

        journal.clear();
        announcements.Announce({u"XX1ABC>seven"_s}, true, false);
        announcements.Announce({u"XX2DEF>eight"_s}, true, false);
        announcements.Announce({u"XX3GHI>nine"_s}, false, false);
        FinishSpeaking();
        QCOMPARE(journal, QStringList{u"voice: XX1ABC: seven"_s});

        journal.clear();
        readerRunning = true;
        announcements.Announce({u"XX1ABC>ten"_s}, true, false);
        readerRunning = false;
        announcements.Announce({u"XX2DEF>eleven"_s}, true, false);
        QCOMPARE(journal, (QStringList{u"reader: XX1ABC: ten"_s, u"voice: XX2DEF: eleven"_s}));

        journal.clear();
        FinishSpeaking();
        voiceSilent = true;
        announcements.Announce({u"XX1ABC>twelve"_s}, true, false);
        announcements.Announce({u"XX2DEF>thirteen"_s}, true, false);
        QCOMPARE(journal, (QStringList{u"voice: XX1ABC: twelve"_s, u"voice: XX2DEF: thirteen"_s}));
    }

    // A voice may finish after the window and its announcer are gone, as the program ends.
    void voiceFinishesAfterTheEnd()
    {
        auto announcements = std::make_unique<Announcements>(Routes());
        announcements->Announce({u"XX1ABC>one"_s}, true, false);
        announcements->Announce({u"XX2DEF>two"_s}, true, false);
        announcements.reset();
        FinishSpeaking();
        QCOMPARE(journal, QStringList{u"voice: XX1ABC: one"_s});
    }
};

QTEST_GUILESS_MAIN(tst_Announcements)
#include "tst_Announcements.moc"
