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

/// A picture encoded (and compressed where that pays) whole in memory: `data` points into
/// the scratch it was made with and stays valid until that scratch is used again.
struct PreparedBitmap {
    BitmapRecord record;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

/// Outcome of preparing a picture in memory: ready to add, too large to be held whole (it is
/// then appended a slice at a time by appendBitmap), or a source that could not be read.
enum class PrepareResult { Ready, TooLarge, SourceUnreadable };

/// Encodes a picture up to a slice whole into `scratch` without touching any archive, so
/// pictures can be prepared side by side and added in order. TooLarge is decided before
/// any work is done.
PrepareResult prepareBitmap(BmpSource& source, BmpSource* alpha, BitmapJob job,
                            EncodeScratch& scratch, PreparedBitmap& out);

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
