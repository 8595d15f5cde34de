#include "project/handed_files.h"

#include "project/list_commands.h"
#include "project/picture_extensions.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

static const QSet<QString>& pictureSuffixes() {
    static const QSet<QString> suffixes = [] {
        const QStringList list = pictureExtensions();
        return QSet<QString>(list.begin(), list.end());
    }();
    return suffixes;
}

FileKind fileKindOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mbm")) return FileKind::Archive;
    if (!suffix.isEmpty() && pictureSuffixes().contains(suffix)) return FileKind::Picture;
    return FileKind::Other;
}

std::vector<HandedFile> handedFiles(const QList<QUrl>& urls) {
    std::vector<HandedFile> files;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        const QFileInfo info(url.toLocalFile());
        if (!info.isFile()) continue;
        const QString path = QDir::toNativeSeparators(info.absoluteFilePath());
        files.push_back({path, fileKindOf(path)});
    }
    return files;
}

std::vector<BitmapEntry> pictureEntries(const QStringList& paths, const QString& colour) {
    std::vector<BitmapEntry> entries;
    entries.reserve(size_t(paths.size()));
    for (const QString& p : paths) {
        const QFileInfo info(p);
        entries.push_back({colour,
                           folderWithSeparator(QDir::toNativeSeparators(info.absolutePath())),
                           info.fileName()});
    }
    return entries;
}
