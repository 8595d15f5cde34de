#include "mbm/stored_preview.h"

#include "mbm/dither.h"

#include <QSysInfo>
#include <future>
#include <system_error>

#include "bmconv/archive.h"
#include "bmconv/colour_switch.h"

using bmconv::BitmapMode;

std::optional<BitmapMode> modeOfSwitch(const QString& colourSwitch) {
    // The converter's own reading of a switch, so the preview shows what a save builds.
    return bmconv::modeOfColourSwitch(colourSwitch.toStdString());
}

QString modeMeaning(BitmapMode mode) {
    switch (mode) {
    case BitmapMode::Grey1:
        return QStringLiteral("black and white");
    case BitmapMode::Grey2:
        return QStringLiteral("4 greys");
    case BitmapMode::Grey4:
        return QStringLiteral("16 greys");
    case BitmapMode::Grey8:
        return QStringLiteral("256 greys");
    case BitmapMode::C4:
        return QStringLiteral("16 colours");
    case BitmapMode::C8:
        return QStringLiteral("256 colours");
    case BitmapMode::C12:
        return QStringLiteral("4,096 colours");
    case BitmapMode::C16:
        return QStringLiteral("65,536 colours");
    case BitmapMode::C24:
        return QStringLiteral("16,777,216 colours");
    case BitmapMode::C32:
        return QStringLiteral("16,777,216 colours in 32 bits");
    case BitmapMode::C32A:
        return QStringLiteral("16,777,216 colours with alpha");
    }
    return {};
}

QString compressionName(int scheme) {
    switch (scheme) {
    case 0:
        return QStringLiteral("no compression");
    case 1:
        return QStringLiteral("byte RLE");
    case 2:
        return QStringLiteral("12-bit RLE");
    case 3:
        return QStringLiteral("16-bit RLE");
    case 4:
        return QStringLiteral("24-bit RLE");
    case 5:
        return QStringLiteral("32-bit RLE");
    case 6:
        return QStringLiteral("32-bit RLE with alpha");
    default:
        return QStringLiteral("compression %1").arg(scheme);
    }
}

/// Expands rows y0 to y1 of `encoded` into the 32-bit scan lines at `bits`.
static void expandRows(const EncodedBitmap& encoded, uchar* bits, qsizetype bytesPerLine, int y0,
                       int y1) {
    const bmconv::ModeTraits traits = bmconv::traitsOf(encoded.mode);
    const bool withAlpha = encoded.mode == BitmapMode::C32A;
    const int width = encoded.width;
    const size_t stride = size_t(bmconv::strideFor(traits.bpp, uint64_t(width)));
    const bmconv::RowExpander expander(traits.bpp, uint32_t(traits.colour));
    std::vector<uint8_t> bgr(size_t(width) * 3), alpha(size_t(width), 0xFF);
    for (int y = y0; y < y1; ++y) {
        expander.expand(encoded.pixels.data() + size_t(y) * stride, size_t(width), bgr.data(),
                        withAlpha ? alpha.data() : nullptr);
        auto* line = reinterpret_cast<QRgb*>(bits + y * bytesPerLine);
        const uint8_t* p = bgr.data();
        for (int x = 0; x < width; ++x, p += 3)
            line[x] = qRgba(p[2], p[1], p[0], alpha[size_t(x)]);
    }
}

// Pictures from this size on are encoded and expanded in two halves at once: rows are
// encoded and expanded independently of each other.
constexpr qint64 kSplitPixels = 1 << 19;

/// Runs `rows(y0, y1)` over rows 0 to `height`: in one go for a small picture, otherwise
/// the lower half on a second thread, or on this one when no thread can be started.
template <typename Rows> static void forRowsInHalves(int height, qint64 pixels, Rows rows) {
    if (pixels < kSplitPixels) {
        rows(0, height);
        return;
    }
    const int half = height / 2;
    std::future<void> lower;
    try {
        lower = std::async(std::launch::async, rows, half, height);
    } catch (const std::system_error&) {
        rows(half, height);
    }
    rows(0, half);
    if (lower.valid()) lower.get();
}

QImage expandBitmap(const EncodedBitmap& encoded) {
    const int width = encoded.width, height = encoded.height;
    const size_t stride =
        size_t(bmconv::strideFor(bmconv::traitsOf(encoded.mode).bpp, uint64_t(width)));
    if (width <= 0 || height <= 0 || encoded.pixels.size() < stride * size_t(height)) return {};
    QImage image(width, height,
                 encoded.mode == BitmapMode::C32A ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) return image;
    // Both halves write their own scan lines, through one pointer taken here.
    uchar* bits = image.bits();
    const qsizetype bytesPerLine = image.bytesPerLine();
    try {
        forRowsInHalves(height, qint64(width) * height,
                        [&](int y0, int y1) { expandRows(encoded, bits, bytesPerLine, y0, y1); });
    } catch (const std::bad_alloc&) {
        return {};
    }
    return image;
}

/// Encodes rows y0 to y1 of `source` (pixels in `order`) into their place in `out`; the
/// alpha values of /c32a come straight from the alpha plane's scan lines.
static void encodeSlice(const QImage& source, bmconv::PixelOrder order, const QImage& alpha,
                        BitmapMode mode, size_t stride, int y0, int y1, uint8_t* out) {
    const bool withAlpha = mode == BitmapMode::C32A;
    bmconv::encodeRows(mode, source.constScanLine(y0), std::ptrdiff_t(source.bytesPerLine()), order,
                       uint32_t(source.width()), uint32_t(y1 - y0), out + size_t(y0) * stride,
                       nullptr, withAlpha ? alpha.constScanLine(y0) : nullptr,
                       withAlpha ? std::ptrdiff_t(alpha.bytesPerLine()) : 0);
}

Status encodeBitmap(const ConvertedPicture& picture, BitmapMode mode, EncodedBitmap& out,
                    bool dither) {
    out = {};
    out.mode = mode;
    if (!picture.ok()) return Status::failure(picture.error);
    QImage pixels = picture.pixels;
    if (pixels.isNull()) return Status::failure(QStringLiteral("There is no picture to store."));
    const qint64 w = pixels.width(), h = pixels.height();
    if (w > bmconv::kMaxBmpDimension || h > bmconv::kMaxBmpDimension ||
        quint64(w * h) > bmconv::kMaxBmpPixels)
        return Status::failure(
            QStringLiteral("The converter would refuse this picture: it is too large (%1 x %2).")
                .arg(w)
                .arg(h));
    if (mode == BitmapMode::C32A && (picture.alpha.size() != pixels.size() ||
                                     picture.alpha.format() != QImage::Format_Indexed8))
        return Status::failure(QStringLiteral("The picture's alpha values are missing."));
    // RGB32 lies in memory as B, G, R, x where the host is little-endian; elsewhere the
    // pixels go as R, G, B bytes.
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    // Dithered once the converter would take the picture at all.
    if (dither) pixels = ditheredPixels(std::move(pixels), mode);
    const QImage source =
        pixels.convertToFormat(littleEndian ? QImage::Format_RGB32 : QImage::Format_RGB888);
    if (source.isNull())
        return Status::failure(QStringLiteral("Not enough memory to store the picture."));
    const bmconv::PixelOrder order =
        littleEndian ? bmconv::PixelOrder::Bgrx : bmconv::PixelOrder::Rgb;
    const size_t stride = size_t(bmconv::strideFor(bmconv::traitsOf(mode).bpp, uint64_t(w)));
    try {
        out.pixels.resize(stride * size_t(h));
        uint8_t* data = out.pixels.data();
        forRowsInHalves(int(h), w * h, [&](int y0, int y1) {
            encodeSlice(source, order, picture.alpha, mode, stride, y0, y1, data);
        });
    } catch (const std::bad_alloc&) {
        out.pixels.clear();
        return Status::failure(QStringLiteral("Not enough memory to store the picture."));
    }
    out.width = int(w);
    out.height = int(h);
    return Status::success();
}

static bool compresses(ArchiveType type) {
    return type == ArchiveType::FileStore || type == ArchiveType::CompressedRomImage;
}

StoredSize sizeInArchive(const EncodedBitmap& encoded, ArchiveType type) {
    StoredSize size;
    size.pixelBytes = qint64(encoded.pixels.size());
    size.dataBytes = size.pixelBytes;
    if (compresses(type)) {
        const int scheme = bmconv::traitsOf(encoded.mode).scheme;
        std::vector<uint8_t> packed;
        if (bmconv::compressPixels(scheme, encoded.pixels, packed)) {
            size.compression = scheme;
            size.dataBytes = qint64(packed.size());
        }
    }
    const bool rom = type == ArchiveType::RomImage || type == ArchiveType::CompressedRomImage;
    size.bitmapBytes = qint64(bmconv::bitmapBytes(rom, quint64(size.dataBytes)));
    return size;
}

Status storeBitmap(const ConvertedPicture& picture, BitmapMode mode, ArchiveType type,
                   StoredBitmap& out, bool dither) {
    out = {};
    EncodedBitmap encoded;
    if (Status s = encodeBitmap(picture, mode, encoded, dither); !s) return s;
    out.size = sizeInArchive(encoded, type);
    out.image = expandBitmap(encoded);
    if (out.image.isNull())
        return Status::failure(QStringLiteral("Not enough memory to show the picture."));
    return Status::success();
}
