#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "core/LogRecord.h"
#include "core/StoredChoices.h"
#include "core/StoredSettings.h"
#include "core/Transcript.h"

using namespace Qt::StringLiterals;

// The text rules that need no window: the entries of transcript and log, the transcript's cap,
// and the four stored choices as text, read back the way the next run reads them.
class tst_TextRules : public QObject
{
    Q_OBJECT

private slots:
    // The clock is 24-hour even where the locale's own is not; separator and month are the
    // locale's; day, hour and year have two digits. Text goes in exactly as it came: markup, line
    // breaks, NUL, direction marks. Past 18000 characters the transcript keeps its newest 10000.
    void entries()
    {
        const QLocale finnish(QLocale::Finnish, QLocale::Finland);
        const QString text = u"one\r\ntwo <b>hi</b>\0\u200F"_s;
        QCOMPARE(TranscriptEntry(text, QTime(23, 59, 59), true, QLocale(QLocale::English, QLocale::UnitedStates)),
                 "23:59<" + text + "\r\n\r\n");
        QCOMPARE(LogRecord(text, QDateTime(QDate(2100, 3, 9), QTime(9, 5)), finnish),
                 "09-" + finnish.monthName(3, QLocale::ShortFormat) + "-00 09.05 " + text + "\r\n");
        const QString atCap(18000, u'a');
        QCOMPARE(TranscriptCut(atCap), atCap);
        QCOMPARE(TranscriptCut("o" + QString(18000, u'k')), QString(10000, u'k'));
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
        StoredChoices{false, true, -1234.5, 2535}.Save(store, locale);
        StoredChoices{true, false, std::nullopt, std::nullopt}.Save(store, locale);
        QSettings next(dir.filePath("Parlox.conf"), QSettings::IniFormat);
        QStringList stored;
        for (const QString &key : next.allKeys())
            stored.append(key + "=" + next.value(key).toString());
        QCOMPARE(stored.join(" "),
                 "Settings/DoubleSpace=False Settings/LogFile=True Settings/ScrnLeft=2535 Settings/ScrnTop=-1234"
                     + locale.decimalPoint() + "5");

        QLocale earlier = locale;
        earlier.setNumberOptions(QLocale::OmitGroupSeparator);
        store.setValue("Settings/ScrnTop", earlier.toString(-1234.5f, 'g', 7));
        QCOMPARE(StoredChoices::Load(store, locale).top, std::optional(-1234.5));
    }
};

QTEST_APPLESS_MAIN(tst_TextRules)
#include "tst_TextRules.moc"
