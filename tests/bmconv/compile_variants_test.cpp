// The pixel loops chosen at run time: the AVX2 and the portable variants give the values a
// worked formula gives, for rows of every length around the 16 pixels a vector step takes.
#include "pixel_encode.h"
#include "small_pieces.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

using bmconv::BitmapMode;
using bmconv::PixelOrder;

// One 16-bit value as the archive stores it: the greys 128 and 192 first moved to 127 and
// 187, then 5 bits of red, 6 of green, 5 of blue.
uint16_t expected565(unsigned r, unsigned g, unsigned b) {
    if (r == g && g == b) r = g = b = r == 128 ? 127 : r == 192 ? 187 : r;
    return uint16_t((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
}

// Random pixels, many of them the two moved greys, other greys, or almost grey.
std::vector<uint8_t> pixels(std::mt19937& random, size_t count) {
    std::vector<uint8_t> rgb(3 * count);
    for (size_t i = 0; i < count; ++i) {
        uint8_t* p = &rgb[3 * i];
        const unsigned kind = random() % 5;
        const uint8_t grey = kind == 0 ? 128 : kind == 1 ? 192 : uint8_t(random());
        p[0] = p[1] = p[2] = grey;
        if (kind == 3) p[random() % 3] ^= 1; // one channel off: not a grey
        if (kind == 4) p[0] = uint8_t(random()), p[1] = uint8_t(random()), p[2] = uint8_t(random());
    }
    return rgb;
}

struct VariantCase {
    const char* name;
    PixelOrder order;
    bool portable;
};

class C16Rows : public ::testing::TestWithParam<VariantCase> {};

TEST_P(C16Rows, MatchTheFormulaForEveryWidth) {
    const VariantCase c = GetParam();
    std::unique_ptr<PortableVariants> portable;
    if (c.portable) portable = std::make_unique<PortableVariants>();
    std::mt19937 random(15);
    for (uint32_t width : {1u, 2u, 15u, 16u, 17u, 31u, 32u, 33u, 47u, 176u}) {
        constexpr uint32_t kRows = 3;
        const std::vector<uint8_t> rgb = pixels(random, size_t(width) * kRows);
        // The source rows in the asked order, bottom-up (negative pitch) as in a BMP file.
        const size_t pitch = 3 * size_t(width) + 5; // padding the loops must not read as pixels
        std::vector<uint8_t> src(pitch * kRows, 0xA5);
        for (uint32_t y = 0; y < kRows; ++y)
            for (uint32_t x = 0; x < width; ++x) {
                const uint8_t* p = &rgb[3 * (size_t(y) * width + x)];
                uint8_t* s = &src[(kRows - 1 - y) * pitch + 3 * x];
                const bool bgr = c.order == PixelOrder::Bgr;
                s[0] = p[bgr ? 2 : 0], s[1] = p[1], s[2] = p[bgr ? 0 : 2];
            }
        const size_t stride = size_t(bmconv::strideFor(16, width));
        std::vector<uint8_t> out(stride * kRows, 0);
        bmconv::encodeRows(BitmapMode::C16, &src[(kRows - 1) * pitch], -std::ptrdiff_t(pitch),
                           c.order, width, kRows, out.data(), nullptr, nullptr, 0);
        for (uint32_t y = 0; y < kRows; ++y) {
            for (uint32_t x = 0; x < width; ++x) {
                const uint8_t* p = &rgb[3 * (size_t(y) * width + x)];
                const uint8_t* v = &out[y * stride + 2 * x];
                ASSERT_EQ(unsigned(v[0] | v[1] << 8), expected565(p[0], p[1], p[2]))
                    << "width " << width << ", row " << y << ", pixel " << x << " ("
                    << unsigned(p[0]) << ", " << unsigned(p[1]) << ", " << unsigned(p[2]) << ")";
            }
            for (size_t k = 2 * size_t(width); k < stride; ++k)
                ASSERT_EQ(out[y * stride + k], 0xFF) << "padding, width " << width;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, C16Rows,
                         ::testing::Values(VariantCase{"BgrAvx2", PixelOrder::Bgr, false},
                                           VariantCase{"BgrPortable", PixelOrder::Bgr, true},
                                           VariantCase{"RgbAvx2", PixelOrder::Rgb, false},
                                           VariantCase{"RgbPortable", PixelOrder::Rgb, true}),
                         [](const ::testing::TestParamInfo<VariantCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
