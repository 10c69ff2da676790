#include <QTest>

#include "line_escaping/LineEscaping.h"

// Every UTF-16 unit, between backslashes, comes back from its line, and that line holds no line
// break or tab. A backslash typed by hand before a character other than r, n, t or a backslash
// stays as typed.
class tst_LineEscaping : public QObject
{
    Q_OBJECT

private slots:
    void everyCharacterComesBack()
    {
        QCOMPARE(EscapeLine(u"C:\\new\r\n\t"), u"C:\\\\new\\r\\n\\t");
        for (char16_t unit = 0x0001; unit != 0; ++unit) {
            const std::u16string text{u'\\', unit, u'\\', unit, u'\\'};
            const std::u16string line = EscapeLine(text);
            const QByteArray where = "U+" + QByteArray::number(int(unit), 16);
            QVERIFY2(line.find_first_of(u"\r\n\t") == std::u16string::npos, where);
            QVERIFY2(UnescapeLine(line) == text, where);
            const bool escape = std::u16string_view(u"rnt\\").find(unit) != std::u16string_view::npos;
            QVERIFY2(escape || UnescapeLine(std::u16string{u'\\', unit}) == std::u16string({u'\\', unit}), where);
        }
    }
};

QTEST_APPLESS_MAIN(tst_LineEscaping)
#include "tst_LineEscaping.moc"
