#include "pixel_encode.h"

#include "simd_dispatch.h"

#include <cstdlib>
#include <cstring>

namespace bmconv {
namespace {

struct Px {
    unsigned r, g, b;
};

/// Where the colour bytes of a pixel lie, and how far apart pixels are.
template <int Step, int R, int G, int B> struct Order {
    static constexpr size_t step = Step, r = R, g = G, b = B;
    static inline Px at(const uint8_t* p) { return {p[R], p[G], p[B]}; }
};
using RgbOrder = Order<3, 0, 1, 2>;
using BgrOrder = Order<3, 2, 1, 0>;
using BgrxOrder = Order<4, 2, 1, 0>;

/// Reads one source pixel. Two greys are moved to the nearest shades the phone palettes
/// reproduce, in every mode, as the SDK converter does.
template <class O> inline Px fetch(const uint8_t* p) {
    Px c = O::at(p);
    const unsigned to = c.r == 128 ? 127u : c.r == 192 ? 187u : c.r;
    if (((c.r ^ c.g) | (c.g ^ c.b)) == 0) c.r = c.g = c.b = to;
    return c;
}

/// The same for the modes whose loops compilers vectorize: no branch, the grey shades
/// moved by arithmetic, pixels counted with a full-width index. `put` writes the Out bytes
/// of one pixel.
template <class O, size_t Out = 1, class Put>
inline void flatRow(uint8_t* __restrict row, const uint8_t* __restrict src, size_t w, Put put) {
    for (size_t x = 0; x < w; ++x) {
        const unsigned r = src[x * O::step + O::r], g = src[x * O::step + O::g],
                       b = src[x * O::step + O::b];
        const unsigned grey = unsigned(r == g) & unsigned(g == b);
        const unsigned shift = (grey & unsigned(r == 128)) + 5 * (grey & unsigned(r == 192));
        put(row + x * Out, r - shift, g - shift, b - shift);
    }
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

/// Packs `w` values of Bpp bits into a row, pixel x in bits Bpp*(x mod 8/Bpp), low first; the
/// bits after the last pixel stay set. Returns the bytes written.
template <int Bpp, class O, class Value>
size_t packRow(uint8_t* row, const uint8_t* src, uint32_t w, Value value) {
    constexpr unsigned perByte = 8 / Bpp;
    constexpr unsigned mask = (1u << Bpp) - 1;
    size_t bytes = 0;
    for (uint32_t x = 0; x < w; x += perByte) {
        unsigned byte = 0xFF;
        for (unsigned k = 0; k < perByte && x + k < w; ++k, src += O::step) {
            const unsigned shift = Bpp * k;
            byte = (byte & ~(mask << shift)) | (value(fetch<O>(src)) & mask) << shift;
        }
        row[bytes++] = uint8_t(byte);
    }
    return bytes;
}

/// Encodes one row; returns the bytes written (the rest of the stride is padding).
template <class O>
ZEMBREL_INLINE size_t encodeRow(BitmapMode mode, uint8_t* row, const uint8_t* src, uint32_t w,
                                const C8Table* c8, const uint8_t* alpha) {
    switch (mode) {
    case BitmapMode::Grey1:
        return packRow<1, O>(row, src, w, [](Px c) { return luma(c) / 128; });
    case BitmapMode::Grey2:
        return packRow<2, O>(row, src, w, [](Px c) { return luma(c) / 64; });
    case BitmapMode::Grey4:
        return packRow<4, O>(row, src, w, [](Px c) { return luma(c) / 16; });
    case BitmapMode::C4: {
        const auto& t = c4Table();
        return packRow<4, O>(
            row, src, w, [&t](Px c) { return t[(c.r >> 5) << 6 | (c.g >> 5) << 3 | c.b >> 5]; });
    }
    case BitmapMode::Grey8:
        flatRow<O>(row, src, w, [](uint8_t* out, unsigned r, unsigned g, unsigned b) {
            out[0] = uint8_t((2 * r + 5 * g + b) / 8);
        });
        return w;
    case BitmapMode::C8: {
        const C8Table& t = c8 ? *c8 : standardC8Table();
        for (uint32_t x = 0; x < w; ++x, src += O::step) {
            const Px c = fetch<O>(src);
            row[x] = t[(c.r >> 4) << 8 | (c.g >> 4) << 4 | c.b >> 4];
        }
        return w;
    }
    case BitmapMode::C12:
        flatRow<O, 2>(row, src, w, [](uint8_t* out, unsigned r, unsigned g, unsigned b) {
            const unsigned v = (r >> 4) << 8 | (g >> 4) << 4 | b >> 4;
            out[0] = uint8_t(v);
            out[1] = uint8_t(v >> 8);
        });
        return 2 * size_t(w);
    case BitmapMode::C16:
        flatRow<O, 2>(row, src, w, [](uint8_t* out, unsigned r, unsigned g, unsigned b) {
            const unsigned v = (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
            out[0] = uint8_t(v);
            out[1] = uint8_t(v >> 8);
        });
        return 2 * size_t(w);
    case BitmapMode::C24:
        flatRow<O, 3>(row, src, w, [](uint8_t* out, unsigned r, unsigned g, unsigned b) {
            out[0] = uint8_t(b), out[1] = uint8_t(g), out[2] = uint8_t(r);
        });
        return 3 * size_t(w);
    case BitmapMode::C32:
    case BitmapMode::C32A:
        flatRow<O, 4>(row, src, w, [](uint8_t* out, unsigned r, unsigned g, unsigned b) {
            out[0] = uint8_t(b), out[1] = uint8_t(g), out[2] = uint8_t(r), out[3] = 0;
        });
        if (alpha) {
            for (size_t x = 0; x < w; ++x)
                row[4 * x + 3] = alpha[x];
        }
        return 4 * size_t(w);
    }
    return 0;
}

template <class O>
ZEMBREL_INLINE void encodeRowsIn(BitmapMode mode, const uint8_t* src, std::ptrdiff_t srcPitch,
                                 uint32_t w, uint32_t count, uint8_t* dst, const C8Table* c8,
                                 const uint8_t* alpha, std::ptrdiff_t alphaPitch) {
    const size_t stride = size_t(strideFor(traitsOf(mode).bpp, w));
    if (stride == 0) return;
    // Rows are taken in the order they lie in memory: a bottom-up file read top row first
    // would run backwards through it, where the processor's prefetching does not follow.
    const bool backwards = srcPitch < 0;
    for (uint32_t k = 0; k < count; ++k) {
        const uint32_t y = backwards ? count - 1 - k : k;
        uint8_t* row = dst + size_t(y) * stride;
        const size_t used = encodeRow<O>(mode, row, src + std::ptrdiff_t(y) * srcPitch, w, c8,
                                         alpha ? alpha + std::ptrdiff_t(y) * alphaPitch : nullptr);
        std::memset(row + used, 0xFF, stride - used);
    }
}

#ifdef ZEMBREL_AVX2
template <class O>
__attribute__((target("avx2"))) void
encodeRowsAvx2(BitmapMode mode, const uint8_t* src, std::ptrdiff_t srcPitch, uint32_t w,
               uint32_t count, uint8_t* dst, const C8Table* c8, const uint8_t* alpha,
               std::ptrdiff_t alphaPitch) {
    encodeRowsIn<O>(mode, src, srcPitch, w, count, dst, c8, alpha, alphaPitch);
}
#endif

template <class O>
void encodeRowsBest(BitmapMode mode, const uint8_t* src, std::ptrdiff_t srcPitch, uint32_t w,
                    uint32_t count, uint8_t* dst, const C8Table* c8, const uint8_t* alpha,
                    std::ptrdiff_t alphaPitch) {
#ifdef ZEMBREL_AVX2
    if (useAvx2())
        return encodeRowsAvx2<O>(mode, src, srcPitch, w, count, dst, c8, alpha, alphaPitch);
#endif
    encodeRowsIn<O>(mode, src, srcPitch, w, count, dst, c8, alpha, alphaPitch);
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

void encodeRows(BitmapMode mode, const uint8_t* src, std::ptrdiff_t srcPitch, PixelOrder order,
                uint32_t width, uint32_t count, uint8_t* dst, const C8Table* c8,
                const uint8_t* alpha, std::ptrdiff_t alphaPitch) {
    if (mode != BitmapMode::C32A) alpha = nullptr;
    switch (order) {
    case PixelOrder::Rgb:
        encodeRowsBest<RgbOrder>(mode, src, srcPitch, width, count, dst, c8, alpha, alphaPitch);
        return;
    case PixelOrder::Bgr:
        encodeRowsBest<BgrOrder>(mode, src, srcPitch, width, count, dst, c8, alpha, alphaPitch);
        return;
    case PixelOrder::Bgrx:
        encodeRowsBest<BgrxOrder>(mode, src, srcPitch, width, count, dst, c8, alpha, alphaPitch);
        return;
    }
}

std::vector<uint8_t> encodePixels(const BmpImage& image, BitmapMode mode, const C8Table* c8,
                                  const uint8_t* alpha) {
    const uint32_t w = uint32_t(image.width), h = uint32_t(image.height);
    const uint32_t stride = uint32_t(strideFor(traitsOf(mode).bpp, w));
    std::vector<uint8_t> buffer(size_t(stride) * h);
    encodeRows(mode, image.rgb.data(), std::ptrdiff_t(w) * 3, PixelOrder::Rgb, w, h, buffer.data(),
               c8, alpha, std::ptrdiff_t(w));
    return buffer;
}

} // namespace bmconv
