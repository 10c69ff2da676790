#include "chat_log/ChatLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ChatLog::ChatLog(QString path) : path_(std::move(path)) {}

void ChatLog::Append(const QString &record) const
{
#ifdef Q_OS_WIN
    const QByteArray bytes = record.toLocal8Bit();
#else
    const QByteArray bytes = record.toUtf8();
#endif
    // An installed copy logs into the user's data folder, which may not exist yet.
    QDir().mkpath(QFileInfo(path_).absolutePath());
    // Unbuffered, so that a full disk shows in the write itself and not later, unseen, at close.
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        qWarning("The chat log %s cannot be opened: %s", qPrintable(path_), qPrintable(file.errorString()));
        return;
    }
    const qint64 start = file.size();
    if (file.write(bytes) == bytes.size())
        return;
    // A record goes in whole or not at all: a piece of it would glue the next record onto itself.
    qWarning("A record for the chat log %s is lost: %s", qPrintable(path_), qPrintable(file.errorString()));
    file.resize(start);
}
