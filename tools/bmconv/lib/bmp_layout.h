// The parsed headers of a BMP file and the row conversions built on them, shared by reading
// a whole picture in memory and reading a file row by row.
#pragma once
#include "bmp_read.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bmconv {

enum BmpCompression : uint32_t {
    kBmpRgb = 0,
    kBmpRle8 = 1,
    kBmpRle4 = 2,
    kBmpBitFields = 3,
    kBmpAlphaBitFields = 6
};

/// Every header byte the parser reads lies within this many bytes of the file's start.
constexpr size_t kBmpHeadBytes = 2048;

/// Everything the pixel decoders need from the headers.
struct BmpLayout {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool topDown = false;
    int bpp = 0;
    uint32_t compression = kBmpRgb;
    uint32_t masks[3] = {0, 0, 0};
    std::vector<uint8_t> palette; // 3 bytes per entry: R, G, B
    uint64_t pixelOffset = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;

    uint64_t rowBytes() const { return (uint64_t(width) * uint64_t(bpp) + 31) / 32 * 4; }
    bool rle() const { return compression == kBmpRle8 || compression == kBmpRle4; }
    /// Rows are B, G, R (and one unused byte at 32 bpp) as stored.
    bool bgrRows() const { return bpp == 24 || (bpp == 32 && compression == kBmpRgb); }
    /// Where row `y` (counted from the top) starts in the file.
    uint64_t rowOffset(uint32_t y) const {
        const uint64_t fileRow = topDown ? y : uint64_t(height) - 1 - y;
        return pixelOffset + rowBytes() * fileRow;
    }
};

/// Reads and checks the headers of a BMP file of `fileSize` bytes whose first
/// min(fileSize, kBmpHeadBytes) bytes are `head`. On success `result.ok` is set and the
/// image fields other than the pixels are filled in; otherwise the code and message say
/// what is wrong. The pixel data the layout points to is known to lie inside the file.
BmpDecodeResult parseBmpHeaders(const uint8_t* head, uint64_t fileSize, BmpLayout& layout);

/// Converts one stored row of an uncompressed picture: R, G, B to `rgb` (width × 3 bytes;
/// may be null at 1 to 8 bpp) and, at 1 to 8 bpp, palette indices to `indices` (width bytes;
/// needed for palette pictures).
void convertRow(const uint8_t* src, const BmpLayout& layout, uint8_t* rgb, uint8_t* indices);

/// R, G, B of `count` palette indices; an index past a short palette reads as black.
void indicesToRgb(const std::vector<uint8_t>& palette, const uint8_t* indices, size_t count,
                  uint8_t* rgb);

/// Decodes the RLE8 or RLE4 data of a file held in `data` (`size` bytes) into palette
/// indices, top row first (width × height bytes); pixels the stream skips stay index 0.
void decodeRle(const uint8_t* data, size_t size, const BmpLayout& layout, uint8_t* indices);

} // namespace bmconv
