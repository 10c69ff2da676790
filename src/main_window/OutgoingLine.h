#pragma once

#include <QString>

// Removes spaces (and only spaces: tabs stay) from both ends of a typed line.
QString TrimSpaces(const QString &line);

// What the warning box says when the host did not take a line. A host that did not answer in
// time may still pass the line on, so sending it again could give the conference it twice.
QString SendFailureText(const QString &reason, bool mayStillArrive);
