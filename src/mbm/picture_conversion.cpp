#include "mbm/picture_conversion.h"

#include "jobs/atomic_write.h"
#include "mbm/dither.h"
#include "mbm/icon_masks.h"
#include "mbm/picture_resolution.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

QString convertedName(const QString& name, const QString& extension) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    return base + QLatin1Char('.') + extension;
}

QString alphaFileName(const QString& name) {
    const int slash = std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf('\\'));
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < slash) return name + QStringLiteral("-alpha");
    return name.left(dot) + QStringLiteral("-alpha") + name.mid(dot);
}

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString readFailure(const QString& path, const QString& reason) {
    return QStringLiteral("%1 could not be read: %2").arg(native(path), reason);
}

Status writeFailure(const QString& target, const QString& reason) {
    return Status::failure(
        QStringLiteral("%1 could not be written: %2").arg(native(target), reason));
}

QImage readPicture(const QString& path, QByteArray* format, QString* error) {
    QImageReader reader(path);
    // Pictures are read by their content, whatever their extension says.
    reader.setDecideFormatFromContent(true);
    // The reader forgets the format once it has read the picture.
    if (format) *format = reader.format();
    QImage image = reader.read();
    if (image.isNull()) *error = readFailure(path, reader.errorString());
    return image;
}

QImage greyTable(QImage image) {
    QList<QRgb> grey(256);
    for (int i = 0; i < 256; ++i)
        grey[i] = qRgb(i, i, i);
    image.setColorTable(grey);
    return image;
}

/// An 8-bit picture whose index is each pixel's alpha, or with `from` its grey level.
QImage alphaPlane(const QImage& argb, bool fromGrey) {
    QImage plane(argb.size(), QImage::Format_Indexed8);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* out = plane.scanLine(y);
        for (int x = 0; x < argb.width(); ++x)
            out[x] = uchar(fromGrey ? qGray(in[x]) : qAlpha(in[x]));
    }
    return greyTable(plane);
}

/// The alpha values of `picture`: its own channel, the alpha file beside it, or opaque.
QImage alphaFor(const QString& source, const QImage& picture, QString* error) {
    if (picture.hasAlphaChannel())
        return alphaPlane(picture.convertToFormat(QImage::Format_ARGB32), false);
    const QString companion = alphaFileName(source);
    if (!QFileInfo(companion).isFile()) {
        QImage opaque(picture.size(), QImage::Format_Indexed8);
        opaque.fill(255);
        return greyTable(opaque);
    }
    QImage alpha = readPicture(companion, nullptr, error);
    if (alpha.isNull()) return {};
    if (alpha.size() != picture.size()) {
        *error = QStringLiteral("%1 is %2 x %3 pixels, but %4 is %5 x %6.")
                     .arg(native(companion))
                     .arg(alpha.width())
                     .arg(alpha.height())
                     .arg(native(source))
                     .arg(picture.width())
                     .arg(picture.height());
        return {};
    }
    // The converter takes the index bytes of an 8-bit alpha file as they are.
    if (alpha.format() == QImage::Format_Indexed8) return greyTable(alpha);
    return alphaPlane(alpha.convertToFormat(QImage::Format_RGB32), true);
}

/// The bitmap file of `image` with the resolution fields set to x and y pixels per metre.
QByteArray bitmapBytes(const QImage& image, int x, int y) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP")) return {};
    // Qt states 96 dpi when told nothing and cannot be told "none": the fields are set here.
    constexpr int kXPelsPerMeter = 38;
    if (bytes.size() < kXPelsPerMeter + 8) return {};
    for (int i = 0; i < 4; ++i) {
        bytes[kXPelsPerMeter + i] = char((quint32(x) >> (8 * i)) & 0xFF);
        bytes[kXPelsPerMeter + 4 + i] = char((quint32(y) >> (8 * i)) & 0xFF);
    }
    return bytes;
}

Status writeDirect(const QByteArray& bytes, const QString& target) {
    QFile out(target);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size() &&
        out.flush())
        return Status::success();
    const QString reason = writeFailureReason(out);
    out.close();
    // A truncated bitmap must not reach the converter.
    QFile::remove(target);
    return writeFailure(target, reason);
}

Status writeAtomic(const QByteArray& bytes, const QString& target) {
    return writeFileAtomically(target, bytes);
}

Status writeBytes(const QByteArray& bytes, const QString& target, WriteMode mode) {
    if (bytes.isEmpty())
        return writeFailure(target, QStringLiteral("the picture could not be encoded"));
    return mode == WriteMode::Direct ? writeDirect(bytes, target) : writeAtomic(bytes, target);
}

} // namespace

ConvertedPicture convertedImage(const QString& source, bool keepAlpha) {
    ConvertedPicture out;
    QByteArray format;
    const QImage image = readPicture(source, &format, &out.error);
    if (image.isNull()) return out;
    out.source = image;
    out.format = format;
    const PixelsPerMetre stated = statedResolution(source, format, image);
    out.dotsPerMeterX = stated.x;
    out.dotsPerMeterY = stated.y;
    if (keepAlpha) {
        out.alpha = alphaFor(source, image, &out.error);
        if (out.alpha.isNull()) return out;
    }
    // Without its alpha, pixels never drawn take one flat colour, so the bitmap compresses
    // best; with it (/c32a) the colour under any alpha stays as it is.
    out.pixels =
        keepAlpha ? image.convertToFormat(QImage::Format_RGB32) : flatUnderTransparency(image);
    return out;
}

Status convertPicture(const QString& source, const QString& target, WriteMode mode, bool keepAlpha,
                      std::optional<bmconv::BitmapMode> ditherTo) {
    ConvertedPicture picture = convertedImage(source, keepAlpha);
    if (!picture.ok()) return Status::failure(picture.error);
    if (ditherTo) {
        // Dithered where it lies: the picture as read is not needed any more.
        picture.source = QImage();
        picture.pixels = ditheredPixels(std::move(picture.pixels), *ditherTo);
        if (picture.pixels.isNull())
            return writeFailure(target, QStringLiteral("not enough memory to dither the picture"));
    }
    const int x = picture.dotsPerMeterX;
    const int y = picture.dotsPerMeterY;
    if (Status s = writeBytes(bitmapBytes(picture.pixels, x, y), target, mode); !s) return s;
    if (!keepAlpha) return Status::success();
    const QString alphaTarget = alphaFileName(target);
    const Status s = writeBytes(bitmapBytes(picture.alpha, x, y), alphaTarget, mode);
    // A bitmap without its alpha file must not reach the converter.
    if (!s && mode == WriteMode::Direct) QFile::remove(target);
    return s;
}
