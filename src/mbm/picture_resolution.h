// The resolution a picture file states, as the conversion carries it into the bitmap.
#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>

/// A resolution in pixels per metre; 0 means "not stated".
struct PixelsPerMetre {
    int x = 0;
    int y = 0;
};

/// The resolution the picture file at `path` states, read in the format `format` (as
/// QImageReader named it) into `decoded`. A BMP's fields are taken as they are; a PNG states
/// one with a pHYs chunk in metres, a JPEG with JFIF density in inches or centimetres (then
/// Qt's reading of it is taken); a GIF never states one. For any other format the resolution
/// Qt read is taken unless it is the one Qt assumes for a file that states none.
PixelsPerMetre statedResolution(const QString& path, const QByteArray& format,
                                const QImage& decoded);

/// The same from the first bytes of the file.
PixelsPerMetre statedResolutionIn(const QByteArray& head, const QByteArray& format,
                                  const QImage& decoded);
