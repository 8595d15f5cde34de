#include "mbm/picture_conversion.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>

QString convertedName(const QString& name, const QString& extension) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    return base + QLatin1Char('.') + extension;
}

Status convertPicture(const QString& source, const QString& target) {
    QImageReader reader(source);
    // Pictures are read by their content, whatever their extension says.
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        return Status::failure(QStringLiteral("%1 could not be read: %2")
                                   .arg(QDir::toNativeSeparators(source), reader.errorString()));
    if (image.hasAlphaChannel()) image = image.convertToFormat(QImage::Format_RGB32);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "BMP") || !out.commit())
        return Status::failure(QStringLiteral("%1 could not be written: %2")
                                   .arg(QDir::toNativeSeparators(target), out.errorString()));
    return Status::success();
}
