#include "mbm/picture_resolution.h"

#include <QFile>

namespace {

quint32 littleEndian32(const QByteArray& b, int at) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | quint8(b[at + i]);
    return v;
}

quint32 bigEndian32(const QByteArray& b, int at) {
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | quint8(b[at + i]);
    return v;
}

quint16 bigEndian16(const QByteArray& b, int at) {
    return quint16((quint8(b[at]) << 8) | quint8(b[at + 1]));
}

PixelsPerMetre fromQt(const QImage& decoded) {
    return {decoded.dotsPerMeterX(), decoded.dotsPerMeterY()};
}

PixelsPerMetre bmpResolution(const QByteArray& head) {
    // Only the 40-byte and later info headers carry the fields (not the 12-byte core one).
    if (head.size() < 46 || !head.startsWith("BM") || littleEndian32(head, 14) < 40) return {};
    return {int(littleEndian32(head, 38)), int(littleEndian32(head, 42))};
}

PixelsPerMetre pngResolution(const QByteArray& head) {
    int at = 8; // after the signature
    while (at + 8 <= head.size()) {
        const quint32 length = bigEndian32(head, at);
        const QByteArray type = head.mid(at + 4, 4);
        if (type == "IDAT" || type == "IEND") break;
        if (type == "pHYs" && length >= 9 && at + 17 <= head.size()) {
            // Unit 1 is the metre; unit 0 states only the pixels' aspect.
            if (quint8(head[at + 16]) != 1) return {};
            return {int(bigEndian32(head, at + 8)), int(bigEndian32(head, at + 12))};
        }
        if (length > quint32(head.size())) break;
        at += 12 + int(length);
    }
    return {};
}

PixelsPerMetre jpegResolution(const QByteArray& head, const QImage& decoded) {
    // SOI, then the JFIF APP0 segment: "JFIF\0", version, units, densities.
    if (head.size() < 18 || quint8(head[0]) != 0xFF || quint8(head[1]) != 0xD8) return {};
    if (quint8(head[2]) != 0xFF || quint8(head[3]) != 0xE0 ||
        head.mid(6, 5) != QByteArray("JFIF\0", 5))
        return {};
    const int units = quint8(head[13]);
    if ((units != 1 && units != 2) || bigEndian16(head, 14) == 0 || bigEndian16(head, 16) == 0)
        return {};
    return fromQt(decoded);
}

} // namespace

PixelsPerMetre statedResolutionIn(const QByteArray& head, const QByteArray& format,
                                  const QImage& decoded) {
    const QByteArray f = format.toLower();
    if (f == "bmp" || f == "dib") return bmpResolution(head);
    if (f == "png") return pngResolution(head);
    if (f == "jpeg" || f == "jpg") return jpegResolution(head, decoded);
    if (f == "gif") return {};
    // A format whose fields are not read here: Qt's reading, unless it is Qt's own default.
    const QImage fresh(1, 1, QImage::Format_RGB32);
    if (decoded.dotsPerMeterX() == fresh.dotsPerMeterX() &&
        decoded.dotsPerMeterY() == fresh.dotsPerMeterY())
        return {};
    return fromQt(decoded);
}

PixelsPerMetre statedResolution(const QString& path, const QByteArray& format,
                                const QImage& decoded) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    // Every field read here lies well within the first 64 KB of a file.
    return statedResolutionIn(file.read(64 * 1024), format, decoded);
}
