#pragma once

#include <optional>

#include <QLocale>
#include <QString>

class QSettings;

// The choices Parlox keeps between runs, read once at start-up and written once at the end. A
// choice with nothing usable stored is absent, and the window keeps its laid-out state.
struct StoredChoices
{
    // Where users' choices have always been kept: the application "Parlox", its section
    // "Settings", and the keys there: the four the program always had, and the two of its
    // announcements.
    static const QString kApplication;
    static const QString kSection;
    static const QString kLogFileKey;
    static const QString kDoubleSpaceKey;
    static const QString kTopKey;
    static const QString kLeftKey;
    static const QString kSoundKey;
    static const QString kReadAloudKey;

    std::optional<bool> logging;
    std::optional<bool> doubleSpacing;
    // The window's outer corner in twips.
    std::optional<double> top;
    std::optional<double> left;
    std::optional<bool> sound;
    std::optional<bool> readAloud;

    static StoredChoices Load(const QSettings &store, const QLocale &locale);

    // Writes the flags it has, and the place only when it has both coordinates: a window closed
    // while minimised keeps the place stored before.
    void Save(QSettings &store, const QLocale &locale) const;
};
