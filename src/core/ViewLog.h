#pragma once

#include <QString>

// Opens the file in the desktop's default program for its type (through the shell on Windows,
// through the desktop's opener elsewhere) and does not wait for it. A file that does not exist
// yet, or no program for it, is quietly left alone.
void OpenWithDefaultProgram(const QString &path);
