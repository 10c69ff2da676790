#include "chat_log/LogPath.h"

#include <QDir>
#include <QFileInfo>

QString LogFilePath(const QString &programFolder, const QString &userDataFolder)
{
    const QString folder = QFileInfo(programFolder).isWritable() ? programFolder : userDataFolder;
    return QDir(folder).filePath(QLatin1String(kLogFileName));
}
