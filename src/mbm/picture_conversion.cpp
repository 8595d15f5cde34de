#include "mbm/picture_conversion.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>

QString convertedName(const QString& name, const QString& extension) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    return base + QLatin1Char('.') + extension;
}

static Status writeFailure(const QString& target, const QString& reason) {
    return Status::failure(QStringLiteral("%1 could not be written: %2")
                               .arg(QDir::toNativeSeparators(target), reason));
}

static Status writeDirect(const QImage& image, const QString& target) {
    QFile out(target);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate) && image.save(&out, "BMP") &&
        out.flush())
        return Status::success();
    const QString reason = out.errorString();
    out.close();
    // A truncated bitmap must not reach the converter.
    QFile::remove(target);
    return writeFailure(target, reason);
}

static Status writeAtomic(const QImage& image, const QString& target) {
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "BMP") || !out.commit())
        return writeFailure(target, out.errorString());
    return Status::success();
}

Status convertPicture(const QString& source, const QString& target, WriteMode mode) {
    QImageReader reader(source);
    // Pictures are read by their content, whatever their extension says.
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        return Status::failure(QStringLiteral("%1 could not be read: %2")
                                   .arg(QDir::toNativeSeparators(source), reader.errorString()));
    if (image.hasAlphaChannel()) image = image.convertToFormat(QImage::Format_RGB32);
    return mode == WriteMode::Direct ? writeDirect(image, target) : writeAtomic(image, target);
}
