#include <QTest>

#include "main_window/StoredSettings.h"

class tst_StoredSettings : public QObject
{
    Q_OBJECT

private slots:
    void flagsAreExactlyTrueOrAnythingElse()
    {
        QCOMPARE(ParseStoredFlag("True"), std::optional<bool>(true));
        for (const char *off : {"False", "true", "TRUE", " True", "1", "abc"})
            QCOMPARE(ParseStoredFlag(off), std::optional<bool>(false));
        QCOMPARE(ParseStoredFlag(QString()), std::nullopt);
        QCOMPARE(StoredFlagText(true), "True");
        QCOMPARE(StoredFlagText(false), "False");
    }

    void positionsAreWrittenAsTheLocaleWritesNumbers()
    {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(StoredPositionText(2535, english), "2535");
        QCOMPARE(StoredPositionText(-60, english), "-60");
        QCOMPARE(StoredPositionText(1234.5, english), "1234.5");
        const QLocale german(QLocale::German, QLocale::Germany);
        QCOMPARE(StoredPositionText(12345.5, german), "12345,5");
    }

    void positionsReadBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("expected");
        QTest::newRow("whole") << "1800" << std::optional<double>(1800);
        QTest::newRow("negative") << "-60" << std::optional<double>(-60);
        QTest::newRow("fraction") << "1234.5" << std::optional<double>(1234.5);
        QTest::newRow("empty") << "" << std::optional<double>();
        QTest::newRow("not a number") << "abc" << std::optional<double>();
        QTest::newRow("NaN") << "NaN" << std::optional<double>();
        QTest::newRow("infinite") << "inf" << std::optional<double>();
        QTest::newRow("out of range") << "1e40" << std::optional<double>();
        QTest::newRow("beyond any screen") << "1e9" << std::optional<double>();
        QTest::newRow("grouped") << "2,535" << std::optional<double>();
    }
    void positionsReadBack()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, expected);
        QCOMPARE(ParseStoredPosition(text, QLocale(QLocale::English, QLocale::UnitedStates)), expected);
    }

    // Some locales write their own minus sign or digits, which other locales cannot read: what
    // is stored stays ASCII, and what earlier runs stored in the locale's own form still reads.
    void positionsSurviveAChangeOfLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        for (const char *name : {"sv_SE", "nb_NO", "fi_FI", "ar_EG", "de_DE", "fa_IR"})
            QTest::newRow(name) << QLocale(QString::fromLatin1(name));
    }
    void positionsSurviveAChangeOfLocale()
    {
        QFETCH(QLocale, locale);
        QCOMPARE(StoredPositionText(-60, locale), "-60");
        QCOMPARE(StoredPositionText(-1234.5, locale), "-1234" + locale.decimalPoint() + "5");
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(ParseStoredPosition(StoredPositionText(-60, locale), english), std::optional<double>(-60));
        QCOMPARE(ParseStoredPosition(StoredPositionText(-1234.5, locale), locale), std::optional<double>(-1234.5));
        QLocale earlier = locale;
        earlier.setNumberOptions(QLocale::OmitGroupSeparator);
        QCOMPARE(ParseStoredPosition(earlier.toString(-1234.5f, 'g', 7), locale), std::optional<double>(-1234.5));
    }

    void positionsRoundTripInTheirLocale()
    {
        for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                      QLocale(QLocale::French, QLocale::France)}) {
            for (double twips : {0.0, 2535.0, -60.0, 123456.0, 1800.5})
                QCOMPARE(ParseStoredPosition(StoredPositionText(twips, locale), locale), std::optional<double>(twips));
        }
    }
};

QTEST_APPLESS_MAIN(tst_StoredSettings)
#include "tst_StoredSettings.moc"
