#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "core/StoredChoices.h"

// The four choices against a settings file, read back the way the next run reads it.
class tst_StoredChoices : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_file = m_dir.filePath("Parlox.conf");
    QString Stored(const char *key) const
    {
        return QSettings(m_file, QSettings::IniFormat).value("Settings/" + QString::fromLatin1(key)).toString();
    }

private slots:
    void cleanup() { QFile::remove(m_file); }

    // A flag is on only when it is exactly "True"; a position that is no number, or would put the
    // window far beyond any screen, is not there at all.
    void load_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<bool>>("flag");
        QTest::addColumn<std::optional<double>>("position");
        const std::optional<double> none;
        QTest::newRow("nothing stored") << "" << std::optional<bool>() << none;
        QTest::newRow("True") << "True" << std::optional(true) << none;
        QTest::newRow("true") << "true" << std::optional(false) << none;
        QTest::newRow("negative fraction") << "-1234.5" << std::optional(false) << std::optional(-1234.5);
        for (const char *unusable : {"NaN", "inf", "1e9", "2,535"})
            QTest::newRow(unusable) << unusable << std::optional(false) << none;
    }
    void load()
    {
        QFETCH(QString, text);
        QSettings store(m_file, QSettings::IniFormat);
        for (const char *key : {"LogFile", "DoubleSpace", "ScrnTop", "ScrnLeft"})
            store.setValue("Settings/" + QString::fromLatin1(key), text);
        const StoredChoices loaded = StoredChoices::Load(store, QLocale(QLocale::English, QLocale::UnitedStates));
        QTEST(loaded.logging, "flag");
        QTEST(loaded.doubleSpacing, "flag");
        QTEST(loaded.top, "position");
        QTEST(loaded.left, "position");
    }

    // Digits and sign are ASCII in every locale (some write their own, which other locales cannot
    // read); only the decimal separator is the locale's. What earlier runs stored in the locale's
    // own digits still reads. A window closed while minimised has no place: the stored one stays.
    void saveInEveryLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        for (const char *name : {"C", "sv_SE", "nb_NO", "fi_FI", "ar_EG", "de_DE", "fa_IR"})
            QTest::newRow(name) << QLocale(QString::fromLatin1(name));
    }
    void saveInEveryLocale()
    {
        QFETCH(QLocale, locale);
        QSettings store(m_file, QSettings::IniFormat);
        StoredChoices{false, true, -1234.5, 2535}.Save(store, locale);
        StoredChoices{true, false, std::nullopt, std::nullopt}.Save(store, locale);

        QCOMPARE(QSettings(m_file, QSettings::IniFormat).allKeys().size(), 4);
        QCOMPARE(Stored("LogFile") + " " + Stored("DoubleSpace") + " " + Stored("ScrnLeft"), "True False 2535");
        QCOMPARE(Stored("ScrnTop"), "-1234" + locale.decimalPoint() + "5");
        QCOMPARE(StoredChoices::Load(store, locale).top, std::optional(-1234.5));

        QLocale earlier = locale;
        earlier.setNumberOptions(QLocale::OmitGroupSeparator);
        store.setValue("Settings/ScrnTop", earlier.toString(-1234.5f, 'g', 7));
        QCOMPARE(StoredChoices::Load(store, locale).top, std::optional(-1234.5));
    }
};

QTEST_APPLESS_MAIN(tst_StoredChoices)
#include "tst_StoredChoices.moc"
