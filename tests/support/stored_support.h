// Helpers for the as-stored preview tests: pictures that show what a colour mode loses,
// archives built by the real save path, and the archive's own record of a bitmap.
#pragma once
#include "mbm/picture_conversion.h"
#include "mbm/save_build.h"
#include "support/save_support.h"

#include <QTest>
#include <QtEndian>

namespace stored_support {

using namespace testing_support;

/// A smooth colour gradient, wide enough that every mode bands or dithers it visibly.
inline QImage gradientPicture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(255 * x / (w - 1), 255 * y / (h - 1), 255 - 255 * x / (w - 1)));
    return img;
}

/// Many unrelated colours, with the two greys the converter moves.
inline QImage manyColourPicture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    uint32_t v = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            v = v * 1103515245u + 12345u;
            img.setPixel(x, y, qRgb(int(v >> 24), int(v >> 16) & 255, int(v >> 8) & 255));
        }
    img.setPixel(0, 0, qRgb(128, 128, 128));
    img.setPixel(1, 0, qRgb(192, 192, 192));
    return img;
}

/// Builds `entries` into an archive of `type` at `target` through the save's own steps
/// (plan, prepare, the conversion of every picture, the build batch), with short pauses,
/// and waits until the clean-up batch has gone.
inline Status saveWithRealPath(const ProgramFolder& pf, const std::vector<BitmapEntry>& entries,
                               const QString& target, ArchiveType type = ArchiveType::FileStore) {
    const SavePlan plan =
        makeSavePlan(pf, entries, QStringLiteral("stored"), target, {type, false});
    BuildInputs inputs{prepareSave(quickWorkFolders(pf), plan), {}};
    for (const PictureJob& j : plan.pictures)
        if (Status s = convertPicture(j.dir + j.name, pf.inTemp(j.workName), WriteMode::Direct,
                                      j.keepAlpha);
            !s)
            inputs.unconvertedPictures << s.error;
    StatusRecorder status;
    const Status s = runBuild(plan, inputs, status, shortPauses());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !QFile::exists(pf.inTemp(QStringLiteral("cleanup.bat"))); }, 20000));
    return s;
}

/// Splits the archive at `mbm` with the converter into `count` pictures and, for bitmaps
/// with alpha, their alpha files; an empty list when the split failed.
struct SplitBitmap {
    QImage colour;
    QImage alpha; ///< null for a bitmap without alpha
};
inline std::vector<SplitBitmap> splitWithAlpha(const QString& mbm, int count) {
    QTemporaryDir dir;
    if (!QFile::copy(mbm, dir.filePath(QStringLiteral("a.mbm")))) return {};
    QStringList args{QStringLiteral("/u"), QStringLiteral("a.mbm")};
    for (int i = 0; i < count; ++i)
        args << QStringLiteral("out%1.bmp").arg(i);
    if (save_support::runBmconv(dir.path(), args) != 0) return {};
    std::vector<SplitBitmap> out;
    for (int i = 0; i < count; ++i)
        out.push_back({QImage(dir.filePath(QStringLiteral("out%1.bmp").arg(i))),
                       QImage(dir.filePath(QStringLiteral("out%1-alpha.bmp").arg(i)))});
    return out;
}

/// The bitmap sizes (header and data) and compressions a file store records, in order.
struct RecordedBitmap {
    qint64 bytes = 0;
    int compression = -1;
};
inline std::vector<RecordedBitmap> fileStoreBitmaps(const QByteArray& mbm) {
    std::vector<RecordedBitmap> out;
    auto u32 = [&mbm](qint64 at) {
        return at + 4 <= mbm.size() ? qFromLittleEndian<quint32>(mbm.constData() + at) : 0u;
    };
    const qint64 trailer = u32(16);
    for (quint32 i = 0, n = u32(trailer); i < n; ++i) {
        const qint64 at = u32(trailer + 4 + 4 * i);
        out.push_back({qint64(u32(at)), int(u32(at + 36))});
    }
    return out;
}

/// True when `shown` is `stored` with each pixel made a factor x factor square.
inline bool sameEnlarged(const QImage& shown, const QImage& stored, int factor) {
    if (shown.size() != stored.size() * factor) return false;
    const QImage a = shown.convertToFormat(QImage::Format_RGB32);
    const QImage b = stored.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x / factor, y / factor) & 0xFFFFFF))
                return false;
    return true;
}

} // namespace stored_support
