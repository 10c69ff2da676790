#include <QTest>

#include "LineEscaping.h"

using namespace Qt::StringLiterals;

namespace {

QString Escaped(const QString &text)
{
    return QString::fromStdU16String(EscapeLine(text.toStdU16String()));
}

QString Unescaped(const QString &line)
{
    return QString::fromStdU16String(UnescapeLine(line.toStdU16String()));
}

// What a backslash typed before the character stands for.
QString TypedAfterBackslash(QChar c)
{
    switch (c.unicode()) {
    case u'r': return u"\r"_s;
    case u'n': return u"\n"_s;
    case u't': return u"\t"_s;
    case u'\\': return u"\\"_s;
    default: return u"\\%1"_s.arg(c);
    }
}

} // namespace

class tst_LineEscaping : public QObject
{
    Q_OBJECT

private slots:
    void escapesTheFourCharacters_data();
    void escapesTheFourCharacters();
    void everyCharacterComesBack();
};

void tst_LineEscaping::escapesTheFourCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("line breaks and tab") << u"one\r\ntwo\tthree\n"_s << u"one\\r\\ntwo\\tthree\\n"_s;
    QTest::newRow("backslashes") << u"C:\\new\\"_s << u"C:\\\\new\\\\"_s;
}

void tst_LineEscaping::escapesTheFourCharacters()
{
    QFETCH(QString, text);
    QFETCH(QString, line);

    QCOMPARE(Escaped(text), line);
}

// Every UTF-16 unit, beside backslashes, comes back from its line, and that line holds no line
// break or tab. A backslash typed by hand before a character other than r, n, t or a backslash
// stays as typed.
void tst_LineEscaping::everyCharacterComesBack()
{
    for (char16_t unit = 0x0001; unit != 0; ++unit) {
        const QChar c(unit);
        const QByteArray where = "U+" + QByteArray::number(int(unit), 16);

        const QString text = u"\\%1\\%1\\"_s.arg(c);
        const QString line = Escaped(text);
        QVERIFY2(!line.contains(u'\r') && !line.contains(u'\n') && !line.contains(u'\t'), where.constData());
        QVERIFY2(Unescaped(line) == text, where.constData());

        QVERIFY2(Unescaped(u"\\%1"_s.arg(c)) == TypedAfterBackslash(c), where.constData());
    }
}

QTEST_APPLESS_MAIN(tst_LineEscaping)
#include "tst_LineEscaping.moc"
