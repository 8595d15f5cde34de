// BMP input: every variant the converter reads, checked pixel by pixel, and the files it
// must refuse.
#include "compile_helpers.h"

#include "bmp_read.h"
#include "cli.h"
#include "messages.h"

#include <sstream>

namespace compiletest {
namespace {

using Rgb3 = std::array<uint8_t, 3>;

// The test picture, 3 x 2, top row first.
const Rgb3 kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255},
    kBlack{0, 0, 0}, kOdd{10, 20, 30};

Bytes flatten(std::initializer_list<Rgb3> pixels) {
    Bytes out;
    for (const Rgb3& p : pixels)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
const Bytes kPicture = flatten({kRed, kGreen, kBlue, kWhite, kBlack, kOdd});

BmpLayout base(uint16_t bpp, int32_t height = 2) {
    BmpLayout s;
    s.width = 3;
    s.height = height;
    s.bpp = bpp;
    return s;
}

// Palette variants: entries red, green, blue, white, black, odd (index = position).
BmpLayout paletted(uint16_t bpp, uint32_t clrUsed) {
    BmpLayout s = base(bpp);
    s.palette = {kRed, kGreen, kBlue, kWhite, kBlack, kOdd};
    if (bpp == 2) s.palette.resize(4);
    s.clrUsed = clrUsed;
    while (clrUsed == 0 && s.palette.size() < (1u << bpp))
        s.palette.push_back({9, 9, 9});
    return s;
}

struct Variant {
    const char* name;
    BmpLayout layout;
    Bytes expected; // R, G, B per pixel, top row first
};

std::vector<Variant> variants() {
    std::vector<Variant> v;
    {
        BmpLayout s = base(32); // B, G, R and an ignored fourth byte, bottom row first
        s.pixels = {255, 255, 255, 7, 0, 0,   0, 7, 30,  20, 10, 7,
                    0,   0,   255, 7, 0, 255, 0, 7, 255, 0,  0,  7};
        v.push_back({"32 bit", s, kPicture});
    }
    {
        BmpLayout s = base(32, -2); // version 5 header, masks X R G B in unusual places
        s.headerSize = 124;
        s.compression = 3;
        s.masks = {0x0000FF00, 0x00FF0000, 0xFF000000};
        s.pixels = {0, 255, 0,   0,   0, 0, 255, 0, 0, 0,  0,  255,
                    0, 255, 255, 255, 0, 0, 0,   0, 0, 10, 20, 30};
        v.push_back({"32 bit fields, v5 header, top-down", s, kPicture});
    }
    {
        BmpLayout s = base(24, -2);
        s.pixels = {0,   0,   255, 0, 255, 0, 255, 0,  0,  0, 0, 0,
                    255, 255, 255, 0, 0,   0, 30,  20, 10, 0, 0, 0};
        v.push_back({"24 bit top-down", s, kPicture});
    }
    {
        BmpLayout s = base(16); // 5-5-5: white, black, (1,2,3) / red, green, (16,30,0)
        s.pixels = {0xFF, 0x7F, 0x00, 0x00, 0x43, 0x04, 0x00, 0x00,
                    0x00, 0x7C, 0xE0, 0x03, 0xC0, 0x43, 0x00, 0x00};
        v.push_back({"16 bit 5-5-5", s,
                     flatten({kRed, kGreen, {132, 247, 0}, kWhite, kBlack, {8, 16, 24}})});
    }
    {
        BmpLayout s = base(16); // 5-6-5 masks after a 40-byte header
        s.compression = 3;
        s.masks = {0xF800, 0x07E0, 0x001F};
        s.pixels = {0xFF, 0xFF, 0x00, 0x00, 0x1F, 0x04, 0x00, 0x00,
                    0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x00, 0x00};
        v.push_back({"16 bit 5-6-5 bit fields", s,
                     flatten({kRed, kGreen, kBlue, kWhite, kBlack, {0, 130, 255}})});
    }
    {
        BmpLayout s = base(16, -2); // version 4 header, top-down
        s.headerSize = 108;
        s.compression = 3;
        s.masks = {0xF800, 0x07E0, 0x001F};
        s.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x00, 0x00,
                    0xFF, 0xFF, 0x00, 0x00, 0x1F, 0x04, 0x00, 0x00};
        v.push_back({"16 bit v4 header top-down", s,
                     flatten({kRed, kGreen, kBlue, kWhite, kBlack, {0, 130, 255}})});
    }
    {
        BmpLayout s = paletted(8, 6);
        s.pixels = {3, 4, 5, 0, 0, 1, 2, 0};
        v.push_back({"8 bit, six colours", s, kPicture});
    }
    {
        BmpLayout s = paletted(4, 0);
        s.pixels = {0x34, 0x50, 0, 0, 0x01, 0x20, 0, 0};
        v.push_back({"4 bit", s, kPicture});
    }
    {
        BmpLayout s = paletted(2, 0); // red, green, blue, white; first pixel in the top bits
        s.pixels = {0xC8, 0, 0, 0, 0x18, 0, 0, 0};
        v.push_back({"2 bit", s, flatten({kRed, kGreen, kBlue, kWhite, kRed, kBlue})});
    }
    {
        BmpLayout s = paletted(1, 2); // red, green
        s.pixels = {0x40, 0, 0, 0, 0xA0, 0, 0, 0};
        v.push_back({"1 bit", s, flatten({kGreen, kRed, kGreen, kRed, kGreen, kRed})});
    }
    {
        BmpLayout s = paletted(8, 6);
        s.compression = 1; // bottom row absolute, then runs of one, end of bitmap
        s.pixels = {0, 3, 3, 4, 5, 0, 0, 0, 1, 0, 1, 1, 1, 2, 0, 1};
        v.push_back({"RLE8", s, kPicture});
    }
    {
        BmpLayout s = paletted(8, 6);
        s.compression = 1; // a delta skips the bottom row; skipped pixels take index 0
        s.pixels = {0, 2, 1, 1, 2, 5, 0, 1};
        v.push_back({"RLE8 with delta", s, flatten({kRed, kOdd, kOdd, kRed, kRed, kRed})});
    }
    {
        BmpLayout s = paletted(4, 0);
        s.compression = 2; // bottom row: run of 3 alternating 3,4; top row absolute 0,1,2
        s.pixels = {3, 0x34, 0, 0, 0, 3, 0x01, 0x20, 0, 1};
        v.push_back({"RLE4", s, flatten({kRed, kGreen, kBlue, kWhite, kBlack, kWhite})});
    }
    {
        BmpLayout s = paletted(8, 0);
        s.headerSize = 12; // core header, 3-byte palette entries
        s.pixels = {3, 4, 5, 0, 0, 1, 2, 0};
        v.push_back({"8 bit core header", s, kPicture});
    }
    return v;
}

class BmpVariant : public ::testing::TestWithParam<Variant> {};

TEST_P(BmpVariant, DecodesToTheExpectedPixels) {
    const Variant& v = GetParam();
    const Bytes file = makeBmp(v.layout);
    const bmconv::BmpDecodeResult r = bmconv::decodeBmp(file.data(), file.size());
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.image.width, 3);
    EXPECT_EQ(r.image.height, 2);
    EXPECT_EQ(r.image.rgb, v.expected);
}

TEST_P(BmpVariant, CompilesLikeTheSameTwentyFourBitPicture) {
    const Variant& v = GetParam();
    TempDir dir;
    writeFile(dir / "variant.bmp", makeBmp(v.layout));
    // Core headers carry no resolution, so their archives hold no twips.
    writeFile(dir / "plain.bmp", make24(3, 2, v.expected, v.layout.headerSize == 12 ? 0 : 2835));
    for (const char* sw : {"/c24", "/c8", "/4"}) {
        std::ostringstream out;
        ASSERT_EQ(bmconv::runCommandLine({dir.str("a.mbm"), sw + dir.str("variant.bmp")}, out), 0)
            << out.str();
        ASSERT_EQ(bmconv::runCommandLine({dir.str("b.mbm"), sw + dir.str("plain.bmp")}, out), 0);
        EXPECT_EQ(readFile(dir / "a.mbm"), readFile(dir / "b.mbm")) << sw;
    }
}

TEST_P(BmpVariant, SurvivesEveryTruncationAndByteFlip) {
    const Bytes file = makeBmp(GetParam().layout);
    for (size_t n = 0; n < file.size(); ++n) {
        const bmconv::BmpDecodeResult r = bmconv::decodeBmp(file.data(), n);
        if (r.ok) {
            EXPECT_EQ(r.image.rgb.size(), size_t(r.image.width) * r.image.height * 3);
        }
    }
    uint32_t seed = 12345;
    for (int round = 0; round < 2000; ++round) {
        Bytes damaged = file;
        for (int k = 0; k < 3; ++k) {
            seed = seed * 1103515245u + 12345u;
            damaged[(seed >> 8) % damaged.size()] ^= uint8_t(seed >> 24);
        }
        const bmconv::BmpDecodeResult r = bmconv::decodeBmp(damaged.data(), damaged.size());
        if (r.ok) {
            EXPECT_EQ(r.image.rgb.size(), size_t(r.image.width) * r.image.height * 3);
        } else {
            EXPECT_FALSE(r.message.empty());
        }
    }
}

std::string variantName(const ::testing::TestParamInfo<Variant>& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Variants, BmpVariant, ::testing::ValuesIn(variants()), variantName);

struct Refusal {
    const char* name;
    Bytes file;
    int code;
};

Bytes withField(Bytes file, size_t at, uint32_t value, int size = 4) {
    for (int i = 0; i < size; ++i)
        file[at + i] = uint8_t(value >> (8 * i));
    return file;
}

std::vector<Refusal> refusals() {
    const Bytes good = make24(3, 2, kPicture);
    BmpLayout rleTopDown = paletted(8, 6);
    rleTopDown.compression = 1;
    rleTopDown.height = -2;
    rleTopDown.pixels = {0, 1};
    const Bytes paletteFile = makeBmp(paletted(8, 0));
    return {
        {"not a BMP", withField(good, 0, 'X', 1), bmconv::kBadSourceFile},
        {"unknown header size", withField(good, 14, 20), bmconv::kBadSourceFile},
        {"3 bits per pixel", withField(good, 28, 3, 2), bmconv::kBadSourceFile},
        {"JPEG inside", withField(good, 30, 4), bmconv::kUnknownCompression},
        {"RLE8 at 24 bits", withField(good, 30, 1), bmconv::kBadSourceFile},
        {"RLE top-down", makeBmp(rleTopDown), bmconv::kBadSourceFile},
        {"pixels cut short", Bytes(good.begin(), good.end() - 4), bmconv::kBadSourceFile},
        {"huge width", withField(good, 18, 70000), bmconv::kBadSourceFile},
        {"negative width", withField(good, 18, uint32_t(-3)), bmconv::kBadSourceFile},
        {"too many pixels", withField(withField(good, 18, 60000), 22, 60000),
         bmconv::kBadSourceFile},
        {"pixel offset past the end", withField(good, 10, 100000), bmconv::kBadSourceFile},
        {"palette cut short", Bytes(paletteFile.begin(), paletteFile.begin() + 300),
         bmconv::kBadSourceFile},
    };
}

TEST(BmpRefusals, NameTheProblem) {
    for (const Refusal& r : refusals()) {
        const bmconv::BmpDecodeResult result = bmconv::decodeBmp(r.file.data(), r.file.size());
        EXPECT_FALSE(result.ok) << r.name;
        EXPECT_EQ(result.errorCode, r.code) << r.name;
        EXPECT_FALSE(result.message.empty()) << r.name;
    }
}

// A compile reads its pictures from the file row by row, not through decodeBmp: it must
// refuse the same files with the same codes.
TEST(BmpRefusals, CompileRefusesWithTheSameCode) {
    TempDir dir;
    for (const Refusal& r : refusals()) {
        writeFile(dir / "refused.bmp", r.file);
        std::ostringstream out;
        EXPECT_EQ(bmconv::runCommandLine({dir.str("x.mbm"), "/c24" + dir.str("refused.bmp")}, out),
                  r.code)
            << r.name << "\n"
            << out.str();
        EXPECT_FALSE(fs::exists(dir / "x.mbm")) << r.name;
    }
}

TEST(BmpRefusals, MissingFileIsReportedAsSuch) {
    const bmconv::BmpDecodeResult r = bmconv::loadBmpFile("/nonexistent/picture.bmp");
    EXPECT_EQ(r.errorCode, bmconv::kFileDoesNotExist);
}

} // namespace
} // namespace compiletest
