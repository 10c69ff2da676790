#include "chat_log/ChatLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ChatLog::ChatLog(QString path) : path_(std::move(path)) {}

void ChatLog::Append(const QString &record) const
{
    // An installed copy logs into the user's data folder, which may not exist yet.
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
#ifdef Q_OS_WIN
    file.write(record.toLocal8Bit());
#else
    file.write(record.toUtf8());
#endif
}
