#include "mbm/save_conversion.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>

Status convertToWorkCopy(const QString& source, const QString& target) {
    QImageReader reader(source);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        return Status::failure(QStringLiteral("%1 could not be read: %2")
                                   .arg(QDir::toNativeSeparators(source), reader.errorString()));
    if (image.hasAlphaChannel()) image = image.convertToFormat(QImage::Format_RGB32);
    QFile out(target);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate) && image.save(&out, "BMP") &&
        out.flush())
        return Status::success();
    const QString reason = out.errorString();
    out.close();
    // A truncated bitmap must not reach the converter.
    QFile::remove(target);
    return Status::failure(QStringLiteral("%1 could not be written: %2")
                               .arg(QDir::toNativeSeparators(target), reason));
}
