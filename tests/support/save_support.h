// Helpers for the save tests: running the real converter directly, splitting an archive
// back into pictures, and pixel comparison.
#pragma once
#include "support/gif_writer.h"
#include "support/test_support.h"

#include <QProcess>
#include <QTemporaryDir>
#include <vector>

namespace save_support {

using testing_support::writeGif;

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
    for (int i = 0; i < count; ++i)
        args << QStringLiteral("out%1.bmp").arg(i);
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

/// The names in a folder, sorted (files only).
inline QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace save_support
