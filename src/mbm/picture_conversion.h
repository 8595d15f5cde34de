// Re-saving pictures (BMP, JPEG, GIF) as Windows bitmap files.
#pragma once
#include "jobs/result.h"

#include <QString>

/// The converted name of a picture: its name with the extension after the last dot replaced
/// by `extension` ("photo.jpg" and "photo.jpeg" both give "photo.bmp"); a name without a
/// dot gets "." and the extension appended.
QString convertedName(const QString& name, const QString& extension = QStringLiteral("bmp"));

/// How a converted picture reaches its file.
enum class WriteMode {
    /// Through a temporary file renamed into place: the target is either the old file or
    /// the complete new one (for the user's folders).
    Atomic,
    /// Straight into the file without flushing it to disk, removed again when the write
    /// fails (for the work copies of a save, which live only until the build has read them).
    Direct,
};

/// Loads the picture at `source` (recognised by its content) and writes it as a Windows
/// bitmap file at `target`, replacing a file there. Fails with a message naming the file
/// that could not be read or written; a failed write leaves no partial target behind.
Status convertPicture(const QString& source, const QString& target,
                      WriteMode mode = WriteMode::Atomic);
