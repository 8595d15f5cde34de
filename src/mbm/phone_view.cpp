#include "mbm/phone_view.h"

#include "mbm/picture_conversion.h"
#include "mbm/stored_preview.h"

Status storedPicture(const QString& path, const QString& colourSwitch, QImage& out) {
    out = QImage();
    const std::optional<bmconv::BitmapMode> mode = modeOfSwitch(colourSwitch);
    if (!mode)
        return Status::failure(QStringLiteral("%1 is not a colour switch.").arg(colourSwitch));
    const ConvertedPicture picture = convertedImage(path, *mode == bmconv::BitmapMode::C32A);
    EncodedBitmap encoded;
    if (Status s = encodeBitmap(picture, *mode, encoded); !s) return s;
    out = expandBitmap(encoded);
    if (out.isNull())
        return Status::failure(QStringLiteral("Not enough memory to show the picture as stored."));
    return Status::success();
}

QImage maskAlpha(const QImage& storedMask, const QString& maskSwitch, bool whiteWhereDrawn) {
    const QImage grey = storedMask.convertToFormat(QImage::Format_RGB32);
    QImage alpha(grey.size(), QImage::Format_Alpha8);
    if (grey.isNull() || alpha.isNull()) return {};
    const bool oneBit = maskSwitch == QLatin1String("/1");
    for (int y = 0; y < grey.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(grey.constScanLine(y));
        uchar* out = alpha.scanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            // A stored grey bitmap has equal channels; green stands for all three.
            const int level = qGreen(in[x]);
            out[x] = oneBit ? uchar(((level >= 128) == whiteWhereDrawn) ? 255 : 0) : uchar(level);
        }
    }
    return alpha;
}

QImage backdropImage(const QSize& size, Backdrop backdrop) {
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) return image;
    if (backdrop != Backdrop::Checkerboard) {
        image.fill(backdrop == Backdrop::White ? Qt::white : Qt::black);
        return image;
    }
    const QRgb light = qRgb(236, 236, 236), dark = qRgb(188, 188, 188);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = ((x >> 3) + (y >> 3)) % 2 ? dark : light;
    }
    return image;
}

QImage blendOver(const QImage& icon, const QImage& alpha, Backdrop backdrop) {
    if (icon.size() != alpha.size() || alpha.format() != QImage::Format_Alpha8) return {};
    const QImage pixels = icon.convertToFormat(QImage::Format_RGB32);
    QImage out = backdropImage(icon.size(), backdrop);
    if (pixels.isNull() || out.isNull()) return {};
    auto mix = [](int s, int b, int a) { return (s * a + b * (255 - a) + 127) / 255; };
    for (int y = 0; y < out.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        const uchar* a = alpha.constScanLine(y);
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb s = src[x], b = line[x];
            line[x] = qRgb(mix(qRed(s), qRed(b), a[x]), mix(qGreen(s), qGreen(b), a[x]),
                           mix(qBlue(s), qBlue(b), a[x]));
        }
    }
    return out;
}

QImage withAlpha(const QImage& icon, const QImage& alpha) {
    if (icon.size() != alpha.size() || alpha.format() != QImage::Format_Alpha8) return {};
    QImage out = icon.convertToFormat(QImage::Format_ARGB32);
    if (out.isNull()) return out;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const uchar* a = alpha.constScanLine(y);
        for (int x = 0; x < out.width(); ++x)
            line[x] = (line[x] & 0x00FFFFFFu) | (QRgb(a[x]) << 24);
    }
    return out;
}

Status phoneView(const QString& iconPath, const QString& iconSwitch, const QString& maskPath,
                 const QString& maskSwitch, bool whiteWhereDrawn, Backdrop backdrop, QImage& out) {
    out = QImage();
    QImage icon, mask;
    if (Status s = storedPicture(iconPath, iconSwitch, icon); !s) return s;
    if (Status s = storedPicture(maskPath, maskSwitch, mask); !s) return s;
    out = blendOver(icon, maskAlpha(mask, maskSwitch, whiteWhereDrawn), backdrop);
    if (out.isNull())
        return Status::failure(QStringLiteral("The mask is not the size of its icon."));
    return Status::success();
}
