#include "main_window/SentLines.h"

void SentLines::Remember(const QString &line)
{
    lines_.append(line);
    shown_ = lines_.size();
    draft_.clear();
}

std::optional<QString> SentLines::Older(const QString &current)
{
    TakeEdits(current);
    if (shown_ == 0)
        return std::nullopt;
    --shown_;
    return lines_[shown_];
}

std::optional<QString> SentLines::Newer(const QString &current)
{
    TakeEdits(current);
    if (shown_ == lines_.size())
        return std::nullopt;
    ++shown_;
    return shown_ == lines_.size() ? draft_ : lines_[shown_];
}

// A box that no longer holds what the walk put there has been typed into: that text is the
// draft now, and the walk starts again from the newest line.
void SentLines::TakeEdits(const QString &current)
{
    const QString &put = shown_ == lines_.size() ? draft_ : lines_[shown_];
    if (current == put)
        return;
    draft_ = current;
    shown_ = lines_.size();
}
