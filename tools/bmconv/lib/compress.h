// The run-length schemes of archive bitmaps, encoding exactly as the SDK converter does.
#pragma once
#include <cstdint>
#include <vector>

namespace bmconv {

/// Compresses the whole pixel buffer `raw` (padding included, one stream across rows) with
/// `scheme` (1 byte RLE, 2 12-bit, 3 16-bit, 4 24-bit, 5 32-bit without alpha, 6 32-bit with
/// alpha) into `out`. Returns false when the converter stores this bitmap raw instead
/// (the compressed form would be too long, or the scheme is unknown); `out` is then
/// unspecified. An empty buffer compresses to no data.
bool compressPixels(int scheme, const std::vector<uint8_t>& raw, std::vector<uint8_t>& out);

} // namespace bmconv
