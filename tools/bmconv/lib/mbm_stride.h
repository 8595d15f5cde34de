// The row length of a bitmap's pixel buffer, the one layout rule writer and reader share.
#pragma once
#include <cstdint>

namespace bmconv {

/// Bytes per row of the pixel buffer for `bpp` bits per pixel and `width` pixels: rows fill
/// whole 32-bit words, and 24 bpp rows whole groups of four pixels (12 bytes). 0 for a depth
/// that is not 1, 2, 4, 8, 12, 16, 24 or 32.
inline uint64_t strideFor(int32_t bpp, uint64_t width) {
    switch (bpp) {
    case 1:
        return 4 * ((width + 31) / 32);
    case 2:
        return 4 * ((width + 15) / 16);
    case 4:
        return 4 * ((width + 7) / 8);
    case 8:
        return 4 * ((width + 3) / 4);
    case 12:
    case 16:
        return 4 * ((width + 1) / 2);
    case 24:
        return 12 * ((width + 3) / 4);
    case 32:
        return 4 * width;
    default:
        return 0;
    }
}

} // namespace bmconv
