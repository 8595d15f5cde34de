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

TEST(DamagedStore, MissingFileIsCodeThree) {
    TempDir dir;
    std::ostringstream out;
    EXPECT_EQ(bmconv::listArchive(dir.file("none.mbm"), out), 3);
    EXPECT_NE(out.str().find("File does not exist"), std::string::npos);
    EXPECT_EQ(bmconv::splitArchive(dir.file("none.mbm"), {dir.file("a.bmp")}, out), 3);
    EXPECT_EQ(bmconv::listArchive(dir.path().string(), out), 4); // a folder
}

} // namespace
