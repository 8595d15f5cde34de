// Pixel packing, colour mapping and the run-length schemes, against worked examples.
#include "compile_helpers.h"

#include "compile.h"
#include "compress.h"
#include "palette.h"
#include "pixel_encode.h"

namespace compiletest {
namespace {

using bmconv::BitmapMode;

Bytes repeat(size_t n, uint8_t v) {
    return Bytes(n, v);
}
Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct CompressCase {
    const char* what;
    int scheme;
    Bytes raw;
    bool compressed;
    Bytes expected; // only when compressed
};

class Compression : public ::testing::TestWithParam<CompressCase> {};

TEST_P(Compression, EncodesLikeTheSdkConverter) {
    const CompressCase& c = GetParam();
    Bytes out;
    ASSERT_EQ(bmconv::compressPixels(c.scheme, c.raw, out), c.compressed) << c.what;
    if (c.compressed) {
        EXPECT_EQ(out, c.expected) << c.what;
    }
}

const Bytes kSixteen = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 6, 7, 8};
Bytes sixteenBroken() {
    Bytes b = kSixteen;
    b[10] = 5;
    return b;
}
Bytes words(std::initializer_list<uint16_t> ws) {
    Bytes b;
    for (uint16_t w : ws)
        put16(b, w);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Compression,
    ::testing::Values(
        CompressCase{"bytes: run then short run into the tail",
                     1,
                     cat({repeat(59, 0x09), repeat(5, 0x05)}),
                     true,
                     {0x3A, 0x09, 0x02, 0x05, 0xFE, 0x05, 0x05}},
        CompressCase{"bytes: exactly at the limit",
                     1,
                     kSixteen,
                     true,
                     {2, 1, 2, 2, 2, 3, 2, 4, 0xFC, 5, 6, 7, 8}},
        CompressCase{"bytes: one past the limit", 1, sixteenBroken(), false, {}},
        CompressCase{"bytes: four bytes are always raw", 1, {7, 7, 7, 7}, false, {}},
        CompressCase{"bytes: long run in 128 pieces",
                     1,
                     repeat(400, 0x33),
                     true,
                     {0x7F, 0x33, 0x7F, 0x33, 0x7F, 0x33, 0x09, 0x33, 0xFA, 0x33, 0x33, 0x33, 0x33,
                      0x33, 0x33}},
        CompressCase{"12 bit: padding word differs from white",
                     2,
                     {0x00, 0x0F, 0x00, 0x0F, 0x00, 0x0F, 0xFF, 0xFF},
                     true,
                     {0x00, 0x2F, 0xFF, 0x0F}},
        CompressCase{"12 bit: two equal words",
                     2,
                     cat({words({0x0ABC}), words({0x0ABC})}),
                     true,
                     {0xBC, 0x1A}},
        CompressCase{
            "16 bit: run, literal, lone last word",
            3,
            cat({words({0xF800, 0xF800, 0xF800, 0xF800, 0xF800, 0xF800}),
                 words({0x07E0, 0x001F, 0xFFFF, 0x0000})}),
            true,
            {0x05, 0x00, 0xF8, 0xFD, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        CompressCase{"16 bit: nothing repeats, too long", 3, words({1, 2, 3, 4}), false, {}},
        CompressCase{
            "24 bit: literal takes the last pixel",
            4,
            {0,   0, 255, 0,   0,   255, 0, 0, 255, 0, 255, 0,
             255, 0, 0,   255, 255, 255, 0, 0, 0,   3, 2,   1},
            true,
            {0x02, 0, 0, 255, 0xFB, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 0, 3, 2, 1}},
        CompressCase{"24 bit: one-pixel literals around padding",
                     4,
                     cat({{0, 0, 255}, repeat(9, 0xFF), {0, 255, 0}, repeat(9, 0xFF)}),
                     true,
                     {0xFF, 0, 0, 255, 0x02, 255, 255, 255, 0xFF, 0, 255, 0, 0x02, 255, 255, 255}},
        CompressCase{"32 bit: fourth byte dropped",
                     5,
                     {0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0},
                     true,
                     {0x02, 0, 0, 255, 0xFE, 0, 255, 0, 255, 0, 0}},
        CompressCase{"32 bit: single pixel is raw", 5, {1, 2, 3, 0}, false, {}},
        CompressCase{"32 bit alpha: alpha splits runs",
                     6,
                     {0, 0, 255, 0x80, 0, 0, 255, 0x80, 0, 0, 255, 0x40},
                     true,
                     {0x01, 0, 0, 255, 0x80, 0xFF, 0, 0, 255, 0x40}},
        CompressCase{"empty buffer", 4, {}, true, {}}));

TEST(Compression12, LongRunsSplitInSixteens) {
    Bytes raw;
    for (int i = 0; i < 40; ++i)
        put16(raw, 0x0ABC);
    Bytes out;
    ASSERT_TRUE(bmconv::compressPixels(2, raw, out));
    EXPECT_EQ(out, (Bytes{0xBC, 0xFA, 0xBC, 0xFA, 0xBC, 0x7A}));
}

TEST(Compression, LiteralsLongerThan128ArePieced) {
    Bytes raw;
    for (int i = 0; i < 300; ++i)
        put16(raw, uint16_t(i));
    for (int i = 0; i < 100; ++i)
        put16(raw, 7);
    Bytes out;
    ASSERT_TRUE(bmconv::compressPixels(3, raw, out));
    ASSERT_EQ(out.size(), 3 + 600u + 3);
    EXPECT_EQ(out[0], 0x80);
    EXPECT_EQ(out[1 + 256], 0x80);
    EXPECT_EQ(out[2 + 512], 256 - 44);
    EXPECT_EQ(out[3 + 600], 99);
}

struct PixelCase {
    const char* what;
    BitmapMode mode;
    int32_t width;
    Bytes rgb;      // one row
    Bytes expected; // the encoded row, padding included
};

class PixelPacking : public ::testing::TestWithParam<PixelCase> {};

TEST_P(PixelPacking, MatchesTheArchiveLayout) {
    const PixelCase& c = GetParam();
    bmconv::BmpImage image;
    image.width = c.width;
    image.height = 1;
    image.rgb = c.rgb;
    EXPECT_EQ(bmconv::encodePixels(image, c.mode, nullptr, nullptr), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PixelPacking,
    ::testing::Values(
        // Y = (2R + 5G + B) / 8: white 255, (0,255,0) 159, (0,0,255) 31, grey 128 -> 127.
        PixelCase{"1 bpp, low bit first",
                  BitmapMode::Grey1,
                  3,
                  {255, 255, 255, 0, 0, 0, 0, 255, 0},
                  {0xFD, 0xFF, 0xFF, 0xFF}},
        PixelCase{"2 bpp",
                  BitmapMode::Grey2,
                  3,
                  {255, 255, 255, 0, 255, 0, 0, 0, 255},
                  {0xCB, 0xFF, 0xFF, 0xFF}},
        PixelCase{"4 bpp grey, remapped 128 grey",
                  BitmapMode::Grey4,
                  3,
                  {128, 128, 128, 0, 255, 0, 255, 255, 255},
                  {0x97, 0xFF, 0xFF, 0xFF}},
        PixelCase{"8 bpp grey, remapped 192 grey",
                  BitmapMode::Grey8,
                  2,
                  {192, 192, 192, 0, 0, 255},
                  {187, 31, 0xFF, 0xFF}},
        PixelCase{"16 colours",
                  BitmapMode::C4,
                  3,
                  {255, 0, 0, 0, 0, 128, 250, 250, 250},
                  {0xC5, 0xFF, 0xFF, 0xFF}},
        PixelCase{"256 colours",
                  BitmapMode::C8,
                  3,
                  {255, 255, 255, 0x11, 0x11, 0x11, 0, 0, 0xEE},
                  {255, 108, 132, 0xFF}},
        PixelCase{"12 bpp", BitmapMode::C12, 1, {0x12, 0x34, 0x56}, {0x35, 0x01, 0xFF, 0xFF}},
        PixelCase{"16 bpp", BitmapMode::C16, 1, {255, 0, 0}, {0x00, 0xF8, 0xFF, 0xFF}},
        PixelCase{"24 bpp, rows of four pixels",
                  BitmapMode::C24,
                  1,
                  {1, 2, 3},
                  {3, 2, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        PixelCase{"32 bpp, alpha byte 0", BitmapMode::C32, 1, {1, 2, 3}, {3, 2, 1, 0}}));

TEST(PixelPacking, AlphaComesFromItsOwnPlane) {
    bmconv::BmpImage image;
    image.width = 2;
    image.height = 1;
    image.rgb = {1, 2, 3, 4, 5, 6};
    const uint8_t alpha[2] = {0x80, 0x40};
    EXPECT_EQ(bmconv::encodePixels(image, BitmapMode::C32A, nullptr, alpha),
              (Bytes{3, 2, 1, 0x80, 6, 5, 4, 0x40}));
}

TEST(Strides, FollowTheArchiveRules) {
    const int bpps[] = {1, 2, 4, 8, 12, 16, 24, 32};
    const uint32_t forWidth1[] = {4, 4, 4, 4, 4, 4, 12, 4};
    const uint32_t forWidth33[] = {8, 12, 20, 36, 68, 68, 108, 132};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(bmconv::strideFor(bpps[i], 1), forWidth1[i]) << bpps[i];
        EXPECT_EQ(bmconv::strideFor(bpps[i], 33), forWidth33[i]) << bpps[i];
    }
}

TEST(Palettes, MatchTheFixedPhonePalettes) {
    const auto& p16 = bmconv::palette16();
    EXPECT_EQ(p16[1], (bmconv::Rgb{85, 85, 85}));
    EXPECT_EQ(p16[14], (bmconv::Rgb{170, 170, 170}));
    const auto& p = bmconv::palette256();
    EXPECT_EQ(p[0], (bmconv::Rgb{0, 0, 0}));
    EXPECT_EQ(p[107], (bmconv::Rgb{255, 255, 102})); // cube entry 107
    EXPECT_EQ(p[148], (bmconv::Rgb{0, 0, 153}));     // cube entry 108
    EXPECT_EQ(p[255], (bmconv::Rgb{255, 255, 255}));
    EXPECT_EQ(p[110], (bmconv::Rgb{0x44, 0x44, 0x44}));
    EXPECT_EQ(p[114], (bmconv::Rgb{0x22, 0, 0}));
    EXPECT_EQ(p[122], (bmconv::Rgb{0, 0x77, 0}));
    EXPECT_EQ(p[123], (bmconv::Rgb{0, 0, 0x11}));
    EXPECT_EQ(p[129], (bmconv::Rgb{0, 0, 0xAA}));
    EXPECT_EQ(p[137], (bmconv::Rgb{0, 0xEE, 0}));
    EXPECT_EQ(p[140], (bmconv::Rgb{0xBB, 0, 0}));
    EXPECT_EQ(p[147], (bmconv::Rgb{0xEE, 0xEE, 0xEE}));
}

TEST(ColourTables, C8TiesGoToTheLowestIndex) {
    // (0,17,17) is 17 away from the grey, green and blue 0x11 entries (108, 118, 123);
    // (0,34,68) is 34 away from cube entry 42 and from blue 0x44 (125).
    const bmconv::C8Table& t = bmconv::standardC8Table();
    EXPECT_EQ(t[0x011], 108);
    EXPECT_EQ(t[0x024], 42);
    EXPECT_EQ(t[0x100], 113); // (17,0,0) is red 0x11 itself
    std::array<bmconv::Rgb, 256> flat;
    flat.fill(bmconv::Rgb{9, 9, 9});
    const bmconv::C8Table custom = bmconv::makeC8Table(flat);
    EXPECT_EQ(custom[0xFFF], 0);
}

TEST(PaletteFile, ReadsTenCharacterEntries) {
    std::string text = "// my palette\n";
    for (int i = 0; i < 256; ++i) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "0X00%02X%02X%02X,\r\n", i, 255 - i, i / 2);
        text += entry;
    }
    std::array<bmconv::Rgb, 256> p;
    ASSERT_TRUE(bmconv::parsePaletteText(text, p));
    EXPECT_EQ(p[3], (bmconv::Rgb{1, 252, 3}));
    text.replace(text.find("0X0001"), 10, "0x00zz00zz");
    ASSERT_TRUE(bmconv::parsePaletteText(text, p));
    EXPECT_EQ(p[1], (bmconv::Rgb{0, 0, 0}));
    EXPECT_FALSE(bmconv::parsePaletteText(text.substr(0, text.size() / 2), p));
}

TEST(Twips, UseThirtyTwoBitArithmetic) {
    EXPECT_EQ(bmconv::twipsFor(100, 2835), 199);
    EXPECT_EQ(bmconv::twipsFor(33, 2835), 65);
    EXPECT_EQ(bmconv::twipsFor(100, 0), 0);
    EXPECT_EQ(bmconv::twipsFor(100, -5), 0);
    // 2000 * 1440000 wraps to -1414967296 in 32 bits.
    EXPECT_EQ(bmconv::twipsFor(2000, 2835), -1414967296 / 254 / 2835);
}

} // namespace
} // namespace compiletest
