// Reading the structure of an archive (file store or ROM image) with every check a phone
// makes, so that a damaged archive is refused before anything is allocated for it.
#pragma once
#include "mbm_source.h"
#include "mbm_stride.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bmconv {

/// What kind of archive a reader found (the writer has its own StoreKind).
enum class ArchiveKind { FileStore, RomImage };

/// Compression numbers as stored in a bitmap header.
enum Compression : uint32_t {
    kNoCompression = 0,
    kByteRle = 1,
    kTwelveBitRle = 2,
    kSixteenBitRle = 3,
    kTwentyFourBitRle = 4,
    kThirtyTwoBitRle = 5,      // c32: three bytes a pixel in the stream, fourth restored as 0xFF
    kThirtyTwoBitAlphaRle = 6, // c32a: four bytes a pixel
};

/// Bytes one value of `compression` takes in the pixel buffer (1 for none or unknown).
size_t bufferBytesPerValue(uint32_t compression);
/// Bytes one value takes in the compressed stream: c32 stores three of its four.
size_t storedBytesPerValue(uint32_t compression);

/// One bitmap of an archive, its header checked.
struct BitmapInfo {
    uint32_t size = 0; // header field: 40 + data length
    int32_t width = 0, height = 0;
    int32_t twipsWidth = 0, twipsHeight = 0;
    int32_t bpp = 0;
    uint32_t colour = 0; // 0 grey, 1 colour, 2 colour + alpha, 3 colour + premultiplied alpha
    uint32_t compression = 0;
    uint64_t stride = 0;     // bytes per row of the pixel buffer
    uint64_t dataOffset = 0; // where the (possibly compressed) pixel data starts in the file
    uint32_t dataLength = 0;

    uint64_t bufferSize() const { return stride * uint64_t(height); }
    bool hasAlpha() const { return colour == 2 || colour == 3; }
};

/// Outcome of a reading step: code 0, or an exit code with the problem in words.
struct ReadStatus {
    int code = 0;
    std::string problem;
    bool ok() const { return code == 0; }
    static ReadStatus fail(int code, std::string problem) { return {code, std::move(problem)}; }
};

/// The compression scheme that belongs to a depth (and colour mode, for 32 bpp).
uint32_t schemeFor(int32_t bpp, uint32_t colour);

/// Reads an archive's table of bitmaps and, on demand, each bitmap's header and data.
class ArchiveReader {
  public:
    explicit ArchiveReader(ByteSource& source) : source_(source) {}

    /// Reads the store header and the table of bitmap offsets. Fails with kBadSourceFile
    /// and a description when the file is no archive or its table does not fit the file.
    ReadStatus open();

    ArchiveKind kind() const { return kind_; }
    size_t count() const { return offsets_.size(); }
    uint64_t fileSize() const;
    /// Where bitmap `index` (0-based) is recorded in the file; equal offsets mean one bitmap.
    uint32_t offsetOf(size_t index) const { return offsets_[index]; }

    /// Reads and checks the header of bitmap `index` (0-based; messages count from 1).
    /// Fails with kBadSourceFile (or kUnknownCompression) naming the field that is wrong.
    ReadStatus bitmap(size_t index, BitmapInfo& info);

    /// The bytes the archive is read from.
    ByteSource& source() { return source_; }

  private:
    ReadStatus openFileStore();
    ReadStatus openRomImage();
    ReadStatus readRomRecord(size_t index, uint32_t offset, BitmapInfo& info);
    ReadStatus readOffsets(uint64_t at, uint32_t count);
    ReadStatus checkDataPlacement(const BitmapInfo& info, size_t ordinal);

    ByteSource& source_;
    ArchiveKind kind_ = ArchiveKind::FileStore;
    std::vector<uint32_t> offsets_;
};

/// Checks the fields of the 40-byte header in `h` (bitmap number `ordinal`, counted from 1)
/// and fills `info` from it, except for dataOffset.
ReadStatus checkBitmapHeader(const uint8_t* h, size_t ordinal, BitmapInfo& info);

/// Checks a bitmap's data length against the size of its pixel buffer: exact when
/// uncompressed, within what the scheme can encode otherwise. This bounds everything later
/// allocated for the bitmap by the size of the file.
ReadStatus checkDataLength(const BitmapInfo& info, size_t ordinal);

} // namespace bmconv
