#include <QTest>

#include "LineEscaping.h"

using namespace Qt::StringLiterals;

class tst_LineEscaping : public QObject
{
    Q_OBJECT

private slots:
    void escapedTextIsOneLineAndRoundTrips_data();
    void escapedTextIsOneLineAndRoundTrips();
    void handTypedBackslashesStayAsTyped_data();
    void handTypedBackslashesStayAsTyped();
};

void tst_LineEscaping::escapedTextIsOneLineAndRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");

    QTest::newRow("plain") << u"hello"_s << u"hello"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("line breaks") << u"one\r\ntwo\rthree\n"_s << u"one\\r\\ntwo\\rthree\\n"_s;
    QTest::newRow("tabs") << u"\ta\tb\t"_s << u"\\ta\\tb\\t"_s;
    QTest::newRow("backslashes") << u"C:\\new\\table\\"_s << u"C:\\\\new\\\\table\\\\"_s;
    QTest::newRow("escape look-alike") << u"\\n is not a line break"_s << u"\\\\n is not a line break"_s;
    QTest::newRow("non-ASCII") << u"Grüße, 73 de ÆØÅ 日本 🙂 \u200f"_s << u"Grüße, 73 de ÆØÅ 日本 🙂 \u200f"_s;
}

void tst_LineEscaping::escapedTextIsOneLineAndRoundTrips()
{
    QFETCH(QString, text);
    QFETCH(QString, line);

    QCOMPARE(EscapeLine(text), line);
    QCOMPARE(UnescapeLine(line), text);
}

void tst_LineEscaping::handTypedBackslashesStayAsTyped_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("text");

    QTest::newRow("unknown escape") << u"C:\\data"_s << u"C:\\data"_s;
    QTest::newRow("backslash at the end") << u"ends in \\"_s << u"ends in \\"_s;
    QTest::newRow("escaped backslash before n") << u"a\\\\nb"_s << u"a\\nb"_s;
}

void tst_LineEscaping::handTypedBackslashesStayAsTyped()
{
    QFETCH(QString, line);
    QFETCH(QString, text);

    QCOMPARE(UnescapeLine(line), text);
}

QTEST_APPLESS_MAIN(tst_LineEscaping)
#include "tst_LineEscaping.moc"
