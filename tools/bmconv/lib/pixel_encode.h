// Turning decoded pictures into the pixel buffers of an archive, one per colour mode.
#pragma once
#include "bmp_read.h"
#include "mbm_stride.h"
#include "palette.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bmconv {

/// The colour modes a source switch can ask for (/1 /2 /4 /8 /c4 ... /c32a).
enum class BitmapMode { Grey1, Grey2, Grey4, Grey8, C4, C8, C12, C16, C24, C32, C32A };

/// What the archive records for a mode.
struct ModeTraits {
    int bpp;     ///< bits per pixel
    int colour;  ///< 0 grey, 1 colour, 2 colour with alpha
    int scheme;  ///< compression scheme number used when compressing
    int romMode; ///< display mode written in ROM image records
};

/// Traits of `mode`.
ModeTraits traitsOf(BitmapMode mode);

/// Maps 256-colour buckets (R>>4, G>>4, B>>4), index (R>>4)<<8 | (G>>4)<<4 | B>>4, to the
/// palette entry nearest to (17r, 17g, 17b); ties go to the lowest index.
using C8Table = std::array<uint8_t, 4096>;

/// The /c8 table of `palette` (the standard one, or a palette given with /p).
C8Table makeC8Table(const std::array<Rgb, 256>& palette);

/// The /c8 table of the standard 256-colour palette (computed once).
const C8Table& standardC8Table();

/// How the three colour bytes of a source pixel lie: R, G, B (decoded pictures), or B, G, R
/// with or without a fourth unused byte (24- and 32-bit BMP rows as stored).
enum class PixelOrder { Rgb, Bgr, Bgrx };

/// Encodes `count` rows of `width` pixels in `mode` into `dst`: each row `strideFor` bytes,
/// every unused bit set. Source row k starts at `src + k * srcPitch` (the pitch may be
/// negative), its pixels in `order`. `c8` is the table for /c8 (may be null for other
/// modes). `alpha` (only for C32A; may be null) holds `width` alpha values a row, row k at
/// `alpha + k * alphaPitch`.
void encodeRows(BitmapMode mode, const uint8_t* src, std::ptrdiff_t srcPitch, PixelOrder order,
                uint32_t width, uint32_t count, uint8_t* dst, const C8Table* c8,
                const uint8_t* alpha, std::ptrdiff_t alphaPitch);

/// Encodes `image` in `mode`: rows top first, each `strideFor` bytes, every unused bit set.
/// `c8` is the table for /c8 (may be null for other modes). `alpha` (only for C32A) holds
/// width x height alpha values, top row first.
std::vector<uint8_t> encodePixels(const BmpImage& image, BitmapMode mode, const C8Table* c8,
                                  const uint8_t* alpha);

} // namespace bmconv
