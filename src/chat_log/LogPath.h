#pragma once

#include <QString>

inline constexpr auto kLogFileName = "ParloxLog.txt";

// Where the chat log lives: beside the program where that folder can be written (a copy run
// from its own folder), else in the user's data folder (an installed copy).
QString LogFilePath(const QString &programFolder, const QString &userDataFolder);
