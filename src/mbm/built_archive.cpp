#include "mbm/built_archive.h"

#include "bmconv/archive.h"
#include "jobs/converter_output.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <optional>

namespace {

using bmconv::kFileStoreUid1;
using bmconv::kFileStoreUid2;
using bmconv::kRomImageUid;
using bmconv::kRomRecordUid;
constexpr qint64 kFileStoreHeader = bmconv::kFileStoreHeaderLength;
constexpr qint64 kBitmapHeader = bmconv::kHeaderLength;

/// Reads little-endian words at any offset of an archive file.
class Words {
  public:
    explicit Words(QFile& file) : m_file(file) {}
    std::optional<quint32> at(qint64 offset) {
        uchar bytes[4];
        if (offset < 0 || offset + 4 > m_file.size() || !m_file.seek(offset) ||
            m_file.read(reinterpret_cast<char*>(bytes), 4) != 4)
            return std::nullopt;
        return qFromLittleEndian<quint32>(bytes);
    }

  private:
    QFile& m_file;
};

QString broken(const QString& path, const QString& what) {
    return QStringLiteral("The converter's output %1 is not a complete archive: %2")
        .arg(QDir::toNativeSeparators(path), what);
}

Status checkFileStore(Words& words, qint64 size, int entries, const QString& path) {
    const std::optional<quint32> trailer = words.at(16);
    const std::optional<quint32> count = trailer ? words.at(*trailer) : std::nullopt;
    if (!trailer || *trailer < kFileStoreHeader || !count)
        return Status::failure(broken(path, QStringLiteral("its trailer lies outside the file.")));
    if (*count != quint32(entries))
        return Status::failure(broken(
            path, QStringLiteral("it holds %1 bitmaps instead of %2.").arg(*count).arg(entries)));
    if (qint64(*trailer) + 4 + 4 * qint64(*count) != size)
        return Status::failure(
            broken(path, QStringLiteral("its trailer accounts for %1 bytes, the file has %2.")
                             .arg(qint64(*trailer) + 4 + 4 * qint64(*count))
                             .arg(size)));
    qint64 expected = kFileStoreHeader;
    for (quint32 i = 0; i < *count; ++i) {
        const std::optional<quint32> offset = words.at(*trailer + 4 + 4 * qint64(i));
        const std::optional<quint32> length = offset ? words.at(*offset) : std::nullopt;
        if (!offset || qint64(*offset) != expected || !length || *length < kBitmapHeader)
            return Status::failure(broken(
                path, QStringLiteral("bitmap %1 is not where the one before ends.").arg(i + 1)));
        expected += *length;
    }
    if (expected != *trailer)
        return Status::failure(
            broken(path, QStringLiteral("its bitmaps do not end where its trailer starts.")));
    return Status::success();
}

Status checkRomImage(Words& words, qint64 size, int entries, const QString& path) {
    const std::optional<quint32> count = words.at(4);
    if (!count || *count != quint32(entries))
        return Status::failure(broken(path, QStringLiteral("it holds %1 bitmaps instead of %2.")
                                                .arg(count ? qint64(*count) : -1)
                                                .arg(entries)));
    qint64 expected = 8 + 4 * qint64(*count);
    for (quint32 i = 0; i < *count; ++i) {
        const std::optional<quint32> offset = words.at(8 + 4 * qint64(i));
        const bool placed = offset && qint64(*offset) == expected;
        const std::optional<quint32> uid = placed ? words.at(*offset) : std::nullopt;
        const std::optional<quint32> length = placed ? words.at(*offset + 20) : std::nullopt;
        if (!placed || uid != kRomRecordUid || !length || *length < kBitmapHeader)
            return Status::failure(broken(
                path, QStringLiteral("bitmap %1 is not where the one before ends.").arg(i + 1)));
        expected += qint64(bmconv::bitmapBytes(true, quint64(*length - kBitmapHeader)));
    }
    if (expected != size)
        return Status::failure(
            broken(path, QStringLiteral("its records account for %1 bytes, the file has %2.")
                             .arg(expected)
                             .arg(size)));
    return Status::success();
}

} // namespace

Status checkConverterReport(const QString& reportPath, int entries) {
    const ConverterOutput out = readConverterOutput(reportPath);
    if (out.brokeDown())
        return Status::failure(QStringLiteral("The converter failed. ") + out.breakdown());
    int named = 0;
    for (const QString& line : out.lines)
        if (line.trimmed().startsWith(QLatin1String("Bitmap file "))) ++named;
    const QString message = out.message();
    if (message == QLatin1String("Success.") && named == entries && out.failure.isEmpty())
        return Status::success();
    QString text = QStringLiteral("The converter did not report building the %1 bitmaps of "
                                  "this archive (its report names %2).")
                       .arg(entries)
                       .arg(named);
    if (!message.isEmpty()) text += QStringLiteral(" It reported:\n") + message;
    return Status::failure(text);
}

Status checkArchiveLayout(const QString& path, int entries) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(QStringLiteral("The converter's output %1 could not be read: %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
    Words words(file);
    const qint64 size = file.size();
    const std::optional<quint32> first = words.at(0);
    if (first == kRomImageUid) return checkRomImage(words, size, entries, path);
    if (first == kFileStoreUid1 && words.at(4) == kFileStoreUid2 && size >= kFileStoreHeader)
        return checkFileStore(words, size, entries, path);
    return Status::failure(broken(path, QStringLiteral("it does not start like an archive.")));
}

Status checkBuiltArchive(const QString& path, const QString& reportPath, int entries) {
    if (Status report = checkConverterReport(reportPath, entries); !report) return report;
    return checkArchiveLayout(path, entries);
}
