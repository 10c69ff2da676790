#pragma once

#include <QString>

// Whether an object's introspection data lists the interface as the object's own. Interfaces of
// child nodes do not count, and malformed data offers nothing.
bool NodeOffersInterface(const QString &introspectionXml, const QString &interfaceName);
