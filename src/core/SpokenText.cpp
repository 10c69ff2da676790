#include "core/SpokenText.h"

namespace {

constexpr qsizetype kLongestCallSign = 16;

bool IsCallSign(QStringView text)
{
    if (text.isEmpty() || text.size() > kLongestCallSign)
        return false;
    for (const QChar c : text) {
        if (!c.isLetterOrNumber() && c != u'-' && c != u'/')
            return false;
    }
    return true;
}

// Control characters and line breaks read as pauses at best and as noise at worst.
QString WithoutControls(QString text)
{
    for (QChar &c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph)
            c = u' ';
    }
    return text.simplified();
}

QString Cut(const QString &text)
{
    if (text.size() <= kSpokenLength)
        return text;
    qsizetype end = kSpokenLength;
    if (text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end) + QStringLiteral(", and more");
}

} // namespace

QString SpokenLine(const QString &text)
{
    const qsizetype marker = text.indexOf(u'>');
    const QStringView sender = QStringView(text).left(marker);
    if (marker > 0 && IsCallSign(sender))
        return Cut(sender.toString() + QStringLiteral(": ") + WithoutControls(text.mid(marker + 1)));
    return Cut(WithoutControls(text));
}

QString SpokenSummary(const QStringList &texts, qsizetype more)
{
    QStringList lines;
    for (const QString &text : texts.first(std::min(texts.size(), kSpokenAtOnce)))
        lines.append(SpokenLine(text));
    more += std::max<qsizetype>(0, texts.size() - kSpokenAtOnce);
    if (more == 1)
        lines.append(QStringLiteral("and 1 more line"));
    else if (more > 1)
        lines.append(QStringLiteral("and %1 more lines").arg(more));
    return lines.join(u'\n');
}
