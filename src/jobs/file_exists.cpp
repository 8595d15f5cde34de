#include "jobs/file_exists.h"

#include <QFile>
#include <QFileInfo>

bool FileExists(QString path) {
    if (path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/'))) path.chop(1);
    if (path.isEmpty() || QFileInfo(path).isDir()) return false;
    QFile file(path);
    const bool ok = file.open(QIODevice::ReadOnly);
    file.close();
    return ok;
}
