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

bool sameFolder(const QString& a, const QString& b) {
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty()) return ca.compare(cb, cs) == 0;
    return QFileInfo(a).absoluteFilePath().compare(QFileInfo(b).absoluteFilePath(), cs) == 0;
}
