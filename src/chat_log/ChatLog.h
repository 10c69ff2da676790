#pragma once

#include <QString>

// Appends records to the chat log. Each record opens, appends and closes the file, so the file
// on disk is complete after every call and other programs may open it at any time. A record is
// written whole or not at all; one that cannot be written is lost with a warning on standard
// error, and chat goes on.
class ChatLog
{
public:
    explicit ChatLog(QString path);

    const QString &path() const { return path_; }
    void Append(const QString &record) const;

private:
    QString path_;
};
