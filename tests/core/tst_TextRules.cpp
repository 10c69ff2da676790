#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "core/Caption.h"
#include "core/LogRecord.h"
#include "core/SpokenText.h"
#include "core/StoredChoices.h"
#include "core/StoredText.h"
#include "core/Transcript.h"

using namespace Qt::StringLiterals;

// The text rules that need no window: the entries of transcript and log, the transcript's cap,
// the caption, what is read aloud, and the stored choices as text, read back the way the next
// run reads them.
class tst_TextRules : public QObject
{
    Q_OBJECT

private slots:
    // The clock is 24-hour even where the locale's own is not; separator and month are the
    // locale's; day, hour and year have two digits. Text goes in exactly as it came: markup, line
    // breaks, NUL, direction marks; Parlox's own notices have " *** " where chat has "<". Past
    // 18000 characters the transcript keeps its newest 10000, also when many entries come at once.
    // A run of more than 5000 characters without a space makes the pane break lines anywhere.
    void entries()
    {
        const QLocale finnish(QLocale::Finnish, QLocale::Finland), english(QLocale::English, QLocale::UnitedStates);
        const QString text = u"one\r\ntwo <b>hi</b>\0\u200F"_s;
        QCOMPARE(TranscriptEntry(text, QTime(23, 59, 59), true, english), "23:59<" + text + "\r\n\r\n");
        QCOMPARE(TranscriptNotice("gone", QTime(0, 1), false, english), "00:01 *** gone\r\n");
        QCOMPARE(LogRecord(text, QDateTime(QDate(2100, 3, 9), QTime(9, 5)), finnish),
                 "09-" + finnish.monthName(3, QLocale::ShortFormat) + "-00 09.05 " + text + "\r\n");
        const QString atCap(18000, u'a');
        QCOMPARE(TranscriptCut(atCap), atCap);
        QCOMPARE(TranscriptCut("o" + QString(18000, u'k')), QString(10000, u'k'));
        const std::pair<qsizetype, QStringList> bursts[]
            = {{17990, {"x"}},
               {17990, {QString(20, u'b'), "c"}},
               {17990, {QString(20, u'b'), "c", QString(12000, u'd'), "e"}},
               {18001, {"b", QString(8000, u'c'), "d"}}};
        for (const auto &[length, entries] : bursts) {
            const QString before(length, u'a');
            QString oneByOne = before;
            for (const QString &entry : entries)
                oneByOne = TranscriptCut(oneByOne) + entry;
            const TranscriptChange change = AppendUnderCap(before.size(), entries);
            QCOMPARE(before.right(change.keep) + change.appended, oneByOne);
        }
        QVERIFY(!NeedsBreakAnywhere(QString(5000, u'x') + " " + QString(5000, u'x')));
        QVERIFY(NeedsBreakAnywhere("a " + QString(5001, u'x')));
    }

    // The caption is one short line whatever the host reports; the base call sign is what comes
    // before the first hyphen.
    void caption_data()
    {
        QTest::addColumn<QString>("reported");
        QTest::addColumn<QString>("caption");
        QTest::newRow("no hyphen") << "N0CALL"
                                   << "Parlox ~ N0CALL ~ v 1.0.0";
        QTest::newRow("several") << "N0CALL-L-R"
                                 << "Parlox ~ N0CALL ~ v 1.0.0";
        QTest::newRow("leading") << "-L"
                                 << "Parlox ~  ~ v 1.0.0";
        QTest::newRow("control characters") << "N0\r\nCALL\t"
                                            << "Parlox ~ N0  CALL  ~ v 1.0.0";
        QTest::newRow("a megabyte") << QString(1 << 20, u'W') << "Parlox ~ " + QString(31, u'W') + "… ~ v 1.0.0";
    }
    void caption()
    {
        QFETCH(QString, reported);
        QTEST(WindowCaption(BaseCallSign(reported)), "caption");
    }

    // What is read aloud: the sender and the line, markup as its characters, controls as spaces,
    // long texts cut (never inside a character) with a word that there was more, and of many texts
    // the first few and how many more came.
    void spoken()
    {
        QCOMPARE(SpokenLine(u"XX1ABC>hi <b>there</b>\r\n\t\0 73 \u05E9 📻"_s), u"XX1ABC: hi <b>there</b> 73 \u05E9 📻"_s);
        QCOMPARE(SpokenLine("not a call sign>x"), "not a call sign>x");
        const QString longText = SpokenLine(QString(299, u'a') + u"📻📻"_s);
        QCOMPARE(longText, QString(299, u'a') + ", and more");
        QCOMPARE(SpokenSummary({"A>1", "B>2", "C>3", "D>4"}, 36), "A: 1\nB: 2\nC: 3\nand 37 more lines");
        QCOMPARE(SpokenSummary({"A>1"}, 1), "A: 1\nand 1 more line");
    }

    // A flag is on only when it is exactly "True"; a position that is no number, or would put the
    // window far beyond any screen, is not there at all.
    void readStoredText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<bool>>("flag");
        QTest::addColumn<std::optional<double>>("position");
        QTest::newRow("true") << "true" << std::optional(false) << std::optional<double>();
        QTest::newRow("negative fraction") << "-1234.5" << std::optional(false) << std::optional(-1234.5);
        for (const char *unusable : {"NaN", "inf", "1e9", "2,535"})
            QTest::newRow(unusable) << unusable << std::optional(false) << std::optional<double>();
    }
    void readStoredText()
    {
        QFETCH(QString, text);
        QTEST(ParseStoredFlag(text), "flag");
        QTEST(ParseStoredPosition(text, QLocale(QLocale::English, QLocale::UnitedStates)), "position");
    }

    // Digits and sign are ASCII in every locale (some write their own, which other locales cannot
    // read); only the decimal separator is the locale's. What earlier runs stored in the locale's
    // own digits still reads. A window closed while minimised has no place: the stored one stays.
    void saveStoredChoicesInEveryLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        for (const char *name : {"C", "sv_SE", "nb_NO", "fi_FI", "ar_EG", "de_DE", "fa_IR"})
            QTest::newRow(name) << QLocale(QString::fromLatin1(name));
    }
    void saveStoredChoicesInEveryLocale()
    {
        QFETCH(QLocale, locale);
        const QTemporaryDir dir;
        QSettings store(dir.filePath("Parlox.conf"), QSettings::IniFormat);
        StoredChoices{false, true, -1234.5, 2535, true, std::nullopt}.Save(store, locale);
        StoredChoices{true, false, std::nullopt, std::nullopt, std::nullopt, false}.Save(store, locale);
        QSettings next(dir.filePath("Parlox.conf"), QSettings::IniFormat);
        QStringList stored;
        for (const QString &key : next.allKeys())
            stored.append(key + "=" + next.value(key).toString());
        QCOMPARE(stored.join(" "),
                 "Settings/DoubleSpace=False Settings/LogFile=True Settings/ReadAloud=False Settings/ScrnLeft=2535 "
                 "Settings/ScrnTop=-1234"
                     + locale.decimalPoint() + "5 Settings/Sound=True");

        QLocale earlier = locale;
        earlier.setNumberOptions(QLocale::OmitGroupSeparator);
        store.setValue("Settings/ScrnTop", earlier.toString(-1234.5f, 'g', 7));
        QCOMPARE(StoredChoices::Load(store, locale).top, std::optional(-1234.5));
    }
};

QTEST_APPLESS_MAIN(tst_TextRules)
#include "tst_TextRules.moc"
