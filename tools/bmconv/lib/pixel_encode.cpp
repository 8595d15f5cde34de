#include "pixel_encode.h"

#include <cstdlib>

namespace bmconv {
namespace {

struct Px {
    uint8_t r, g, b;
};

/// Reads one source pixel. Two greys are moved to the nearest shades the phone palettes
/// reproduce, in every mode, as the SDK converter does.
inline Px fetch(const uint8_t* p) {
    Px c{p[0], p[1], p[2]};
    if (c.r == c.g && c.g == c.b) {
        if (c.r == 128)
            c.r = c.g = c.b = 127;
        else if (c.r == 192)
            c.r = c.g = c.b = 187;
    }
    return c;
}

inline unsigned luma(Px c) {
    return (2u * c.r + 5u * c.g + c.b) / 8u;
}

int distance(Rgb a, int r, int g, int b) {
    return std::abs(a.r - r) + std::abs(a.g - g) + std::abs(a.b - b);
}

/// Index of the entry nearest to (r, g, b) by the sum of channel differences; ties go to the
/// lowest index.
template <size_t N> uint8_t nearest(const std::array<Rgb, N>& palette, int r, int g, int b) {
    size_t best = 0;
    int bestDistance = distance(palette[0], r, g, b);
    for (size_t i = 1; i < N; ++i) {
        const int d = distance(palette[i], r, g, b);
        if (d < bestDistance) bestDistance = d, best = i;
    }
    return uint8_t(best);
}

const std::array<uint8_t, 512>& c4Table() {
    static const std::array<uint8_t, 512> table = [] {
        std::array<uint8_t, 512> t{};
        for (int i = 0; i < 512; ++i)
            t[i] = nearest(palette16(), 36 * (i >> 6), 36 * ((i >> 3) & 7), 36 * (i & 7));
        return t;
    }();
    return table;
}

/// Packs `w` values of Bpp bits into a row, pixel x in bits Bpp*(x mod 8/Bpp), low first.
template <int Bpp, class Value>
void packRow(uint8_t* row, const uint8_t* src, uint32_t w, Value value) {
    constexpr unsigned perByte = 8 / Bpp;
    constexpr unsigned mask = (1u << Bpp) - 1;
    for (uint32_t x = 0; x < w; ++x, src += 3) {
        const unsigned shift = Bpp * (x % perByte);
        uint8_t& byte = row[x / perByte];
        byte = uint8_t((byte & ~(mask << shift)) | ((value(fetch(src)) & mask) << shift));
    }
}

inline void put16(uint8_t* p, unsigned v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void encodeRow(BitmapMode mode, uint8_t* row, const uint8_t* src, uint32_t w, const C8Table* c8,
               const uint8_t* alpha) {
    switch (mode) {
    case BitmapMode::Grey1:
        packRow<1>(row, src, w, [](Px c) { return luma(c) / 128; });
        break;
    case BitmapMode::Grey2:
        packRow<2>(row, src, w, [](Px c) { return luma(c) / 64; });
        break;
    case BitmapMode::Grey4:
        packRow<4>(row, src, w, [](Px c) { return luma(c) / 16; });
        break;
    case BitmapMode::C4: {
        const auto& t = c4Table();
        packRow<4>(row, src, w,
                   [&t](Px c) { return t[(c.r >> 5) << 6 | (c.g >> 5) << 3 | c.b >> 5]; });
        break;
    }
    case BitmapMode::Grey8:
        for (uint32_t x = 0; x < w; ++x, src += 3)
            row[x] = uint8_t(luma(fetch(src)));
        break;
    case BitmapMode::C8: {
        const C8Table& t = c8 ? *c8 : standardC8Table();
        for (uint32_t x = 0; x < w; ++x, src += 3) {
            const Px c = fetch(src);
            row[x] = t[(c.r >> 4) << 8 | (c.g >> 4) << 4 | c.b >> 4];
        }
        break;
    }
    case BitmapMode::C12:
        for (uint32_t x = 0; x < w; ++x, src += 3) {
            const Px c = fetch(src);
            put16(row + 2 * x, unsigned(c.r >> 4) << 8 | unsigned(c.g >> 4) << 4 | c.b >> 4);
        }
        break;
    case BitmapMode::C16:
        for (uint32_t x = 0; x < w; ++x, src += 3) {
            const Px c = fetch(src);
            put16(row + 2 * x, unsigned(c.r >> 3) << 11 | unsigned(c.g >> 2) << 5 | c.b >> 3);
        }
        break;
    case BitmapMode::C24:
        for (uint32_t x = 0; x < w; ++x, src += 3, row += 3) {
            const Px c = fetch(src);
            row[0] = c.b, row[1] = c.g, row[2] = c.r;
        }
        break;
    case BitmapMode::C32:
    case BitmapMode::C32A:
        for (uint32_t x = 0; x < w; ++x, src += 3, row += 4) {
            const Px c = fetch(src);
            row[0] = c.b, row[1] = c.g, row[2] = c.r;
            row[3] = alpha ? alpha[x] : 0;
        }
        break;
    }
}

} // namespace

ModeTraits traitsOf(BitmapMode mode) {
    switch (mode) {
    case BitmapMode::Grey1:
        return {1, 0, 1, 1};
    case BitmapMode::Grey2:
        return {2, 0, 1, 2};
    case BitmapMode::Grey4:
        return {4, 0, 1, 3};
    case BitmapMode::Grey8:
        return {8, 0, 1, 4};
    case BitmapMode::C4:
        return {4, 1, 1, 5};
    case BitmapMode::C8:
        return {8, 1, 1, 6};
    case BitmapMode::C12:
        return {12, 1, 2, 10};
    case BitmapMode::C16:
        return {16, 1, 3, 7};
    case BitmapMode::C24:
        return {24, 1, 4, 8};
    case BitmapMode::C32:
        return {32, 1, 5, 11};
    case BitmapMode::C32A:
        return {32, 2, 6, 12};
    }
    return {0, 0, 0, 0};
}

C8Table makeC8Table(const std::array<Rgb, 256>& palette) {
    C8Table t{};
    for (int i = 0; i < 4096; ++i)
        t[i] = nearest(palette, 17 * (i >> 8), 17 * ((i >> 4) & 15), 17 * (i & 15));
    return t;
}

const C8Table& standardC8Table() {
    static const C8Table table = makeC8Table(palette256());
    return table;
}

std::vector<uint8_t> encodePixels(const BmpImage& image, BitmapMode mode, const C8Table* c8,
                                  const uint8_t* alpha) {
    const uint32_t w = uint32_t(image.width), h = uint32_t(image.height);
    const uint32_t stride = uint32_t(strideFor(traitsOf(mode).bpp, w));
    std::vector<uint8_t> buffer(size_t(stride) * h, 0xFF);
    const bool withAlpha = mode == BitmapMode::C32A && alpha;
    for (uint32_t y = 0; y < h; ++y)
        encodeRow(mode, buffer.data() + size_t(y) * stride, image.rgb.data() + size_t(y) * w * 3, w,
                  c8, withAlpha ? alpha + size_t(y) * w : nullptr);
    return buffer;
}

} // namespace bmconv
