#pragma once

#include <QString>

// Opens the file in the desktop's default program for its type, without a shell and without
// waiting. A file that does not exist yet, or no program for it, is quietly left alone.
void OpenWithDefaultProgram(const QString &path);
