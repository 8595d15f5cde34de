#include "mbm/icon_masks.h"

#include "jobs/atomic_write.h"
#include "jobs/work_folders.h"
#include "mbm/icon_pairs.h"
#include "mbm/picture_conversion.h"
#include "project/list_commands.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

QString maskSwitch(MaskKind kind) {
    switch (kind) {
    case MaskKind::OneBit:
        return QStringLiteral("/1");
    case MaskKind::EightBit:
        return QStringLiteral("/8");
    case MaskKind::None:
        break;
    }
    return {};
}

static qint64 countTransparent(const QImage& plane, bool stopAtFirst) {
    if (plane.format() != QImage::Format_Indexed8) return 0;
    qint64 n = 0;
    for (int y = 0; y < plane.height(); ++y) {
        const uchar* line = plane.constScanLine(y);
        for (int x = 0; x < plane.width(); ++x)
            if (line[x] != 255) {
                if (stopAtFirst) return 1;
                ++n;
            }
    }
    return n;
}

bool hasTransparency(const QImage& alphaPlane) {
    return countTransparent(alphaPlane, true) > 0;
}

double transparentShare(const QImage& alphaPlane) {
    const qint64 all = qint64(alphaPlane.width()) * alphaPlane.height();
    return all > 0 ? double(countTransparent(alphaPlane, false)) / double(all) : 0.0;
}

/// The grey table of an 8-bit mask. The converter turns the input colours (128,128,128)
/// and (192,192,192) into other greys; these two levels take a blue one higher, which its
/// grey formula still reads as 128 and 192.
static QList<QRgb> maskGreys() {
    QList<QRgb> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = qRgb(i, i, i);
    table[128] = qRgb(128, 128, 129);
    table[192] = qRgb(192, 192, 193);
    return table;
}

QImage maskImage(const QImage& alphaPlane, const MaskSettings& settings) {
    if (alphaPlane.isNull() || alphaPlane.format() != QImage::Format_Indexed8) return {};
    const int w = alphaPlane.width(), h = alphaPlane.height();
    if (settings.kind == MaskKind::EightBit) {
        QImage mask = alphaPlane.copy();
        mask.setColorTable(maskGreys());
        return mask;
    }
    if (settings.kind != MaskKind::OneBit) return {};
    QImage mask(w, h, QImage::Format_Mono);
    if (mask.isNull()) return mask;
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const uint drawn = settings.whiteWhereDrawn ? 1 : 0;
    for (int y = 0; y < h; ++y) {
        const uchar* in = alphaPlane.constScanLine(y);
        uchar* out = mask.scanLine(y);
        std::fill(out, out + mask.bytesPerLine(), uchar(0));
        for (int x = 0; x < w; ++x) {
            const uint bit = in[x] >= 128 ? drawn : 1 - drawn;
            out[x >> 3] = uchar(out[x >> 3] | (bit << (7 - (x & 7))));
        }
    }
    return mask;
}

QImage flatUnderTransparency(const QImage& picture) {
    if (!picture.hasAlphaChannel()) return picture.convertToFormat(QImage::Format_RGB32);
    QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) == 0) line[x] = 0;
    }
    return argb.convertToFormat(QImage::Format_RGB32);
}

QString freeMaskName(const QString& pictureName, const QString& folder,
                     const QSet<QString>& taken) {
    const int dot = pictureName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot <= 0 ? pictureName : pictureName.left(dot);
    for (int n = 1;; ++n) {
        const QString name = base + QStringLiteral("_mask") +
                             (n == 1 ? QString() : QString::number(n)) + QStringLiteral(".bmp");
        const QString path = folder + name;
        if (!taken.contains(path.toLower()) && !QFileInfo::exists(path)) return name;
    }
}

namespace {

/// The paths of the list's files, lower-case: a mask never takes one of them.
QSet<QString> takenPaths(const ProjectList& list) {
    QSet<QString> taken;
    for (const BitmapEntry& e : list.entries())
        taken.insert((e.dir + e.name).toLower());
    return taken;
}

/// Writes the mask file straight into the work folder: like an extracted bitmap it lives
/// only as long as the project, so it is not flushed; a failed write leaves nothing behind.
Status writeMask(const QImage& mask, const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QFile out(path);
    if (mask.save(&buffer, "BMP") && out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        out.write(bytes) == bytes.size() && out.flush())
        return Status::success();
    const QString reason = writeFailureReason(out);
    out.close();
    QFile::remove(path);
    return Status::failure(QStringLiteral("The mask %1 could not be written: %2")
                               .arg(QDir::toNativeSeparators(path), reason));
}

/// Makes the mask of `picture` when it has transparency: writes it and fills `mask`.
/// False when the picture needs none (or cannot be read).
bool makeMaskEntry(const BitmapEntry& picture, const MaskSettings& settings, const QString& folder,
                   QSet<QString>& taken, BitmapEntry& mask, QStringList& failures) {
    const ConvertedPicture read = convertedImage(picture.dir + picture.name, true);
    if (!read.ok() || !hasTransparency(read.alpha)) return false;
    QImage image = maskImage(read.alpha, settings);
    if (image.isNull()) return false;
    const QString name = freeMaskName(picture.name, folder, taken);
    if (Status s = writeMask(image, folder + name); !s) {
        failures << s.error;
        return false;
    }
    taken.insert((folder + name).toLower());
    mask = BitmapEntry{maskSwitch(settings.kind), folder, name};
    return true;
}

/// Prepares tempextract for mask files; false (with the reason in `failures`) when it
/// cannot be made.
bool prepareMaskFolder(WorkFolders& work, QString& folder, QStringList& failures) {
    // A clean-up batch still running in tempextract would delete the masks just written.
    work.waitForCleanUp();
    const QString dir = work.programFolder().tempextract();
    if (!QDir().mkpath(dir)) {
        failures << QStringLiteral("Could not create the work folder %1 for the masks.")
                        .arg(QDir::toNativeSeparators(dir));
        return false;
    }
    folder = folderWithSeparator(dir);
    return true;
}

} // namespace

MaskedEntries entriesWithMasks(const std::vector<BitmapEntry>& pictures,
                               const MaskSettings& settings, WorkFolders& work,
                               const ProjectList& list) {
    MaskedEntries out;
    QString folder;
    if (settings.kind == MaskKind::None || pictures.empty() ||
        !prepareMaskFolder(work, folder, out.failures)) {
        out.entries = pictures;
        return out;
    }
    QSet<QString> taken = takenPaths(list);
    out.entries.reserve(pictures.size() * 2);
    for (const BitmapEntry& picture : pictures) {
        out.entries.push_back(picture);
        BitmapEntry mask;
        if (makeMaskEntry(picture, settings, folder, taken, mask, out.failures))
            out.entries.push_back(std::move(mask));
    }
    return out;
}

MaskInsertions masksForRows(const ProjectList& list, const std::vector<int>& rows,
                            const MaskSettings& settings, WorkFolders& work) {
    MaskInsertions out;
    QString folder;
    if (settings.kind == MaskKind::None || rows.empty() ||
        !prepareMaskFolder(work, folder, out.failures))
        return out;
    const IconPairs pairs = IconPairs::of(list);
    QSet<QString> taken = takenPaths(list);
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (int row : sorted) {
        if (row < 0 || row >= list.count() || pairs.isMask(row) || pairs.maskOf(row) >= 0) continue;
        BitmapEntry mask;
        if (makeMaskEntry(list.at(row), settings, folder, taken, mask, out.failures))
            out.masks.push_back({row + 1, std::move(mask)});
    }
    return out;
}
