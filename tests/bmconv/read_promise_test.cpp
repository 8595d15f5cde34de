// What a listing calls sound can be split, and what it refuses is not split either. The
// listing checks the records of every compressed bitmap by their control bytes alone (the
// quick walk) instead of decoding them; this holds it to the split, which decodes every
// record. Archives of every compression, one byte damaged at a time.
#include "read_support.h"

#include "mbm_parse.h"
#include "mbm_read.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace readtest;

namespace {

// Bitmaps the damaged archive says it holds, so the split is asked for all of them.
size_t bitmapCount(const Bytes& bytes) {
    bmconv::MemorySource source(bytes.data(), bytes.size());
    bmconv::ArchiveReader reader(source);
    return reader.open().ok() ? std::min<size_t>(reader.count(), 4096) : 1;
}

struct PromiseCase {
    const char* name;
    const char* archive; // under the test data
};

const PromiseCase kPromiseCases[] = {
    {"BytewiseAndRaw", "real-mbm/tfbs.mbm"},
    {"SixteenBit", "real-mbm/16bit3col.mbm"},
    {"TwentyFourBit", "real-mbm/24bit3col.mbm"},
    {"ThirtyTwoBit", "real-mbm/32bit3col.mbm"},
    {"TwelveBit", "real-mbm/filecomp.mbm"},
    {"TwelveBitRom", "real-mbm/romcomp.mbm"},
    {"Raw", "real-mbm/rc_ram8.mbm"},
    {"TwentyFourBitAndBytewise", "bmconv-reference/ref/multi00.mbm"},
    {"CompressedRom", "bmconv-reference/ref/multi00s.mbm"},
    {"TwelveAndThirtyTwoBit", "bmconv-reference/ref/multi02.mbm"},
    {"BytewiseAndThirtyTwoBit", "bmconv-reference/ref/multi05.mbm"},
};

class ListingPromise : public ::testing::TestWithParam<PromiseCase> {};

TEST_P(ListingPromise, ListedAsSoundSplitsAndRefusedDoesNot) {
    const Bytes original = readFile(kData / GetParam().archive);
    ASSERT_GT(original.size(), 40u);
    std::mt19937 random(uint32_t(original.size()));
    TempDir dir;
    const fs::path out = dir.path() / "out";
    int listed = 0, refused = 0;
    for (int trial = 0; trial < 60; ++trial) {
        Bytes bytes = original;
        // Past the file header: the bitmap headers, their data and the offset table.
        const size_t at = 20 + random() % (bytes.size() - 20);
        bytes[at] = trial % 2 ? uint8_t(random()) : uint8_t(bytes[at] ^ (1u << (trial / 2 % 8)));
        writeFile(dir.path() / "x.mbm", bytes);
        fs::create_directory(out);
        std::vector<std::string> outputs;
        for (size_t k = 0; k < bitmapCount(bytes); ++k)
            outputs.push_back((out / (std::to_string(k) + ".bmp")).string());

        std::ostringstream listing, splitting;
        const int listCode = bmconv::listArchive(dir.file("x.mbm"), listing);
        const int splitCode = bmconv::splitArchive(dir.file("x.mbm"), outputs, splitting);
        const std::string where =
            "byte " + std::to_string(at) + "\n" + listing.str() + splitting.str();
        if (listCode == 0) {
            ++listed;
            // Only a bitmap too large for a BMP file is listed but not split.
            if (splitCode != 5) {
                EXPECT_EQ(splitCode, 0) << where;
                for (const std::string& o : outputs)
                    EXPECT_TRUE(fs::exists(o)) << o << "\n" << where;
            }
        } else {
            ++refused;
            EXPECT_NE(splitCode, 0) << where;
            EXPECT_TRUE(fs::is_empty(out)) << where; // nothing half-written is left
        }
        fs::remove_all(out);
    }
    // The damage must have gone both ways, or the trials proved nothing.
    EXPECT_GT(listed, 0);
    EXPECT_GT(refused, 0);
}

INSTANTIATE_TEST_SUITE_P(Archives, ListingPromise, ::testing::ValuesIn(kPromiseCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
