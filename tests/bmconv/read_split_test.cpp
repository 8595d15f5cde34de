// Splitting: output files, alpha masks, the report, and what happens when outputs and
// bitmaps do not match or an output cannot be written.
#include "read_support.h"

#include "mbm_read.h"
#include "temp_file.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace readtest;

namespace {

// The BMP the SDK converter writes for 24-bit rows given top first (`rows` of 3 x width).
Bytes expectedBmp24(uint32_t width, const std::vector<Bytes>& rows) {
    const uint32_t stride = (3 * width + 3) / 4 * 4, height = uint32_t(rows.size());
    Bytes out = {'B', 'M'};
    put32(out, 54 + stride * height);
    put32(out, 0);
    put32(out, 54);
    for (uint32_t v : {40u, width, height})
        put32(out, v);
    out.insert(out.end(), {1, 0, 24, 0});
    for (int i = 0; i < 6; ++i)
        put32(out, 0);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        out.insert(out.end(), row->begin(), row->end());
        out.resize(out.size() + stride - row->size(), 0xFF);
    }
    return out;
}

std::string split(const fs::path& archive, const std::vector<std::string>& outputs, int& code) {
    std::ostringstream out;
    code = bmconv::splitArchive(archive.string(), outputs, out);
    return out.str();
}

TEST(Split, AlphaBitmapAlsoWritesAnAlphaMask) {
    // Two c32a pixels: blue with alpha 0x80, then red with alpha 0x10; stored with scheme 6.
    StoredBitmap b{2, 1, 32, 2, 6, {0xFE, 0xFF, 0x00, 0x00, 0x80, 0x00, 0x00, 0xFF, 0x10}};
    TempDir dir;
    writeFile(dir.path() / "a.mbm", fileStore({b}));
    int code = -1;
    split(dir.path() / "a.mbm", {dir.file("pic.v2.bmp")}, code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(readFile(dir.path() / "pic.v2.bmp"), expectedBmp24(2, {{0xFF, 0, 0, 0, 0, 0xFF}}));

    Bytes mask = {'B', 'M'};
    put32(mask, 1078 + 4);
    put32(mask, 0);
    put32(mask, 1078);
    for (uint32_t v : {40u, 2u, 1u})
        put32(mask, v);
    mask.insert(mask.end(), {1, 0, 8, 0});
    // Image size, no resolution, all 256 palette entries used, none singled out as important.
    for (uint32_t v : {0u, 4u, 0u, 0u, 256u, 0u})
        put32(mask, v);
    for (int i = 0; i < 256; ++i)
        mask.insert(mask.end(), {uint8_t(i), uint8_t(i), uint8_t(i), 0});
    mask.insert(mask.end(), {0x80, 0x10, 0x00, 0x00});
    EXPECT_EQ(readFile(dir.path() / "pic.v2-alpha.bmp"), mask);
}

TEST(Split, MaskNamesFollowTheOutputName) {
    StoredBitmap b{1, 1, 32, 2, 0, {0, 0, 0, 0x80}};
    const std::pair<const char*, const char*> cases[] = {
        {"pic.bmp", "pic-alpha.bmp"}, {"noext", "noext-alpha.bmp"}, {"a.b/c", "a.b/c-alpha.bmp"}};
    for (const auto& [output, mask] : cases) {
        TempDir dir;
        fs::create_directory(dir.path() / "a.b");
        writeFile(dir.path() / "a.mbm", fileStore({b}));
        int code = -1;
        split(dir.path() / "a.mbm", {dir.file(output)}, code);
        EXPECT_EQ(code, 0) << output;
        EXPECT_TRUE(fs::exists(dir.path() / mask)) << output;
    }
}

TEST(Split, RomImageSplitsLikeAFileStore) {
    StoredBitmap grey{5, 2, 4, 0, 1, {0x07, 0x3C}}; // 16 bytes of 0x3C (two rows of 8)
    StoredBitmap colour{1, 1, 16, 1, 0, {0x00, 0xF8, 0xFF, 0xFF}};
    TempDir dir;
    writeFile(dir.path() / "f.mbm", fileStore({grey, colour}));
    writeFile(dir.path() / "r.mbm", romImage({grey, colour}, {4, 4}));
    for (const char* name : {"f", "r"}) {
        int code = -1;
        split(dir.path() / (std::string(name) + ".mbm"),
              {dir.file(std::string(name) + "0.bmp"), dir.file(std::string(name) + "1.bmp")}, code);
        EXPECT_EQ(code, 0) << name;
    }
    const Bytes greyRow = {204, 204, 204, 51, 51, 51, 204, 204, 204, 51, 51, 51, 204, 204, 204};
    EXPECT_EQ(readFile(dir.path() / "f0.bmp"), expectedBmp24(5, {greyRow, greyRow}));
    EXPECT_EQ(readFile(dir.path() / "r0.bmp"), readFile(dir.path() / "f0.bmp"));
    EXPECT_EQ(readFile(dir.path() / "r1.bmp"), expectedBmp24(1, {{0, 0, 255}}));
}

TEST(Split, TallPictureCrossesWriteSlices) {
    // 2000 pixels of 24 bits a row: several rows per slice, several slices per picture.
    const uint32_t width = 2000, height = 403;
    std::mt19937 random(7);
    std::vector<Bytes> rows(height, Bytes(3 * width));
    StoredBitmap b{int32_t(width), int32_t(height), 24, 1, 0, {}};
    for (Bytes& row : rows) {
        for (uint8_t& v : row)
            v = uint8_t(random());
        b.data.insert(b.data.end(), row.begin(), row.end()); // stride 6000: no padding
    }
    TempDir dir;
    writeFile(dir.path() / "t.mbm", fileStore({b}));
    int code = -1;
    split(dir.path() / "t.mbm", {dir.file("t.bmp")}, code);
    ASSERT_EQ(code, 0);
    EXPECT_TRUE(readFile(dir.path() / "t.bmp") == expectedBmp24(width, rows));
}

struct OutputCountCase {
    size_t outputs;
    int code;
    size_t written;
};

class OutputCount : public ::testing::TestWithParam<OutputCountCase> {};

TEST_P(OutputCount, WritesWhatTheArchiveHolds) {
    StoredBitmap b{1, 1, 8, 1, 0, {1, 2, 3, 4}};
    TempDir dir;
    writeFile(dir.path() / "x.mbm", fileStore({b, b, b}));
    std::vector<std::string> outputs;
    for (size_t k = 0; k < GetParam().outputs; ++k)
        outputs.push_back(dir.file("o" + std::to_string(k) + ".bmp"));
    int code = -1;
    const std::string report = split(dir.path() / "x.mbm", outputs, code);
    EXPECT_EQ(code, GetParam().code) << report;
    for (size_t k = 0; k < outputs.size(); ++k)
        EXPECT_EQ(fs::exists(outputs[k]), k < GetParam().written) << outputs[k];
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator())),
              1 + GetParam().written); // no temporary files left
}

INSTANTIATE_TEST_SUITE_P(Counts, OutputCount,
                         ::testing::Values(OutputCountCase{1, 0, 1}, OutputCountCase{3, 0, 3},
                                           OutputCountCase{5, 7, 3}));

TEST(Split, ReportNamesArchiveAndOutputs) {
    StoredBitmap b{1, 1, 1, 0, 0, {0, 0, 0, 0}};
    TempDir dir;
    writeFile(dir.path() / "x.mbm", fileStore({b}));
    int code = -1;
    const std::vector<std::string> lines =
        linesOf(split(dir.path() / "x.mbm", {dir.file("one.bmp")}, code));
    EXPECT_EQ(code, 0);
    const std::vector<std::string> expected = {"",
                                               "",
                                               "BMCONV version 119 (MBM Zembrel).",
                                               "Decompiling...",
                                               "Epoc file: " + dir.file("x.mbm"),
                                               "",
                                               "Bitmap file 1\t: " + dir.file("one.bmp"),
                                               "Success."};
    EXPECT_EQ(lines, expected);
}

TEST(Split, ReplacesAnExistingOutput) {
    StoredBitmap b{1, 1, 1, 0, 0, {0, 0, 0, 0}};
    TempDir dir;
    writeFile(dir.path() / "x.mbm", fileStore({b}));
    writeFile(dir.path() / "old.bmp", Bytes(1000, 7));
    int code = -1;
    split(dir.path() / "x.mbm", {dir.file("old.bmp")}, code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(dir.path() / "old.bmp"), expectedBmp24(1, {{0, 0, 0}}));
}

TEST(Split, UnwritableOutputIsCodeFiveAndWritesNothing) {
    StoredBitmap b{1, 1, 1, 0, 0, {0, 0, 0, 0}};
    TempDir dir;
    writeFile(dir.path() / "x.mbm", fileStore({b, b}));
    int code = -1;
    const std::string report =
        split(dir.path() / "x.mbm", {dir.file("ok.bmp"), dir.file("missing/dir/no.bmp")}, code);
    EXPECT_EQ(code, 5);
    EXPECT_NE(report.find("Bad destination file(s)."), std::string::npos);
    EXPECT_NE(report.find("cannot create"), std::string::npos) << report;
    // Outputs appear only once every bitmap was written; no temporary file stays behind.
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator())),
              1u);
}

TEST(Split, DamagedDataInALaterBitmapWritesNothing) {
    StoredBitmap good{1, 1, 8, 0, 0, {1, 2, 3, 4}};
    StoredBitmap damaged{4, 1, 8, 0, 1, {0x02, 0x07}}; // three values for a row of four
    TempDir dir;
    writeFile(dir.path() / "x.mbm", fileStore({good, damaged}));
    int code = -1;
    const std::string report =
        split(dir.path() / "x.mbm", {dir.file("a.bmp"), dir.file("b.bmp")}, code);
    EXPECT_EQ(code, 11);
    EXPECT_NE(report.find("Decompression error."), std::string::npos);
    EXPECT_NE(report.find("bitmap 2: the data ends after 3 of 4 bytes of pixels"),
              std::string::npos)
        << report;
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator())),
              1u);
}

TEST(Split, OutputNamedTwiceHoldsTheLaterBitmap) {
    StoredBitmap black{1, 1, 1, 0, 0, {0, 0, 0, 0}};
    StoredBitmap white{1, 1, 1, 0, 0, {1, 0, 0, 0}};
    TempDir dir;
    writeFile(dir.path() / "x.mbm", fileStore({black, white}));
    int code = -1;
    split(dir.path() / "x.mbm", {dir.file("same.bmp"), dir.file("same.bmp")}, code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(dir.path() / "same.bmp"), expectedBmp24(1, {{255, 255, 255}}));
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator())),
              2u);
}

// A destination that cannot be replaced (here a folder) is reported before anything is
// written: no earlier output is replaced and the folder stays.
TEST(Split, OutputThatIsAFolderIsCodeFiveAndWritesNothing) {
    StoredBitmap b{1, 1, 1, 0, 0, {0, 0, 0, 0}};
    TempDir dir;
    writeFile(dir.path() / "x.mbm", fileStore({b, b}));
    fs::create_directory(dir.path() / "taken.bmp");
    int code = -1;
    const std::string report =
        split(dir.path() / "x.mbm", {dir.file("first.bmp"), dir.file("taken.bmp")}, code);
    EXPECT_EQ(code, 5) << report;
    EXPECT_NE(report.find("taken.bmp is a folder"), std::string::npos) << report;
    EXPECT_TRUE(fs::is_directory(dir.path() / "taken.bmp"));
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator())),
              2u);
}

// A rename that fails leaves the destination as it was (here an empty folder, which a
// remove-and-retry would have deleted).
TEST(TempFile, FailedPublishKeepsTheDestination) {
    TempDir dir;
    const std::string destination = dir.file("taken");
    fs::create_directory(destination);
    bmconv::TempFile file;
    ASSERT_TRUE(file.create(destination));
    ASSERT_TRUE(file.close());
    EXPECT_FALSE(file.publish());
    EXPECT_TRUE(fs::is_directory(destination));
    file.abandon();
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator())),
              1u);
}

} // namespace
