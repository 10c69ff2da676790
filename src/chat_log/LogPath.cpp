#include "chat_log/LogPath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

namespace {

// The log there opens for appending or, while there is none yet, a scratch file can be made
// beside it (and goes again at once).
bool CanKeepLogIn(const QDir &folder)
{
    QFile log(folder.filePath(QLatin1String(kLogFileName)));
    if (log.exists())
        return log.open(QIODevice::WriteOnly | QIODevice::Append);
    QTemporaryFile scratch(folder.filePath(QStringLiteral("ParloxLog-XXXXXX.tmp")));
    return scratch.open();
}

} // namespace

QString LogFilePath(const QString &programFolder, const QString &userDataFolder)
{
    const QDir folder(CanKeepLogIn(QDir(programFolder)) ? programFolder : userDataFolder);
    return folder.filePath(QLatin1String(kLogFileName));
}
