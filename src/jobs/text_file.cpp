#include "jobs/text_file.h"

#include <QDir>
#include <QFile>

Status writeLines(const QString& path, const QStringList& lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Status::failure(QStringLiteral("Could not write %1: %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toLocal8Bit();
        bytes += "\r\n";
    }
    if (file.write(bytes) != bytes.size() || !file.flush())
        return Status::failure(QStringLiteral("Could not write %1: %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
    return Status::success();
}

QStringList readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines;
    const QByteArray all = file.readAll();
    if (all.isEmpty()) return lines;
    for (QByteArray line : all.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        lines << QString::fromLocal8Bit(line);
    }
    // A final line end does not start another line.
    if (all.endsWith('\n')) lines.removeLast();
    return lines;
}
