// Listing and splitting every archive of the reference corpus and every real archive must
// give the SDK converter's output: the listing except its version line, the split byte for
// byte.
#include "read_support.h"

#include "mbm_parse.h"
#include "mbm_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace readtest;

namespace {

struct ArchiveCase {
    fs::path archive;
    std::string name() const {
        std::string s = archive.parent_path().filename().string() + "_" + archive.stem().string();
        std::replace_if(
            s.begin(), s.end(), [](char c) { return !std::isalnum(uint8_t(c)); }, '_');
        return s;
    }
};

std::vector<ArchiveCase> allArchiveCases() {
    std::vector<ArchiveCase> cases;
    for (const fs::path& archive : allArchives())
        cases.push_back({archive});
    return cases;
}

class ReferenceArchive : public ::testing::TestWithParam<ArchiveCase> {};

TEST_P(ReferenceArchive, ListingMatchesExceptVersionLine) {
    const fs::path archive = GetParam().archive;
    fs::path expectedPath = archive;
    expectedPath.replace_extension(".v.txt");
    std::ifstream in(expectedPath, std::ios::binary);
    std::string expectedText((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());

    // The reference listings were made in the archive's folder with its bare name.
    const fs::path previous = fs::current_path();
    fs::current_path(archive.parent_path());
    std::ostringstream out;
    const int code = bmconv::listArchive(archive.filename().string(), out);
    fs::current_path(previous);

    EXPECT_EQ(code, 0);
    std::vector<std::string> expected = linesOf(expectedText), actual = linesOf(out.str());
    ASSERT_EQ(actual.size(), expected.size()) << out.str();
    ASSERT_GE(actual.size(), 3u);
    EXPECT_EQ(actual[2], "BMCONV version 119 (MBM Zembrel).");
    for (size_t i = 0; i < actual.size(); ++i) {
        if (i == 2) continue; // the version line
        EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
    }
    EXPECT_EQ(out.str().back(), '\n');
}

size_t bitmapCount(const fs::path& archive) {
    const Bytes bytes = readFile(archive);
    bmconv::MemorySource source(bytes.data(), bytes.size());
    bmconv::ArchiveReader reader(source);
    return reader.open().ok() ? reader.count() : 0;
}

// Only archives with reference splits beside them take part here.
class ReferenceSplit : public ::testing::TestWithParam<ArchiveCase> {};

std::vector<ArchiveCase> archivesWithSplits() {
    std::vector<ArchiveCase> cases = allArchiveCases();
    cases.erase(
        std::remove_if(cases.begin(), cases.end(),
                       [](const ArchiveCase& c) { return referenceSplits(c.archive).empty(); }),
        cases.end());
    return cases;
}

TEST_P(ReferenceSplit, MatchesByteForByte) {
    const fs::path archive = GetParam().archive;
    const std::vector<fs::path> splits = referenceSplits(archive);
    ASSERT_FALSE(splits.empty());
    TempDir dir;
    std::vector<std::string> outputs;
    for (size_t k = 0; k < splits.size(); ++k)
        outputs.push_back(dir.file("out" + std::to_string(k) + ".bmp"));
    std::ostringstream out;
    ASSERT_EQ(bmconv::splitArchive(archive.string(), outputs, out), 0) << out.str();
    for (size_t k = 0; k < splits.size(); ++k)
        EXPECT_TRUE(readFile(outputs[k]) == readFile(splits[k])) << splits[k];
    // Nothing but the named outputs is left behind (no temporary files).
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator())),
              splits.size());
}

TEST_P(ReferenceArchive, SplitsEveryBitmapIntoABmpOfItsSize) {
    const fs::path archive = GetParam().archive;
    const size_t count = bitmapCount(archive);
    ASSERT_GT(count, 0u);
    TempDir dir;
    std::vector<std::string> outputs;
    for (size_t k = 0; k < count; ++k)
        outputs.push_back(dir.file(std::to_string(k) + ".bmp"));
    std::ostringstream out;
    ASSERT_EQ(bmconv::splitArchive(archive.string(), outputs, out), 0) << out.str();
    for (const std::string& output : outputs) {
        const Bytes bmp = readFile(output);
        ASSERT_GE(bmp.size(), 54u);
        const uint32_t width = bmp[18] | bmp[19] << 8 | bmp[20] << 16 | uint32_t(bmp[21]) << 24;
        const uint32_t height = bmp[22] | bmp[23] << 8 | bmp[24] << 16 | uint32_t(bmp[25]) << 24;
        EXPECT_EQ(bmp.size(), 54 + height * ((3 * width + 3) / 4 * 4)) << output;
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, ReferenceArchive, ::testing::ValuesIn(allArchiveCases()),
                         [](const auto& info) { return info.param.name(); });
INSTANTIATE_TEST_SUITE_P(Corpus, ReferenceSplit, ::testing::ValuesIn(archivesWithSplits()),
                         [](const auto& info) { return info.param.name(); });

// Archives of the real set that hold the same picture in different stores or compressions
// must split to the same file.
TEST(RealArchives, SamePictureSplitsAlike) {
    const std::pair<const char*, const char*> pairs[] = {
        {"rc_ram8", "rc_rom8"},   {"rc_ram12", "rc_rom12"}, {"rc_ram16", "rc_rom16"},
        {"rc_ram24", "rc_rom24"}, {"filecomp", "romcomp"},  {"24bit3col", "32bit3col"},
        {"mono_c24", "mono_c32"}};
    TempDir dir;
    for (const auto& [first, second] : pairs) {
        std::ostringstream out;
        const std::string a = dir.file(std::string(first) + ".bmp");
        const std::string b = dir.file(std::string(second) + ".bmp");
        ASSERT_EQ(bmconv::splitArchive(
                      (kData / "real-mbm" / (std::string(first) + ".mbm")).string(), {a}, out),
                  0);
        ASSERT_EQ(bmconv::splitArchive(
                      (kData / "real-mbm" / (std::string(second) + ".mbm")).string(), {b}, out),
                  0);
        EXPECT_TRUE(readFile(a) == readFile(b)) << first << " and " << second;
    }
}

TEST(ReferenceCorpus, IsComplete) {
    // Guards the parameterised tests against an empty or misplaced corpus.
    EXPECT_GE(archivesIn(kData / "bmconv-reference" / "ref").size(), 160u) << kData;
    EXPECT_GE(archivesIn(kData / "real-mbm").size(), 26u) << kData;
}

} // namespace
