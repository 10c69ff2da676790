#pragma once

#include <QString>

inline constexpr auto kLogFileName = "ParloxLog.txt";

// Where the chat log lives: beside the program where a log can really be kept there (a copy run
// from its own folder, and the Windows copy, which installs for the user alone), else in the
// user's data folder (a copy installed for every user, or one on a medium that cannot be
// written). The program folder is tried, not judged from its permissions, which on Windows say
// little about what may be written; trying creates no log.
QString LogFilePath(const QString &programFolder, const QString &userDataFolder);
