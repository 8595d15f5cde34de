// Writing multi-bitmap archives: the file store and the ROM image, one bitmap at a time.
#pragma once
#include "temp_file.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bmconv {

enum class StoreKind { File, Rom, CompressedRom };

/// The 40-byte bitmap header fields (the header length and palette count are fixed) plus
/// what a ROM record adds.
struct BitmapRecord {
    int32_t width = 0;
    int32_t height = 0;
    int32_t twipsWidth = 0;
    int32_t twipsHeight = 0;
    uint32_t bpp = 0;
    uint32_t colour = 0;
    uint32_t compression = 0;
    uint32_t stride = 0;  ///< uncompressed bytes per row (ROM records)
    uint32_t romMode = 0; ///< display mode (ROM records)
};

/// Writes an archive into a temporary file beside the destination and moves it into place
/// on commit(), so the destination never holds a half-written archive. Memory use does not
/// depend on the number of bitmaps beyond one offset each.
class ArchiveWriter {
  public:
    ArchiveWriter() = default;
    ~ArchiveWriter();
    ArchiveWriter(const ArchiveWriter&) = delete;
    ArchiveWriter& operator=(const ArchiveWriter&) = delete;

    /// Starts an archive of `count` bitmaps (ROM images need the count up front). Returns
    /// false when the temporary file cannot be created.
    bool open(const std::string& destination, StoreKind kind, size_t count);
    /// Appends one bitmap: its header, then `size` data bytes. Returns false on a write error,
    /// when more than `count` bitmaps are added, or when the archive would pass 4 GB.
    bool add(const BitmapRecord& record, const uint8_t* data, size_t size);

    /// Appends one bitmap whose data come in pieces: beginBitmap(), appendData() as often
    /// as needed, then endBitmap() with the record (its compression included), which fills
    /// in the header. restartData() drops the data given since beginBitmap() (a compression
    /// that did not pay); what is given after it must be at least as long. Each returns
    /// false as add() does.
    bool beginBitmap();
    bool appendData(const uint8_t* data, size_t size);
    bool restartData();
    bool endBitmap(const BitmapRecord& record);
    /// Writes the trailer or offset table and renames the archive into place. Returns false
    /// on any write error or when fewer bitmaps than announced were added.
    bool commit();
    /// Drops the temporary file (also done by the destructor unless committed).
    void abandon();

  private:
    bool writeBytes(const void* data, size_t size);
    bool writeWord(uint32_t value);
    bool writeAt(uint64_t offset, const std::vector<uint32_t>& words);
    size_t recordHead(const BitmapRecord& record, uint64_t dataSize, uint8_t* out) const;
    bool fits(uint64_t dataSize) const;

    // The output's buffer; declared before out_ so that it outlives the stream using it.
    std::vector<char> buffer_;
    TempFile out_;
    StoreKind kind_ = StoreKind::File;
    size_t count_ = 0;
    uint64_t position_ = 0;
    std::vector<uint32_t> offsets_;
    bool inBitmap_ = false;
    uint64_t headAt_ = 0, dataAt_ = 0, highWater_ = 0; // the bitmap being written in pieces
};

} // namespace bmconv
