#pragma once

#include <QString>

// Removes spaces (and only spaces: tabs stay) from both ends of a typed line.
QString TrimSpaces(const QString &line);
