// The four kinds of archive the converter writes, and where an entry read from an archive
// came from.
#pragma once
#include <QDir>
#include <QFileInfo>
#include <QString>

/// How an archive stores its bitmaps: what a save builds and what a listing reports.
enum class ArchiveType {
    FileStore,             ///< a file store, bitmaps compressed where that pays (the default)
    UncompressedFileStore, ///< a file store without compression
    RomImage,              ///< a ROM image, bitmaps uncompressed
    CompressedRomImage,    ///< a ROM image with compressed bitmaps
};

/// The type in words for the user: "file store", "uncompressed file store", "ROM image",
/// "compressed ROM image".
inline QString archiveTypeName(ArchiveType type) {
    switch (type) {
    case ArchiveType::FileStore:
        return QStringLiteral("file store");
    case ArchiveType::UncompressedFileStore:
        return QStringLiteral("uncompressed file store");
    case ArchiveType::RomImage:
        return QStringLiteral("ROM image");
    case ArchiveType::CompressedRomImage:
        return QStringLiteral("compressed ROM image");
    }
    return {};
}

/// Where an entry read from an archive came from. `index` is -1 for an entry made from a
/// picture of the user's own.
struct EntryOrigin {
    QString archive; ///< the full path of the archive that was read
    ArchiveType type = ArchiveType::FileStore;
    int index = -1; ///< the bitmap's index in that archive, from 0
    bool fromArchive() const { return index >= 0; }
    /// "<archive> #<index>": the archive's full path, or its file name alone.
    QString name(bool fullPath) const {
        return QStringLiteral("%1 #%2")
            .arg(fullPath ? QDir::toNativeSeparators(archive) : QFileInfo(archive).fileName())
            .arg(index);
    }
};
