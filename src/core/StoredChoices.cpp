#include "core/StoredChoices.h"

#include <QSettings>

#include "core/StoredText.h"

const QString StoredChoices::kApplication = QStringLiteral("Parlox");
const QString StoredChoices::kSection = QStringLiteral("Settings");
const QString StoredChoices::kLogFileKey = QStringLiteral("LogFile");
const QString StoredChoices::kDoubleSpaceKey = QStringLiteral("DoubleSpace");
const QString StoredChoices::kTopKey = QStringLiteral("ScrnTop");
const QString StoredChoices::kLeftKey = QStringLiteral("ScrnLeft");
const QString StoredChoices::kSoundKey = QStringLiteral("Sound");
const QString StoredChoices::kReadAloudKey = QStringLiteral("ReadAloud");

namespace {

QString Path(const QString &key)
{
    return StoredChoices::kSection + QLatin1Char('/') + key;
}

QString Read(const QSettings &store, const QString &key)
{
    return store.value(Path(key)).toString();
}

void WriteFlag(QSettings &store, const QString &key, std::optional<bool> flag)
{
    if (flag)
        store.setValue(Path(key), StoredFlagText(*flag));
}

} // namespace

StoredChoices StoredChoices::Load(const QSettings &store, const QLocale &locale)
{
    return {ParseStoredFlag(Read(store, kLogFileKey)),         ParseStoredFlag(Read(store, kDoubleSpaceKey)),
            ParseStoredPosition(Read(store, kTopKey), locale), ParseStoredPosition(Read(store, kLeftKey), locale),
            ParseStoredFlag(Read(store, kSoundKey)),           ParseStoredFlag(Read(store, kReadAloudKey))};
}

void StoredChoices::Save(QSettings &store, const QLocale &locale) const
{
    WriteFlag(store, kLogFileKey, logging);
    WriteFlag(store, kDoubleSpaceKey, doubleSpacing);
    if (top && left) {
        store.setValue(Path(kTopKey), StoredPositionText(*top, locale));
        store.setValue(Path(kLeftKey), StoredPositionText(*left, locale));
    }
    WriteFlag(store, kSoundKey, sound);
    WriteFlag(store, kReadAloudKey, readAloud);
    store.sync();
}
