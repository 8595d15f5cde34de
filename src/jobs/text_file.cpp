#include "jobs/text_file.h"

#include "jobs/atomic_write.h"

#include <QDir>
#include <QFile>

QByteArray textFileBytes(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toLocal8Bit();
        bytes += "\r\n";
    }
    return bytes;
}

Status writeLines(const QString& path, const QStringList& lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Status::failure(QStringLiteral("Could not write %1: %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
    const QByteArray bytes = textFileBytes(lines);
    if (file.write(bytes) == bytes.size() && file.flush() && file.size() == bytes.size())
        return Status::success();
    const QString reason = writeFailureReason(file);
    file.close();
    file.remove();
    return Status::failure(QStringLiteral("Could not write %1: %2. The disk may be full.")
                               .arg(QDir::toNativeSeparators(path), reason));
}

Status writeLinesAtomically(const QString& path, const QStringList& lines) {
    return writeFileAtomically(path, textFileBytes(lines));
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
