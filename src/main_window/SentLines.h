#pragma once

#include <optional>

#include <QString>
#include <QStringList>

// The lines this run has sent, walked through with Up and Down in the entry box as in a shell:
// Up goes to older lines, Down back to newer ones and finally to what was typed before the
// first Up. Text the user has edited since the walk last filled the box counts as newly typed,
// so it is never thrown away: it becomes what Down comes back to. Nothing is kept between runs.
class SentLines
{
public:
    // A line the host took. The walk starts again from the newest line.
    void Remember(const QString &line);

    // Up, with the box holding current: the next older line, or nothing when there is none.
    std::optional<QString> Older(const QString &current);

    // Down, with the box holding current: the next newer line, or after the newest one the text
    // typed before the walk began; nothing when the box is not showing a sent line.
    std::optional<QString> Newer(const QString &current);

private:
    void TakeEdits(const QString &current);

    QStringList lines_;
    // Index into lines_ of the line the box shows; lines_.size() while it shows the draft.
    qsizetype shown_ = 0;
    QString draft_;
};
