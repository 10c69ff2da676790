#include "LineEscaping.h"

QString EscapeLine(const QString &text)
{
    QString line;
    line.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': line += u"\\\\"; break;
        case u'\r': line += u"\\r"; break;
        case u'\n': line += u"\\n"; break;
        case u'\t': line += u"\\t"; break;
        default: line += c; break;
        }
    }
    return line;
}

QString UnescapeLine(const QString &line)
{
    QString text;
    text.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c != u'\\' || i + 1 == line.size()) {
            text += c;
            continue;
        }
        switch (line.at(i + 1).unicode()) {
        case u'\\': text += u'\\'; break;
        case u'r': text += u'\r'; break;
        case u'n': text += u'\n'; break;
        case u't': text += u'\t'; break;
        default: text += c; continue;
        }
        ++i;
    }
    return text;
}
