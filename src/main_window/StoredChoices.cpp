#include "main_window/StoredChoices.h"

#include <QSettings>

#include "main_window/Globals.h"
#include "main_window/StoredSettings.h"

const QString StoredChoices::kLogFileKey = QStringLiteral("LogFile");
const QString StoredChoices::kDoubleSpaceKey = QStringLiteral("DoubleSpace");
const QString StoredChoices::kTopKey = QStringLiteral("ScrnTop");
const QString StoredChoices::kLeftKey = QStringLiteral("ScrnLeft");

namespace {

QString Path(const QString &key)
{
    return Globals::settingsSection + QLatin1Char('/') + key;
}

QString Read(const QSettings &store, const QString &key)
{
    return store.value(Path(key)).toString();
}

} // namespace

StoredChoices StoredChoices::Load(const QSettings &store, const QLocale &locale)
{
    return {ParseStoredFlag(Read(store, kLogFileKey)), ParseStoredFlag(Read(store, kDoubleSpaceKey)),
            ParseStoredPosition(Read(store, kTopKey), locale), ParseStoredPosition(Read(store, kLeftKey), locale)};
}

void StoredChoices::Save(QSettings &store, const QLocale &locale) const
{
    if (logging)
        store.setValue(Path(kLogFileKey), StoredFlagText(*logging));
    if (doubleSpacing)
        store.setValue(Path(kDoubleSpaceKey), StoredFlagText(*doubleSpacing));
    if (top && left) {
        store.setValue(Path(kTopKey), StoredPositionText(*top, locale));
        store.setValue(Path(kLeftKey), StoredPositionText(*left, locale));
    }
    store.sync();
}
