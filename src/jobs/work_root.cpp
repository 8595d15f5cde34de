#include "jobs/work_root.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

bool canCreateFileIn(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".mbmzembrel-write-XXXXXX")));
    return probe.open();
}

QString userCacheWorkRoot() {
    return QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
}

QString chooseWorkRoot(const QString& programFolder, const QString& userRoot,
                       const std::function<bool(const QString&)>& writable) {
    return writable(programFolder) ? programFolder : userRoot;
}
