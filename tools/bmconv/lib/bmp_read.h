// Decoding Windows BMP files into plain RGB pixels for the compiler.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bmconv {

/// A decoded picture, top row first.
struct BmpImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    int bitsPerPixel = 0;         ///< depth of the source file (1, 2, 4, 8, 16, 24 or 32)
    std::vector<uint8_t> rgb;     ///< 3 bytes per pixel: R, G, B
    std::vector<uint8_t> indices; ///< palette index per pixel (palette sources only), else empty
};

/// Outcome of decoding: `ok`, or an exit code (kBadSourceFile, kUnknownCompression) with a
/// message naming what is wrong with the file.
struct BmpDecodeResult {
    bool ok = false;
    int errorCode = 0;
    std::string message;
    BmpImage image;
};

/// Largest width or height accepted, and largest pixel count, so that a small damaged file
/// can never make the decoder allocate without bound.
constexpr int32_t kMaxBmpDimension = 65535;
constexpr uint64_t kMaxBmpPixels = uint64_t(1) << 25;

/// Decodes a BMP held in memory. Reads info headers of 12, 40, 52, 56, 108 and 124 bytes;
/// 1, 2, 4, 8, 16, 24 and 32 bits per pixel; bottom-up and top-down rows; uncompressed, RLE8,
/// RLE4 and bit-field pixels. Pixels are taken from the offset the file header gives.
/// Never reads outside `data[0, size)`; refuses anything it cannot read with a message.
BmpDecodeResult decodeBmp(const uint8_t* data, size_t size);

/// Reads and decodes the file at `path`. A file that cannot be opened gives
/// kFileDoesNotExist.
BmpDecodeResult loadBmpFile(const std::string& path);

} // namespace bmconv
