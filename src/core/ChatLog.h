#pragma once

#include <QString>
#include <QStringList>

// Appends records to the chat log. Each call opens, appends and closes the file, so the file on
// disk is complete after every call and other programs may open it at any time. A record is
// written whole or not at all; one that cannot be written is lost, the call says so and why,
// and the next record tries afresh.
class ChatLog
{
public:
    explicit ChatLog(QString path);

    // How many of a call's records were lost, and the system's reason for the first loss.
    struct Outcome
    {
        qsizetype lost = 0;
        QString reason;
    };

    const QString &path() const { return m_path; }
    Outcome Append(const QStringList &records) const;

private:
    QString m_path;
};
