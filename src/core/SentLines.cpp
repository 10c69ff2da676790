#include "core/SentLines.h"

void SentLines::Remember(const QString &line)
{
    m_lines.append(line);
    m_shown = m_lines.size();
    m_draft.clear();
}

std::optional<QString> SentLines::Older(const QString &current)
{
    TakeEdits(current);
    if (m_shown == 0)
        return std::nullopt;
    --m_shown;
    return m_lines[m_shown];
}

std::optional<QString> SentLines::Newer(const QString &current)
{
    TakeEdits(current);
    if (m_shown == m_lines.size())
        return std::nullopt;
    ++m_shown;
    return m_shown == m_lines.size() ? m_draft : m_lines[m_shown];
}

// A box that no longer holds what the walk put there has been typed into: that text is the
// draft now, and the walk starts again from the newest line.
void SentLines::TakeEdits(const QString &current)
{
    const QString &put = m_shown == m_lines.size() ? m_draft : m_lines[m_shown];
    if (current == put)
        return;
    m_draft = current;
    m_shown = m_lines.size();
}
