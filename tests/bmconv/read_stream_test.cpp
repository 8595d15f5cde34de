// Reading in pieces: every reference archive lists and splits the same through small
// windows, with and without mapping, and the listing's quick check of the records reaches
// the decoder's verdict on damaged data.
#include "read_support.h"
#include "small_pieces.h"

#include "compress.h"
#include "mbm_decompress.h"
#include "mbm_read.h"
#include "mbm_record_walk.h"
#include "walk_helper.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace readtest;

namespace {

std::string listing(const fs::path& archive) {
    std::ostringstream out;
    EXPECT_EQ(bmconv::listArchive(archive.string(), out), 0) << archive;
    return out.str();
}

class ArchivesInPieces : public ::testing::TestWithParam<PieceSettings> {};

TEST_P(ArchivesInPieces, ListAndSplitAsWhole) {
    const std::vector<fs::path> all = allArchives();
    ASSERT_GT(all.size(), 150u);
    std::vector<std::string> whole;
    for (const fs::path& archive : all)
        whole.push_back(listing(archive));

    const PieceSettings& s = GetParam();
    const SmallPieces pieces(s.window, s.mapping, s.slice, s.portable);
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(listing(all[i]), whole[i]) << all[i];
        const std::vector<fs::path> references = referenceSplits(all[i]);
        if (references.empty()) continue;
        TempDir dir;
        std::vector<std::string> outputs;
        for (size_t k = 0; k < references.size(); ++k)
            outputs.push_back(dir.file("out" + std::to_string(k) + ".bmp"));
        std::ostringstream out;
        ASSERT_EQ(bmconv::splitArchive(all[i].string(), outputs, out), 0) << out.str();
        for (size_t k = 0; k < references.size(); ++k)
            EXPECT_TRUE(readFile(outputs[k]) == readFile(references[k])) << references[k];
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, ArchivesInPieces, ::testing::ValuesIn(kPieceSettings),
                         [](const auto& info) { return std::string(info.param.name); });

// What the decoder says of stored data: sound or not.
bool decoderAccepts(const bmconv::StoredData& d) {
    bmconv::StreamDecoder decoder(d.compression, d.data, d.length, d.bufferSize);
    Bytes buffer(size_t(d.bufferSize));
    return decoder.read(buffer.data(), buffer.size()) && decoder.finish();
}

struct WalkCase {
    const char* name;
    uint32_t compression;
    size_t valueBytes;
};

const WalkCase kWalkCases[] = {
    {"Uncompressed", 0, 1},      {"Bytes", 1, 1},         {"TwelveBit", 2, 2},
    {"SixteenBit", 3, 2},        {"TwentyFourBit", 4, 3}, {"ThirtyTwoBit", 5, 4},
    {"ThirtyTwoBitAlpha", 6, 4},
};

// A pixel buffer that compresses: short runs and literals of a few colours.
Bytes pixelBuffer(std::mt19937& random, size_t valueBytes) {
    Bytes raw;
    while (raw.size() < 1200 * valueBytes) {
        const size_t length = 1 + random() % 12;
        const uint8_t colour = uint8_t(random() % 3);
        const bool run = random() % 2 == 0;
        for (size_t k = 0; k < length; ++k)
            for (size_t b = 0; b < valueBytes; ++b)
                raw.push_back(uint8_t(run ? colour * 50 + b : random() % 4));
    }
    raw.resize(1200 * valueBytes);
    return raw;
}

class QuickCheck : public ::testing::TestWithParam<WalkCase> {};

TEST_P(QuickCheck, AgreesWithTheDecoderOnDamagedData) {
    const WalkCase& c = GetParam();
    std::mt19937 random(c.compression + 11);
    for (int trial = 0; trial < 300; ++trial) {
        const Bytes raw = pixelBuffer(random, c.valueBytes);
        Bytes stored = raw;
        if (c.compression != 0) {
            ASSERT_TRUE(bmconv::compressPixels(int(c.compression), raw, stored));
        }
        // One defect: a byte changed, the data cut short or one byte longer.
        switch (trial % 3) {
        case 0:
            stored[random() % stored.size()] = uint8_t(random());
            break;
        case 1:
            stored.resize(stored.size() - 1 - random() % 3);
            break;
        default:
            stored.push_back(uint8_t(random()));
            break;
        }
        const bmconv::StoredData damaged{stored.data(), stored.size(), c.compression, raw.size()};
        const bmconv::StoredData sound{nullptr, 0, 0, 0};
        // Alone, and among sound items in the other lanes.
        const bmconv::StoredData group[] = {sound, damaged, sound, sound, sound};
        EXPECT_EQ(bmconv::recordsFit(&damaged, 1), decoderAccepts(damaged)) << "trial " << trial;
        EXPECT_EQ(bmconv::recordsFit(group, 5), decoderAccepts(damaged)) << "trial " << trial;
    }
}

// `count` pixel buffers stored with the case's compression, and the items to walk.
struct StoredSet {
    std::vector<Bytes> raws, stores;
    std::vector<bmconv::StoredData> items;
};

StoredSet storedSet(const WalkCase& c, uint32_t seed, int count) {
    std::mt19937 random(seed);
    StoredSet set;
    for (int i = 0; i < count; ++i) {
        set.raws.push_back(pixelBuffer(random, c.valueBytes));
        set.stores.push_back(set.raws.back());
        if (c.compression != 0) {
            EXPECT_TRUE(
                bmconv::compressPixels(int(c.compression), set.raws.back(), set.stores.back()));
        }
    }
    for (size_t i = 0; i < set.stores.size(); ++i)
        set.items.push_back(
            {set.stores[i].data(), set.stores[i].size(), c.compression, set.raws[i].size()});
    return set;
}

TEST_P(QuickCheck, AcceptsSoundData) {
    const StoredSet set = storedSet(GetParam(), GetParam().compression + 5, 9);
    EXPECT_TRUE(bmconv::recordsFit(set.items.data(), set.items.size()));
}

// A walk shared with a helper thread gives the verdict of one thread, wherever the fault
// lies among the pieces, walk after walk with the same helper.
TEST_P(QuickCheck, SharedWalkGivesTheVerdictOfOneThread) {
    const StoredSet set = storedSet(GetParam(), GetParam().compression + 23, 100);
    const std::vector<bmconv::StoredData>& items = set.items;
    bmconv::WalkHelper helper;
    EXPECT_TRUE(helper.fit(items.data(), items.size()));
    for (size_t at : {size_t(0), size_t(37), size_t(99)}) {
        std::vector<bmconv::StoredData> damaged = items;
        damaged[at].length -= 1;
        ASSERT_FALSE(bmconv::recordsFit(&damaged[at], 1));
        EXPECT_FALSE(helper.fit(damaged.data(), damaged.size())) << "fault in item " << at;
        EXPECT_TRUE(helper.fit(items.data(), items.size())) << "after the fault in " << at;
    }
}

INSTANTIATE_TEST_SUITE_P(Schemes, QuickCheck, ::testing::ValuesIn(kWalkCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
