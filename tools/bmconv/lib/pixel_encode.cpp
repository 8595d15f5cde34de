#include "pixel_encode.h"

#include "simd_dispatch.h"

#ifdef ZEMBREL_AVX2
#include <immintrin.h>
#endif

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
// Shuffles spreading one colour of 8 pixels (24 bytes) to 16-bit lanes, the high bytes
// zero. A shuffle reaches only 16 bytes, so the pixels are loaded twice, from their start
// (bytes 0 to 15) and 8 bytes on (bytes 8 to 23); a lane takes its byte from one of them.
struct ChannelShuffles {
    alignas(32) int8_t fromStart[3][32], fromMiddle[3][32];
    ChannelShuffles(const size_t (&at)[3]) {
        for (int c = 0; c < 3; ++c)
            for (int i = 0; i < 32; ++i) {
                const int k = (i % 16) / 2, byte = int(at[c]) + 3 * k;
                const bool high = i % 2 == 1, first = byte < 16;
                fromStart[c][i] = int8_t(high || !first ? -1 : byte);
                fromMiddle[c][i] = int8_t(high || first ? -1 : byte - 8);
            }
    }
};

#define ZEMBREL_AVX2_INLINE static inline __attribute__((target("avx2"), always_inline))

ZEMBREL_AVX2_INLINE __m256i mask(const int8_t* m) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(m));
}

ZEMBREL_AVX2_INLINE __m256i load2(const uint8_t* lo, const uint8_t* hi) {
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lo))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(hi)), 1);
}

ZEMBREL_AVX2_INLINE __m256i channel(__m256i start, __m256i middle, __m256i fromStart,
                                    __m256i fromMiddle) {
    return _mm256_or_si256(_mm256_shuffle_epi8(start, fromStart),
                           _mm256_shuffle_epi8(middle, fromMiddle));
}

// Pixels of three bytes to 16-bit values, 16 at a time (8 in each 128-bit half), the greys
// moved and the value put together as flatRow does. Returns how many pixels were done;
// reads no byte past those pixels.
template <class O>
__attribute__((target("avx2"))) size_t c16RowAvx2(uint8_t* row, const uint8_t* src, size_t w,
                                                  const ChannelShuffles& t) {
    static_assert(O::step == 3, "three bytes a pixel");
    const __m256i s0 = mask(t.fromStart[0]), s1 = mask(t.fromStart[1]), s2 = mask(t.fromStart[2]);
    const __m256i m0 = mask(t.fromMiddle[0]), m1 = mask(t.fromMiddle[1]),
                  m2 = mask(t.fromMiddle[2]);
    const __m256i redMask = _mm256_set1_epi16(0xF8), greenMask = _mm256_set1_epi16(0xFC);
    const __m256i v128 = _mm256_set1_epi16(128), v192 = _mm256_set1_epi16(192);
    const __m256i one = _mm256_set1_epi16(1), five = _mm256_set1_epi16(5);
    size_t x = 0;
    for (; x + 16 <= w; x += 16) {
        const uint8_t* p = src + 3 * x;
        const __m256i start = load2(p, p + 24), middle = load2(p + 8, p + 32);
        __m256i r = channel(start, middle, s0, m0), g = channel(start, middle, s1, m1),
                b = channel(start, middle, s2, m2);
        const __m256i grey = _mm256_and_si256(_mm256_cmpeq_epi16(r, g), _mm256_cmpeq_epi16(g, b));
        const __m256i shift = _mm256_and_si256(
            grey, _mm256_or_si256(_mm256_and_si256(_mm256_cmpeq_epi16(r, v128), one),
                                  _mm256_and_si256(_mm256_cmpeq_epi16(r, v192), five)));
        r = _mm256_sub_epi16(r, shift);
        g = _mm256_sub_epi16(g, shift);
        b = _mm256_sub_epi16(b, shift);
        const __m256i v =
            _mm256_or_si256(_mm256_or_si256(_mm256_slli_epi16(_mm256_and_si256(r, redMask), 8),
                                            _mm256_slli_epi16(_mm256_and_si256(g, greenMask), 3)),
                            _mm256_srli_epi16(b, 3));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + 2 * x), v);
    }
    return x;
}

template <class O>
__attribute__((target("avx2"))) void
encodeRowsAvx2(BitmapMode mode, const uint8_t* src, std::ptrdiff_t srcPitch, uint32_t w,
               uint32_t count, uint8_t* dst, const C8Table* c8, const uint8_t* alpha,
               std::ptrdiff_t alphaPitch) {
    if constexpr (O::step == 3) {
        if (mode == BitmapMode::C16) {
            static const size_t at[3] = {O::r, O::g, O::b};
            static const ChannelShuffles shuffles(at);
            const size_t stride = size_t(strideFor(16, w));
            for (uint32_t k = 0; k < count; ++k) { // in memory order, as encodeRowsIn
                const uint32_t y = srcPitch < 0 ? count - 1 - k : k;
                uint8_t* row = dst + size_t(y) * stride;
                const uint8_t* from = src + std::ptrdiff_t(y) * srcPitch;
                const size_t done = c16RowAvx2<O>(row, from, w, shuffles);
                encodeRowsIn<O>(mode, from + 3 * done, srcPitch, uint32_t(w - done), 1,
                                row + 2 * done, c8, nullptr, 0);
                std::memset(row + 2 * size_t(w), 0xFF, stride - 2 * size_t(w));
            }
            return;
        }
    }
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
