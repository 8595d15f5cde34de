// Reading a BMP file row by row for the compiler, through a window of bounded size.
#pragma once
#include "bmp_layout.h"
#include "file_view.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bmconv {

/// A BMP picture opened for reading its rows, top row first. Uncompressed rows are read
/// from the file as they are asked for, so memory stays at one window whatever the picture
/// size; an RLE picture is decoded whole when opened (one byte a pixel).
class BmpSource {
  public:
    /// Opens `path` and checks its headers as decodeBmp does. A file that cannot be opened
    /// gives kFileDoesNotExist; on success the result's image holds the size, depth and
    /// resolution, without pixels.
    BmpDecodeResult open(const std::string& path);

    uint32_t width() const { return uint32_t(layout_.width); }
    uint32_t height() const { return uint32_t(layout_.height); }

    /// 3 or 4 when rows are stored as B, G, R (and an unused byte) and can be encoded as
    /// they lie in the file; 0 when they must be converted first.
    int bgrBytesPerPixel() const;

    /// Rows [y, y + count) (from the top) as stored, for a picture with bgrBytesPerPixel():
    /// row y at the returned pointer, each next row `pitch` bytes further (negative for a
    /// bottom-up file). Valid until the next call; null when the file cannot be read.
    const uint8_t* bgrRows(uint32_t y, uint32_t count, std::ptrdiff_t& pitch);

    /// Converts rows [y, y + count) (from the top) into R, G, B bytes, row after row
    /// (width × 3 bytes each), to `rgb` (may be null), and for pictures of 1 to 8 bpp their
    /// palette indices to `indices` (width bytes a row; may be null). False when the file
    /// cannot be read.
    bool convertRows(uint32_t y, uint32_t count, uint8_t* rgb, uint8_t* indices);

    /// The result to give when a read failed.
    BmpDecodeResult readFailure() const;

  private:
    const uint8_t* fileRows(uint32_t y, uint32_t count, std::ptrdiff_t& pitch);

    std::string path_;
    FileView file_{1, size_t(4) << 20}; // pictures up to 4 MB are read, not mapped
    BmpLayout layout_;
    std::vector<uint8_t> rleIndices_; // the decoded picture of an RLE file, top row first
    std::vector<uint8_t> rowIndices_; // scratch for one row of a palette picture
};

} // namespace bmconv
