// Damaged archives are refused with the SDK message, a line naming the problem and a
// non-zero exit code; a refused archive is neither listed nor split.
#include "read_support.h"

#include "mbm_decode.h"
#include "mbm_read.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

using namespace readtest;

namespace {

const fs::path kCorrupt = fs::path(ZEMBREL_TESTDATA) / "real-mbm" / "corrupt";

struct Refusal {
    const char* file;
    int code;
    const char* message;
    const char* problem;
};

const Refusal kCorruptFiles[] = {
    {"01_totalstramsize!.mbm", 4, "Bad source file(s).",
     "bitmap 1: bitmap size 4294967295 runs past the end of the file (870 bytes)"},
    {"02_headersize.mbm", 4, "Bad source file(s).", "bitmap 1: header length is -1, expected 40"},
    {"03_width!.mbm", 4, "Bad source file(s).", "bitmap 1: width -1 is not positive"},
    {"04_height!.mbm", 4, "Bad source file(s).", "bitmap 1: height -1 is not positive"},
    {"05_bitsperpixel.mbm", 4, "Bad source file(s).",
     "bitmap 1: -1 bits per pixel is no valid depth"},
    {"bad_bmpsize.mbm", 4, "Bad source file(s).", "for 131328 x 32772 pixels at 8 bpp"},
    {"bad_colormode.mbm", 4, "Bad source file(s).", "bitmap 1: colour mode 4294967295 is unknown"},
    {"bad_compression.mbm", 9, "Unknown source compression type.",
     "bitmap 1: compression 4294967295 is unknown"},
    {"bad_paletteentries.mbm", 4, "Bad source file(s).",
     "bitmap 1: palette entries is 1, expected 0"},
};

class CorruptFile : public ::testing::TestWithParam<Refusal> {};

TEST_P(CorruptFile, ListingIsRefused) {
    const Refusal& r = GetParam();
    std::ostringstream out;
    EXPECT_EQ(bmconv::listArchive((kCorrupt / r.file).string(), out), r.code);
    const std::vector<std::string> lines = linesOf(out.str());
    // Banner, message, problem: too short for a caller to find a depth line in it.
    ASSERT_EQ(lines.size(), 5u) << out.str();
    EXPECT_EQ(lines[3], r.message);
    EXPECT_NE(lines[4].find(r.problem), std::string::npos) << lines[4];
}

TEST_P(CorruptFile, SplitIsRefusedAndWritesNothing) {
    const Refusal& r = GetParam();
    TempDir dir;
    std::ostringstream out;
    EXPECT_EQ(bmconv::splitArchive((kCorrupt / r.file).string(),
                                   {dir.file("a.bmp"), dir.file("b.bmp")}, out),
              r.code);
    EXPECT_NE(out.str().find(r.problem), std::string::npos) << out.str();
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

INSTANTIATE_TEST_SUITE_P(RealCorrupt, CorruptFile, ::testing::ValuesIn(kCorruptFiles),
                         [](const auto& info) {
                             std::string s = info.param.file;
                             for (char& c : s)
                                 if (!std::isalnum(uint8_t(c))) c = '_';
                             return s;
                         });

// 00_grbmap.mbm is the undamaged archive the others were made from (each differs from it
// in one field); it passes every check a phone makes and must stay readable.
TEST(CorruptFolder, UndamagedOriginalIsRead) {
    std::ostringstream out;
    EXPECT_EQ(bmconv::listArchive((kCorrupt / "00_grbmap.mbm").string(), out), 0) << out.str();
    EXPECT_EQ(linesOf(out.str())[8], "8 Bpp Colour");
}

// A small sound archive, then one defect at a time.
const StoredBitmap kGrey{3, 2, 8, 0, 0, Bytes(8, 0x40)};
// Eight pixels (a row of 24 bytes), all alike: one run.
const StoredBitmap kRun{8, 1, 24, 1, 4, {0x07, 0x10, 0x20, 0x30}};

Bytes soundStore() {
    return fileStore({kGrey, kRun});
}

Bytes withSecondData(const Bytes& data) {
    StoredBitmap second = kRun;
    second.data = data;
    return fileStore({kGrey, second});
}

struct Defect {
    const char* name;
    std::function<void(Bytes&)> damage;
    int code;
    const char* problem;
};

constexpr size_t kFirst = 20, kSecond = 20 + 48; // header offsets in soundStore()

const Defect kDefects[] = {
    {"NotAnArchive", [](Bytes& b) { set32(b, 0, 0x12345678); }, 4, "not a multi-bitmap archive"},
    {"TooShort", [](Bytes& b) { b.resize(6); }, 4, "too short"},
    {"SecondUid", [](Bytes& b) { set32(b, 4, 0x10000043); }, 4, "second UID"},
    {"Checksum", [](Bytes& b) { set32(b, 12, 0x47396438); }, 4, "UID checksum"},
    {"TableOutside", [](Bytes& b) { set32(b, 16, 100000); }, 4, "outside the file"},
    {"CountTooLarge", [](Bytes& b) { set32(b, b.size() - 12, 0x40000001); }, 4, "does not fit"},
    {"OffsetOutside", [](Bytes& b) { set32(b, b.size() - 4, 5000); }, 4,
     "bitmap 2: header at offset 5000"},
    {"OffsetIntoUids", [](Bytes& b) { set32(b, b.size() - 8, 4); }, 4,
     "bitmap 1: header at offset 4"},
    {"DepthForGrey", [](Bytes& b) { set32(b, kFirst + 24, 12); }, 4,
     "12 bpp is not valid with colour mode 0"},
    {"DepthForColour", [](Bytes& b) { set32(b, kSecond + 28, 0); }, 4,
     "24 bpp is not valid with colour mode 0"},
    {"SchemeOfOtherDepth", [](Bytes& b) { set32(b, kSecond + 36, 3); }, 4,
     "compression 3 is not valid for 24 bpp"},
    {"SevenIsUnknown", [](Bytes& b) { set32(b, kSecond + 36, 7); }, 9, "compression 7 is unknown"},
    {"RawTooShort", [](Bytes& b) { set32(b, kFirst, 47); }, 4, "7 bytes of data for 3 x 2 pixels"},
    {"SizeBelowHeader", [](Bytes& b) { set32(b, kFirst, 39); }, 4, "smaller than its header"},
    {"RunPastLastPixel", [](Bytes& b) { b[kSecond + 40] = 0x08; }, 11,
     "bitmap 2: the record at byte 0 of the data goes past the last pixel"},
    {"RunTooShort", [](Bytes& b) { b[kSecond + 40] = 0x06; }, 11,
     "bitmap 2: the data ends after 21 of 24 bytes of pixels"},
    {"LiteralPastEnd", [](Bytes& b) { b[kSecond + 40] = 0xFB; }, 11,
     "bitmap 2: the data ends inside the record at byte 0"},
    {"DataLeftOver",
     [](Bytes& b) {
         b = withSecondData({0x07, 1, 2, 3, 0x00});
     },
     11, "bitmap 2: 1 byte of data is left over"},
    {"RunEndsInsideValue",
     [](Bytes& b) {
         b = withSecondData({0x03, 1, 2, 3, 0x03, 1, 2});
     },
     11, "bitmap 2: the data ends inside the record at byte 4"},
    {"TwipsDoNotMatter", [](Bytes& b) { set32(b, kFirst + 16, 0xFFFFFFFF); }, 0, ""},
    // A phone takes any colour mode but grey for 24 bpp.
    {"AlphaModeAt24Bpp", [](Bytes& b) { set32(b, kSecond + 28, 2); }, 0,
     "24 Bpp Colour with alpha channel"},
};

class DamagedStore : public ::testing::TestWithParam<Defect> {};

TEST_P(DamagedStore, IsRefusedWithItsProblem) {
    const Defect& d = GetParam();
    Bytes bytes = soundStore();
    d.damage(bytes);
    TempDir dir;
    writeFile(dir.path() / "x.mbm", bytes);
    std::ostringstream out;
    EXPECT_EQ(bmconv::listArchive(dir.file("x.mbm"), out), d.code) << out.str();
    EXPECT_NE(out.str().find(d.problem), std::string::npos) << out.str();
}

INSTANTIATE_TEST_SUITE_P(Defects, DamagedStore, ::testing::ValuesIn(kDefects),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DamagedStore, EveryTruncationIsRefused) {
    const Bytes whole = soundStore();
    for (size_t length = 0; length < whole.size(); ++length) {
        bmconv::MemorySource source(whole.data(), length);
        bmconv::ArchiveReader reader(source);
        bmconv::ReadStatus status = reader.open();
        if (status.ok()) status = bmconv::checkArchive(reader, reader.count());
        EXPECT_NE(status.code, 0) << "prefix of " << length << " bytes";
    }
}

// Each bitmap's header lies inside the data of the one before, and all their data runs to
// the same end: listing must refuse it rather than decode the same bytes again and again.
TEST(DamagedStore, OverlappingBitmapsAreRefused) {
    const uint32_t count = 3, pixels = 400;
    Bytes out;
    for (uint32_t v : {0x10000037u, 0x10000042u, 0u, 0x47396439u, 0u})
        put32(out, v);
    std::vector<uint32_t> offsets;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t dataLength = 40 * (count - 1 - i) + pixels;
        offsets.push_back(uint32_t(out.size()));
        const Bytes h = headerOf({4, int32_t(dataLength / 4), 8, 0, 0, Bytes(dataLength, 0)});
        out.insert(out.end(), h.begin(), h.end());
    }
    out.insert(out.end(), pixels, 0);
    set32(out, 16, uint32_t(out.size()));
    put32(out, count);
    for (uint32_t o : offsets)
        put32(out, o);
    TempDir dir;
    writeFile(dir.path() / "x.mbm", out);
    std::ostringstream listing, splitting;
    EXPECT_EQ(bmconv::listArchive(dir.file("x.mbm"), listing), 4) << listing.str();
    EXPECT_NE(listing.str().find("bitmap 2: its data overlaps"), std::string::npos)
        << listing.str();
    EXPECT_EQ(bmconv::splitArchive(dir.file("x.mbm"), {dir.file("a.bmp")}, splitting), 4);
    EXPECT_FALSE(fs::exists(dir.path() / "a.bmp"));
}

// A bitmap of a few compressed bytes may describe more pixels than a split should ever
// hold in memory: it is listed, but not split.
TEST(DamagedStore, HugeBitmapIsListedButNotSplit) {
    const int32_t width = (1 << 25) + 1; // one pixel more than the limit, in one row
    const uint32_t stride = 4 * ((uint32_t(width) + 31) / 32);
    Bytes data;
    for (uint32_t left = stride; left > 0;) {
        const uint32_t run = std::min<uint32_t>(left, 128);
        data.push_back(uint8_t(run - 1));
        data.push_back(0);
        left -= run;
    }
    TempDir dir;
    writeFile(dir.path() / "x.mbm", fileStore({{width, 1, 1, 0, 1, data}}));
    std::ostringstream listing, splitting;
    EXPECT_EQ(bmconv::listArchive(dir.file("x.mbm"), listing), 0) << listing.str();
    EXPECT_EQ(bmconv::splitArchive(dir.file("x.mbm"), {dir.file("a.bmp")}, splitting), 5);
    EXPECT_NE(splitting.str().find("is too large for a BMP file"), std::string::npos)
        << splitting.str();
    EXPECT_FALSE(fs::exists(dir.path() / "a.bmp"));
}

TEST(DamagedStore, MissingFileIsCodeThree) {
    TempDir dir;
    std::ostringstream out;
    EXPECT_EQ(bmconv::listArchive(dir.file("none.mbm"), out), 3);
    EXPECT_NE(out.str().find("File does not exist"), std::string::npos);
    EXPECT_EQ(bmconv::splitArchive(dir.file("none.mbm"), {dir.file("a.bmp")}, out), 3);
    EXPECT_EQ(bmconv::listArchive(dir.path().string(), out), 4); // a folder
}

} // namespace
