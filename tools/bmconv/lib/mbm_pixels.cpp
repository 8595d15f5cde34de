#include "mbm_pixels.h"

#include "palette.h"

#include <cstring>

namespace bmconv {

namespace {

// 5- and 6-bit channels scaled to 8 bits, rounding down.
struct Scale16 {
    uint8_t five[32];
    uint8_t six[64];
    Scale16() {
        for (unsigned v = 0; v < 32; ++v)
            five[v] = uint8_t(v * 255 / 31);
        for (unsigned v = 0; v < 64; ++v)
            six[v] = uint8_t(v * 255 / 63);
    }
};

const Scale16& scale16() {
    static const Scale16 table;
    return table;
}

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
    case 12:
        for (size_t x = 0; x < width; ++x, bgr += 3, row += 2) {
            const unsigned word = row[0] | unsigned(row[1]) << 8; // 0000RRRRGGGGBBBB
            bgr[0] = uint8_t((word & 0xF) * 17);
            bgr[1] = uint8_t(((word >> 4) & 0xF) * 17);
            bgr[2] = uint8_t(((word >> 8) & 0xF) * 17);
        }
        return;
    case 16: {
        const Scale16& t = scale16();
        for (size_t x = 0; x < width; ++x, bgr += 3, row += 2) {
            const unsigned word = row[0] | unsigned(row[1]) << 8; // RRRRRGGGGGGBBBBB
            bgr[0] = t.five[word & 0x1F];
            bgr[1] = t.six[(word >> 5) & 0x3F];
            bgr[2] = t.five[word >> 11];
        }
        return;
    }
    case 24:
        std::memcpy(bgr, row, width * 3);
        return;
    default: // 32 bpp: B, G, R, then alpha (or an unused byte)
        for (size_t x = 0; x < width; ++x, bgr += 3, row += 4)
            std::memcpy(bgr, row, 3);
        if (alpha && colour_ != 1) {
            row -= width * 4;
            for (size_t x = 0; x < width; ++x)
                alpha[x] = row[x * 4 + 3];
        }
        return;
    }
}

} // namespace bmconv
