// GIF files for tests: Qt reads GIF but cannot write it.
#pragma once
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QVector>

namespace testing_support {

/// Writes `picture` as a GIF file (Qt reads GIF but cannot write it): up to 256 colours,
/// LZW codes of 9 bits, a clear code every 250 pixels so the code size never grows.
inline bool writeGif(const QString& path, const QImage& picture) {
    const QImage img = picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QByteArray out("GIF89a");
    auto u16 = [&out](int v) {
        out += char(v & 255);
        out += char((v >> 8) & 255);
    };
    u16(img.width());
    u16(img.height());
    out += char(0xF7); // global colour table of 256 entries
    out += char(0);
    out += char(0);
    QVector<QRgb> table = img.colorTable();
    table.resize(256);
    for (QRgb c : table)
        out += char(qRed(c)), out += char(qGreen(c)), out += char(qBlue(c));
    out += ',';
    u16(0);
    u16(0);
    u16(img.width());
    u16(img.height());
    out += char(0);
    out += char(8); // minimum code size
    QByteArray data;
    quint32 bits = 0;
    int nbits = 0;
    auto code = [&](int c) {
        bits |= quint32(c) << nbits;
        for (nbits += 9; nbits >= 8; nbits -= 8, bits >>= 8)
            data += char(bits & 255);
    };
    int run = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (run++ % 250 == 0) code(256);
            code(img.pixelIndex(x, y));
        }
    code(257);
    if (nbits > 0) data += char(bits & 255);
    for (int i = 0; i < data.size(); i += 255) {
        const QByteArray block = data.mid(i, 255);
        out += char(block.size());
        out += block;
    }
    out += char(0);
    out += ';';
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
}

} // namespace testing_support
