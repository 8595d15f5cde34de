// Encoding one source picture into one bitmap of the archive being compiled.
#pragma once
#include "bmp_source.h"
#include "compress.h"
#include "mbm_write.h"
#include "pixel_encode.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace bmconv {

/// Memory kept from one picture to the next, so a compile of many pictures allocates once.
struct EncodeScratch {
    std::vector<uint8_t> raw;   ///< encoded rows
    std::vector<uint8_t> rgb;   ///< source rows converted to R, G, B
    std::vector<uint8_t> alpha; ///< alpha values of the rows
    std::unique_ptr<StreamCompressor> compressor;
};

/// How one picture is to be stored.
struct BitmapJob {
    BitmapMode mode = BitmapMode::Grey2;
    const C8Table* c8 = nullptr; ///< the /c8 table (null for the standard one)
    bool compress = true;        ///< use the mode's scheme where it pays
    BitmapRecord record;         ///< header fields; the compression is filled in
};

/// Outcome of appending a picture: a source that could not be read, or the archive that
/// could not be written.
enum class AppendResult { Ok, SourceUnreadable, ArchiveUnwritable };

/// Encodes `source` (with the alpha values of `alpha` for C32A, which must then be of the
/// same size) and appends it to `writer`. A picture up to a slice is encoded in memory
/// whole; a larger one a slice of rows at a time, so memory stays at about a slice
/// whatever the picture's size.
AppendResult appendBitmap(BmpSource& source, BmpSource* alpha, BitmapJob job, ArchiveWriter& writer,
                          EncodeScratch& scratch);

/// Bytes of encoded rows handled at a time (tests make it small to exercise the slices);
/// returns the setting it replaces.
size_t setEncodeSliceBytes(size_t bytes);

} // namespace bmconv
