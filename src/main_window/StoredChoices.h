#pragma once

#include <optional>

#include <QLocale>
#include <QString>

class QSettings;

// The four choices Parlox keeps between runs, read once at start-up and written once at the
// end. A choice with nothing usable stored is absent, and the window keeps its laid-out state.
struct StoredChoices
{
    // The keys in the section "Settings" of the application "Parlox", where users' choices have
    // always been kept.
    static const QString kLogFileKey;
    static const QString kDoubleSpaceKey;
    static const QString kTopKey;
    static const QString kLeftKey;

    std::optional<bool> logging;
    std::optional<bool> doubleSpacing;
    // The window's outer corner in twips.
    std::optional<double> top;
    std::optional<double> left;

    static StoredChoices Load(const QSettings &store, const QLocale &locale);

    // Writes both flags, and the place only when it has both coordinates: a window closed while
    // minimised keeps the place stored before.
    void Save(QSettings &store, const QLocale &locale) const;
};
