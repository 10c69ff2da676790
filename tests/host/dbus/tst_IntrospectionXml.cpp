#include <QTest>

#include "host/dbus/IntrospectionXml.h"

using namespace Qt::StringLiterals;

class tst_IntrospectionXml : public QObject
{
    Q_OBJECT

private slots:
    void ownInterfacesOnly_data();
    void ownInterfacesOnly();
};

void tst_IntrospectionXml::ownInterfacesOnly_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<bool>("offered");

    QTest::newRow("offered among others") << uR"(<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="org.freedesktop.DBus.Introspectable"><method name="Introspect"/></interface>
  <interface name="org.parlox.Host.SysopConfig"></interface>
</node>)"_s << true;
    QTest::newRow("not offered") << uR"(<node><interface name="org.parlox.Host.SetupConfig"/></node>)"_s << false;
    QTest::newRow("only a child's") << uR"(<node><node name="SysopConfig"><interface name="org.parlox.Host.SysopConfig"/></node></node>)"_s << false;
    QTest::newRow("prefix of the name") << uR"(<node><interface name="org.parlox.Host.SysopConfigX"/></node>)"_s << false;
    QTest::newRow("not XML") << u"No such object path '/SysopConfig'"_s << false;
    QTest::newRow("wrong root") << uR"(<html><interface name="org.parlox.Host.SysopConfig"/></html>)"_s << false;
}

void tst_IntrospectionXml::ownInterfacesOnly()
{
    QFETCH(QString, xml);
    QFETCH(bool, offered);

    QCOMPARE(NodeOffersInterface(xml, u"org.parlox.Host.SysopConfig"_s), offered);
}

QTEST_APPLESS_MAIN(tst_IntrospectionXml)
#include "tst_IntrospectionXml.moc"
