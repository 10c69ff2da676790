#pragma once

#include <QString>

// Program-wide names: where the settings are kept.
namespace Globals {

inline const QString settingsApplication = QStringLiteral("Parlox");
inline const QString settingsSection = QStringLiteral("Settings");

} // namespace Globals
