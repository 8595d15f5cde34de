// Re-saving pictures (BMP, JPEG, GIF, PNG and every other format Qt reads) as Windows
// bitmap files, with the alpha file a /c32a bitmap takes its alpha channel from.
#pragma once
#include "jobs/result.h"

#include <QImage>
#include <QString>
#include <optional>

namespace bmconv {
enum class BitmapMode;
}

/// The converted name of a picture: its name with the extension after the last dot replaced
/// by `extension` ("photo.jpg" and "photo.jpeg" both give "photo.bmp"); a name without a
/// dot gets "." and the extension appended.
QString convertedName(const QString& name, const QString& extension = QStringLiteral("bmp"));

/// The alpha file the converter reads for a /c32a bitmap `name`: "-alpha" inserted before
/// the last dot of the file name ("pic.bmp" gives "pic-alpha.bmp"), appended when it has
/// none. Works on full paths as well as bare names.
QString alphaFileName(const QString& name);

/// A picture as the conversion writes it.
struct ConvertedPicture {
    /// The pixels the bitmap file holds, Format_RGB32 (a picture's alpha is not in them;
    /// without keepAlpha its fully transparent pixels are black).
    QImage pixels;
    /// With keepAlpha: one alpha value per pixel (Format_Indexed8 with a grey colour table,
    /// the index being the alpha), as the alpha file holds them. Null otherwise.
    QImage alpha;
    /// The resolution the bitmap file states, in pixels per metre: the source file's own,
    /// or 0 when the source file states none (then the bitmap's twips stay 0 in the archive).
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;
    /// The picture as its file holds it, before the conversion, and the reader's name of
    /// its format ("jpeg", "gif", "bmp", ...).
    QImage source;
    QByteArray format;
    /// Why the picture could not be converted (empty when it could).
    QString error;
    bool ok() const { return error.isEmpty(); }
};

/// Loads the picture at `source` (recognised by its content, whatever its extension) as the
/// conversion writes it. With `keepAlpha` the alpha values come from the picture's own alpha
/// channel, else from the alpha file beside it (alphaFileName(source), as a split writes it
/// beside each bitmap with alpha), else every pixel is opaque. Fails with a message naming
/// the file that could not be read, or an alpha file of another size than the picture.
ConvertedPicture convertedImage(const QString& source, bool keepAlpha = false);

/// How a converted picture reaches its file.
enum class WriteMode {
    /// Through a temporary file renamed into place: the target is either the old file or
    /// the complete new one (for the user's folders).
    Atomic,
    /// Straight into the file without flushing it to disk, removed again when the write
    /// fails (for the work copies of a save, which live only until the build has read them).
    Direct,
};

/// Converts the picture at `source` (convertedImage) and writes it as a Windows bitmap file
/// at `target`, replacing a file there; with `keepAlpha` also its alpha values as an 8-bit
/// bitmap at alphaFileName(target). The bitmap states the source's resolution, or none.
/// Fails with a message naming the file that could not be read or written; a failed write
/// leaves no partial file behind. With `ditherTo` the pixels are first dithered to the
/// colours that mode stores (ditheredPixels).
Status convertPicture(const QString& source, const QString& target,
                      WriteMode mode = WriteMode::Atomic, bool keepAlpha = false,
                      std::optional<bmconv::BitmapMode> ditherTo = std::nullopt);
