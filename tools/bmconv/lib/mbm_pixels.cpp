#include "mbm_pixels.h"

#include "palette.h"
#include "simd_dispatch.h"

#include <cstring>

namespace bmconv {

namespace {

void setEntry(uint8_t* entry, uint8_t r, uint8_t g, uint8_t b) {
    entry[0] = b;
    entry[1] = g;
    entry[2] = r;
}

} // namespace

RowExpander::RowExpander(int32_t bpp, uint32_t colour) : bpp_(bpp), colour_(colour) {
    if (bpp > 8) return;
    const int levels = 1 << bpp;
    for (int i = 0; i < levels; ++i) {
        uint8_t* entry = &indexed_[size_t(i) * 3];
        if (colour == 0) {
            const uint8_t v = uint8_t(i * 255 / (levels - 1)); // 1 bpp x255, 2 x85, 4 x17
            setEntry(entry, v, v, v);
        } else if (bpp == 4) {
            const Rgb c = palette16()[size_t(i)];
            setEntry(entry, c.r, c.g, c.b);
        } else {
            const Rgb c = palette256()[size_t(i)];
            setEntry(entry, c.r, c.g, c.b);
        }
    }
}

void RowExpander::expandIndexed(const uint8_t* row, size_t width, uint8_t* bgr) const {
    const unsigned bits = unsigned(bpp_);
    const unsigned perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (size_t x = 0; x < width; ++x, bgr += 3) {
        // Pixels fill each byte from its least significant bits up.
        const unsigned index = (row[x / perByte] >> ((x % perByte) * bits)) & mask;
        std::memcpy(bgr, &indexed_[index * 3], 3);
    }
}

namespace {

// The depths above 8 bits, as loops without branches that compilers vectorize.
ZEMBREL_INLINE void expandDirect(int32_t bpp, bool withAlpha, const uint8_t* __restrict row,
                                 size_t width, uint8_t* __restrict bgr, uint8_t* __restrict alpha) {
    switch (bpp) {
    case 12:
        for (size_t x = 0; x < width; ++x) {
            const unsigned word = row[2 * x] | unsigned(row[2 * x + 1]) << 8; // 0000RRRRGGGGBBBB
            bgr[3 * x] = uint8_t((word & 0xF) * 17);
            bgr[3 * x + 1] = uint8_t(((word >> 4) & 0xF) * 17);
            bgr[3 * x + 2] = uint8_t(((word >> 8) & 0xF) * 17);
        }
        return;
    case 16: // 5-6-5 bits scaled to 8 bits, rounding down
        for (size_t x = 0; x < width; ++x) {
            const unsigned word = row[2 * x] | unsigned(row[2 * x + 1]) << 8; // RRRRRGGGGGGBBBBB
            bgr[3 * x] = uint8_t((word & 0x1F) * 255 / 31);
            bgr[3 * x + 1] = uint8_t(((word >> 5) & 0x3F) * 255 / 63);
            bgr[3 * x + 2] = uint8_t((word >> 11) * 255 / 31);
        }
        return;
    case 24:
        std::memcpy(bgr, row, width * 3);
        return;
    default: // 32 bpp: B, G, R, then alpha (or an unused byte)
        for (size_t x = 0; x < width; ++x) {
            bgr[3 * x] = row[4 * x];
            bgr[3 * x + 1] = row[4 * x + 1];
            bgr[3 * x + 2] = row[4 * x + 2];
        }
        if (withAlpha) {
            for (size_t x = 0; x < width; ++x)
                alpha[x] = row[4 * x + 3];
        }
        return;
    }
}

#ifdef ZEMBREL_AVX2
__attribute__((target("avx2"))) void expandDirectAvx2(int32_t bpp, bool withAlpha,
                                                      const uint8_t* row, size_t width,
                                                      uint8_t* bgr, uint8_t* alpha) {
    expandDirect(bpp, withAlpha, row, width, bgr, alpha);
}
#endif

} // namespace

void RowExpander::expand(const uint8_t* row, size_t width, uint8_t* bgr, uint8_t* alpha) const {
    if (alpha) std::memset(alpha, 0xFF, width);
    switch (bpp_) {
    case 1:
    case 2:
    case 4:
        expandIndexed(row, width, bgr);
        return;
    case 8:
        for (size_t x = 0; x < width; ++x, bgr += 3)
            std::memcpy(bgr, &indexed_[row[x] * 3u], 3);
        return;
    default:
        break;
    }
    const bool withAlpha = alpha && bpp_ == 32 && colour_ != 1;
#ifdef ZEMBREL_AVX2
    if (useAvx2()) return expandDirectAvx2(bpp_, withAlpha, row, width, bgr, alpha);
#endif
    expandDirect(bpp_, withAlpha, row, width, bgr, alpha);
}

} // namespace bmconv
