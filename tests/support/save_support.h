// Helpers for the save tests: running the real converter directly, splitting an archive
// back into pictures, and pixel comparison.
#pragma once
#include "support/test_support.h"

#include <QProcess>
#include <QTemporaryDir>
#include <vector>

namespace save_support {

/// Runs bmconv.exe from the program folder in `folder` with `args`; returns its exit code
/// (-1 when it could not run).
inline int runBmconv(const QString& folder, const QStringList& args) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(testing_support::binDir() + QStringLiteral("/bmconv.exe"), args);
    if (!p.waitForFinished(60000)) return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

/// Splits the archive at `mbm` with "bmconv /u" into `count` pictures and loads them;
/// an empty list when the split failed.
inline std::vector<QImage> splitArchive(const QString& mbm, int count) {
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("a.mbm"));
    if (!QFile::copy(mbm, copy)) return {};
    QStringList args{QStringLiteral("/u"), QStringLiteral("a.mbm")};
    for (int i = 0; i < count; ++i) args << QStringLiteral("out%1.bmp").arg(i);
    if (runBmconv(dir.path(), args) != 0) return {};
    std::vector<QImage> images;
    for (int i = 0; i < count; ++i)
        images.push_back(QImage(dir.filePath(QStringLiteral("out%1.bmp").arg(i)))
                             .convertToFormat(QImage::Format_RGB32));
    return images;
}

/// True when both pictures have the same size and the same RGB pixels.
inline bool samePixels(const QImage& a, const QImage& b) {
    if (a.isNull() || b.isNull() || a.size() != b.size()) return false;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    for (int yy = 0; yy < x.height(); ++yy)
        for (int xx = 0; xx < x.width(); ++xx)
            if ((x.pixel(xx, yy) & 0xFFFFFF) != (y.pixel(xx, yy) & 0xFFFFFF)) return false;
    return true;
}

/// The picture as the converter stores it: the converter turns the two greys (128,128,128)
/// and (192,192,192) into (127,127,127) and (187,187,187).
inline QImage asConverterKeepsIt(const QImage& picture) {
    QImage out = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = out.pixel(x, y) & 0xFFFFFF;
            if (p == 0x808080) out.setPixel(x, y, qRgb(127, 127, 127));
            if (p == 0xC0C0C0) out.setPixel(x, y, qRgb(187, 187, 187));
        }
    return out;
}

/// Writes `picture` as a GIF file (Qt reads GIF but cannot write it): up to 256 colours,
/// LZW codes of 9 bits, a clear code every 250 pixels so the code size never grows.
inline bool writeGif(const QString& path, const QImage& picture) {
    const QImage img = picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QByteArray out("GIF89a");
    auto u16 = [&out](int v) { out += char(v & 255); out += char((v >> 8) & 255); };
    u16(img.width());
    u16(img.height());
    out += char(0xF7); // global colour table of 256 entries
    out += char(0);
    out += char(0);
    QVector<QRgb> table = img.colorTable();
    table.resize(256);
    for (QRgb c : table) out += char(qRed(c)), out += char(qGreen(c)), out += char(qBlue(c));
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
        for (nbits += 9; nbits >= 8; nbits -= 8, bits >>= 8) data += char(bits & 255);
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

/// The names in a folder, sorted (files only).
inline QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace save_support
