#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "main_window/StoredChoices.h"

// The four choices against a settings file, read back the way the next run reads it.
class tst_StoredChoices : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString File() const { return dir_.filePath("Parlox.conf"); }

private slots:
    void cleanup() { QFile::remove(File()); }

    void loadsWhatIsStoredAndNothingElse()
    {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(StoredChoices::Load(QSettings(File(), QSettings::IniFormat), english).logging, std::nullopt);

        QSettings store(File(), QSettings::IniFormat);
        store.setValue("Settings/LogFile", "True");
        store.setValue("Settings/DoubleSpace", "true");
        store.setValue("Settings/ScrnTop", "-60");
        store.setValue("Settings/ScrnLeft", "left");
        const StoredChoices loaded = StoredChoices::Load(store, english);
        QCOMPARE(loaded.logging, std::optional<bool>(true));
        QCOMPARE(loaded.doubleSpacing, std::optional<bool>(false));
        QCOMPARE(loaded.top, std::optional<double>(-60));
        QCOMPARE(loaded.left, std::nullopt);
    }

    void savesBothFlagsAndAPlaceOnlyWhenItHasOne()
    {
        const QLocale german(QLocale::German, QLocale::Germany);
        const auto save = [&](const StoredChoices &choices) {
            QSettings store(File(), QSettings::IniFormat);
            choices.Save(store, german);
        };
        save({false, true, 1800.5, -60});
        // Closed while minimised: no place, so the one stored before stays.
        save({true, false, std::nullopt, std::nullopt});

        QSettings next(File(), QSettings::IniFormat);
        QCOMPARE(next.allKeys().size(), 4);
        QCOMPARE(next.value("Settings/LogFile").toString(), "True");
        QCOMPARE(next.value("Settings/DoubleSpace").toString(), "False");
        QCOMPARE(next.value("Settings/ScrnTop").toString(), "1800,5");
        QCOMPARE(next.value("Settings/ScrnLeft").toString(), "-60");
    }
};

QTEST_APPLESS_MAIN(tst_StoredChoices)
#include "tst_StoredChoices.moc"
