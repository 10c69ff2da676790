#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "core/Caption.h"
#include "core/LogRecord.h"
#include "core/SpokenText.h"
#include "core/StoredChoices.h"
#include "core/StoredText.h"
#include "core/Transcript.h"
#include "line_escaping/LineEscaping.h"

using namespace Qt::StringLiterals;

// The text rules that need no window; the stored choices read back the way the next run reads them.
class tst_TextRules : public QObject
{
    Q_OBJECT

private slots:
    // The clock is 24-hour even where the locale's own is not; separator and month are the
    // locale's. Past 18000 characters the transcript keeps its newest 10000, also when many
    // entries come in one tick. A run of more than 5000 characters makes the pane break anywhere.
    void entries()
    {
        const QLocale finnish(QLocale::Finnish, QLocale::Finland);
        const QString text = u"one\r\ntwo <b>hi</b>\0\u200F"_s;
        QCOMPARE(TranscriptEntry(text, QTime(23, 59, 59), true, QLocale(QLocale::English, QLocale::UnitedStates)),
                 "23:59<" + text + "\r\n\r\n");
        QCOMPARE(LogRecord(text, QDateTime(QDate(2100, 3, 9), QTime(9, 5)), finnish),
                 "09-" + finnish.monthName(3, QLocale::ShortFormat) + "-00 09.05 " + text + "\r\n");
        // Entry by entry, against the rule read afresh: a cut in the middle of a tick, an entry
        // longer than what is kept, a second cut in one tick.
        const std::pair<qsizetype, QStringList> bursts[]
            = {{17990, {QString(20, u'b'), "c"}},
               {17990, {QString(20, u'b'), "c", QString(12000, u'd'), "e"}},
               {18001, {"b", QString(8000, u'c'), "d"}}};
        for (const auto &[length, entries] : bursts) {
            const QString before(length, u'a');
            QString oneByOne = before;
            for (const QString &entry : entries)
                oneByOne = (oneByOne.size() > 18000 ? oneByOne.right(10000) : oneByOne) + entry;
            const TranscriptChange change = AppendUnderCap(before.size(), entries);
            QCOMPARE(before.right(change.keep) + change.appended, oneByOne);
        }
        QVERIFY(!NeedsBreakAnywhere(QString(5000, u'x') + " " + QString(5000, u'x')));
        QVERIFY(NeedsBreakAnywhere("a " + QString(5001, u'x')));
    }

    // The caption is one short line whatever the host reports; the base call sign is what comes
    // before the first hyphen. What is read aloud: markup as its characters, controls as spaces,
    // long texts cut (never inside a character), and of many texts the first few and how many more.
    void seenAndHeard()
    {
        QCOMPARE(WindowCaption(BaseCallSign("N0CALL-L-R")), "Parlox ~ N0CALL ~ v 1.0.0");
        QCOMPARE(WindowCaption(BaseCallSign("N0\r\nCALL\t")), "Parlox ~ N0  CALL  ~ v 1.0.0");
        QCOMPARE(WindowCaption(QString(1 << 20, u'W')), "Parlox ~ " + QString(31, u'W') + "… ~ v 1.0.0");
        QCOMPARE(SpokenLine(u"XX1ABC>hi <b>there</b>\r\n\t\0 73 \u05E9 📻"_s), u"XX1ABC: hi <b>there</b> 73 \u05E9 📻"_s);
        QCOMPARE(SpokenLine(QString(299, u'a') + u"📻📻"_s), QString(299, u'a') + ", and more");
        QCOMPARE(SpokenSummary({"A>1", "B>2", "C>3", "D>4"}, 36), "A: 1\nB: 2\nC: 3\nand 37 more lines");
        QCOMPARE(SpokenSummary({"A>1"}, 1), "A: 1\nand 1 more line");
    }

    // A flag is on only when it is exactly "True"; a position that is no number, or would put the
    // window far beyond any screen, is not there at all.
    void readStoredText()
    {
        QCOMPARE(ParseStoredFlag("true"), std::optional(false));
        for (const char *unusable : {"NaN", "inf", "1e9", "2,535"})
            QCOMPARE(ParseStoredPosition(unusable, QLocale(QLocale::English, QLocale::UnitedStates)), std::nullopt);
    }

    // Digits and sign are ASCII in every locale; only the decimal separator is the locale's. What
    // earlier runs stored in the locale's own digits still reads. A window closed while minimised
    // has no place: the stored one stays.
    void saveStoredChoicesInEveryLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        for (const char *name : {"C", "sv_SE", "fi_FI", "ar_EG", "de_DE", "fa_IR"})
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

    // The host's lines to and from its stand-in: every UTF-16 unit, between backslashes, comes
    // back, on a line with no line break or tab; a hand-typed backslash before any other
    // character stays as typed.
    void lineEscaping()
    {
        QCOMPARE(EscapeLine(u"C:\\new\r\n\t"), u"C:\\\\new\\r\\n\\t");
        for (char16_t unit = 0x0001; unit != 0; ++unit) {
            const std::u16string text{u'\\', unit, u'\\', unit, u'\\'}, line = EscapeLine(text);
            const QByteArray where = "U+" + QByteArray::number(int(unit), 16);
            QVERIFY2(line.find_first_of(u"\r\n\t") == std::u16string::npos && UnescapeLine(line) == text, where);
            const bool escape = std::u16string_view(u"rnt\\").find(unit) != std::u16string_view::npos;
            QVERIFY2(escape || UnescapeLine(std::u16string{u'\\', unit}) == std::u16string({u'\\', unit}), where);
        }
    }
};

QTEST_APPLESS_MAIN(tst_TextRules)
#include "tst_TextRules.moc"
