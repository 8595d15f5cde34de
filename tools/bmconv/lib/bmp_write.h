// Writing split bitmaps as Windows BMP files: 24-bit pictures and 8-bit alpha masks, the
// way the SDK converter lays them out.
#pragma once
#include "temp_file.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bmconv {

/// Writes one bottom-up BMP file from rows handed over top row first. The file is written
/// under a temporary name beside its destination and renamed into place by publish(), so
/// the destination never holds a partly written picture. A picture no larger than a slice
/// is written with one call; a larger one a slice of rows at a time, so memory stays at one
/// slice whatever the picture size.
class BmpFileWriter {
  public:
    enum class Kind {
        Colour24, // B, G, R rows, padded with 0xFF
        Grey8,    // palette of 256 greys, index rows padded with 0x00
    };

    BmpFileWriter() = default;
    ~BmpFileWriter();
    BmpFileWriter(const BmpFileWriter&) = delete;
    BmpFileWriter& operator=(const BmpFileWriter&) = delete;

    /// True when a picture of this size fits the 32-bit sizes of a BMP file.
    static bool fits(Kind kind, uint32_t width, uint32_t height);

    /// Bytes of rows held before they are written (tests make it small); returns the
    /// setting it replaces.
    static size_t setSliceBytes(size_t bytes);

    /// Creates the temporary file and prepares the headers. False (see error()) when the file
    /// cannot be created or the picture is too large for a BMP file. The rows are held in
    /// `buffer` (grown as needed), which the caller keeps for the next picture so memory is
    /// taken once; it must stay until finish().
    bool begin(const std::string& path, Kind kind, uint32_t width, uint32_t height,
               std::vector<uint8_t>& buffer);

    /// Where the next row from the top goes: 3 × width bytes (Colour24) or width bytes
    /// (Grey8), to be filled before rowDone(). Null when every row was handed over.
    uint8_t* nextRow();
    /// Takes the row filled in at nextRow().
    bool rowDone();

    /// Writes what is left and closes the temporary file; it stays until publish() or
    /// abandon(). The buffer is no longer used.
    bool finish();

    /// Renames the finished temporary file to its destination (replacing a file there).
    bool publish();

    /// Removes the temporary file unless it was published (also done by the destructor).
    void abandon();

    const std::string& error() const { return error_; }

  private:
    bool flushRows();
    bool fail(const std::string& what);
    uint8_t* rowsStart() const;

    TempFile out_;
    std::string path_;
    Kind kind_ = Kind::Colour24;
    uint32_t height_ = 0;
    uint32_t rowBytes_ = 0, pixelBytes_ = 0, dataOffset_ = 0;
    uint32_t rowsDone_ = 0;   // rows handed over so far
    uint32_t chunkStart_ = 0; // first row (from the top) held in the buffer
    uint32_t chunkRows_ = 0;  // rows the current slice holds when full
    uint32_t sliceRows_ = 0;  // rows a full slice holds
    bool whole_ = false;      // the buffer holds the whole file, headers included
    bool finished_ = false;
    std::vector<uint8_t>* buffer_ = nullptr;
    size_t bufferBytes_ = 0;
    std::string error_;
};

} // namespace bmconv
