// A picture as an archive will hold it: the conversion of a save and the converter's own
// pixel encoding, run in-process, and what the bitmap costs in the archive.
#pragma once
#include "jobs/result.h"
#include "mbm/picture_conversion.h"
#include "project/archive_type.h"

#include <QImage>
#include <QString>
#include <optional>
#include <vector>

#include "bmconv/pixels.h"

/// The converter's colour mode for a colour switch ("/1" ... "/c24", "/c32", "/c32a");
/// nothing for a text that is no switch.
std::optional<bmconv::BitmapMode> modeOfSwitch(const QString& colourSwitch);

/// What a mode keeps of a picture, in words: "black and white", "16 colours", "4,096
/// colours", ...
QString modeMeaning(bmconv::BitmapMode mode);

/// The name of compression scheme `scheme` as a user reads it ("byte RLE", "12-bit RLE",
/// ...); "no compression" for 0.
QString compressionName(int scheme);

/// A picture encoded as the converter stores it, before any compression.
struct EncodedBitmap {
    bmconv::BitmapMode mode = bmconv::BitmapMode::C24;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; ///< rows top first, each of the mode's stride
};

/// Encodes a picture as the converter does at `mode`, from the picture as the save's
/// conversion writes it (convertedImage; with keepAlpha for /c32a, whose alpha values then
/// go into the encoding). The conversion's pixels are RGB32, which its bitmap file holds as
/// exactly their red, green and blue: the converter's decoding of that file gives back those
/// values, so they are taken directly. Fails with a message when the converter would refuse
/// the picture. With `dither` the pixels are first dithered as a save with dithering on
/// writes them (ditheredPixels).
Status encodeBitmap(const ConvertedPicture& picture, bmconv::BitmapMode mode, EncodedBitmap& out,
                    bool dither = false);

/// What a bitmap costs in the archive.
struct StoredSize {
    qint64 pixelBytes = 0;  ///< the uncompressed pixel buffer (stride × height)
    qint64 dataBytes = 0;   ///< the data the archive stores: compressed or raw
    int compression = 0;    ///< the scheme the data is stored with, 0 for none
    qint64 bitmapBytes = 0; ///< everything the bitmap takes: its header (or ROM record) and
                            ///< the data, padding included
};

/// The cost of `encoded` in an archive of `type`, compressed as the converter compresses
/// for that type (file stores and compressed ROM images), else raw.
StoredSize sizeInArchive(const EncodedBitmap& encoded, ArchiveType type);

/// The pixels as a split of the archive gives them back: RGB32, or ARGB32 (not
/// premultiplied) with the stored alpha for /c32a. Null when memory runs out.
QImage expandBitmap(const EncodedBitmap& encoded);

/// A picture as stored: what a split gives back, and its cost.
struct StoredBitmap {
    QImage image; ///< expandBitmap of the encoding
    StoredSize size;
};

/// encodeBitmap, sizeInArchive and expandBitmap in one.
Status storeBitmap(const ConvertedPicture& picture, bmconv::BitmapMode mode, ArchiveType type,
                   StoredBitmap& out, bool dither = false);
