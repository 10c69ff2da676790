#include "core/ViewLog.h"

#include <QDesktopServices>
#include <QUrl>

void OpenWithDefaultProgram(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
