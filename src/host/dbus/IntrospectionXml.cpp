#include "IntrospectionXml.h"

#include <QXmlStreamReader>

bool NodeOffersInterface(const QString &introspectionXml, const QString &interfaceName)
{
    // The object's own interfaces sit directly under the root <node>; deeper ones belong to
    // child nodes that some hosts describe inline.
    constexpr int kOwnInterfaceDepth = 2;

    QXmlStreamReader xml(introspectionXml);
    int depth = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        if (depth == 1 && xml.name() != u"node")
            return false;
        if (depth == kOwnInterfaceDepth && xml.name() == u"interface"
            && xml.attributes().value(QStringLiteral("name")) == interfaceName)
            return true;
    }
    return false;
}
