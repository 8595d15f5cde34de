// Compiling in pieces: the stream compressor gives the whole buffer's records however the
// buffer is cut, and pictures read through small windows and encoded a few rows at a time
// give the SDK converter's archives.
#include "compile_helpers.h"
#include "small_pieces.h"

#include "cli.h"
#include "compress.h"

#include <random>
#include <sstream>

namespace compiletest {
namespace {

// A buffer of `valueBytes`-byte values made of runs and literals whose lengths sit around
// the record limits (128 values, and the 2 or 3 a run needs), from few distinct values, so
// pairs and triples also turn up by chance.
Bytes patterned(size_t values, size_t valueBytes, uint32_t seed) {
    static const size_t kLengths[] = {1, 2, 3, 4, 127, 128, 129, 130, 131, 255, 256, 257, 300};
    std::mt19937 random(seed);
    Bytes out;
    auto value = [&](size_t distinct) {
        Bytes v(valueBytes);
        const uint32_t pick = random() % distinct;
        for (size_t i = 0; i < valueBytes; ++i)
            v[i] = uint8_t(pick * 37 + i);
        return v;
    };
    while (out.size() < values * valueBytes) {
        const size_t length = kLengths[random() % std::size(kLengths)];
        const bool run = random() % 2 == 0;
        const Bytes repeated = value(4);
        for (size_t k = 0; k < length; ++k) {
            const Bytes v = run ? repeated : value(k % 3 == 0 ? 2 : 200);
            out.insert(out.end(), v.begin(), v.end());
        }
    }
    out.resize(values * valueBytes);
    return out;
}

struct StreamCase {
    const char* name;
    int scheme;
    size_t valueBytes; // as the generator makes them (scheme 5 stores 4, compares 3)
    size_t values;
};

const StreamCase kStreamCases[] = {
    {"Bytes", 1, 1, 6000},        {"Bytes_Tiny", 1, 1, 5},           {"TwelveBit", 2, 2, 5000},
    {"SixteenBit", 3, 2, 5000},   {"SixteenBit_Odd", 3, 2, 257},     {"TwentyFourBit", 4, 3, 4000},
    {"ThirtyTwoBit", 5, 4, 4000}, {"ThirtyTwoBitAlpha", 6, 4, 4000},
};

class StreamCompress : public ::testing::TestWithParam<StreamCase> {};

TEST_P(StreamCompress, PiecesGiveTheWholeBuffersRecords) {
    const StreamCase& c = GetParam();
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        const Bytes raw = patterned(c.values, c.valueBytes, seed);
        Bytes whole;
        const bool compressed = bmconv::compressPixels(c.scheme, raw, whole);
        {
            const PortableVariants portable; // as on a processor without AVX2
            Bytes same;
            ASSERT_EQ(bmconv::compressPixels(c.scheme, raw, same), compressed) << "seed " << seed;
            if (compressed) {
                ASSERT_EQ(same, whole) << "seed " << seed;
            }
        }
        for (size_t piece : {size_t(1), size_t(2), size_t(3), size_t(5), size_t(127), size_t(129),
                             size_t(1000), size_t(4099)}) {
            bmconv::StreamCompressor stream(c.scheme, raw.size());
            Bytes out;
            for (size_t at = 0; at < raw.size(); at += piece) {
                stream.push(raw.data() + at, std::min(piece, raw.size() - at));
                // Records taken away as they come, as a large picture's are written.
                out.insert(out.end(), stream.output(), stream.output() + stream.outputSize());
                stream.dropOutput();
            }
            ASSERT_EQ(stream.finish(), compressed) << "seed " << seed << ", pieces of " << piece;
            out.insert(out.end(), stream.output(), stream.output() + stream.outputSize());
            if (compressed) {
                ASSERT_EQ(out, whole) << "seed " << seed << ", pieces of " << piece;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Schemes, StreamCompress, ::testing::ValuesIn(kStreamCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StreamCompress, NoisyBufferIsStoredRawHoweverCut) {
    std::mt19937 random(9);
    Bytes raw(3000);
    for (uint8_t& b : raw)
        b = uint8_t(random());
    for (int scheme : {1, 3, 4, 6}) { // scheme 5 drops a byte a pixel: it always pays
        Bytes out;
        ASSERT_FALSE(bmconv::compressPixels(scheme, raw, out)) << scheme;
        bmconv::StreamCompressor stream(scheme, raw.size());
        for (size_t at = 0; at < raw.size(); at += 7)
            stream.push(raw.data() + at, std::min<size_t>(7, raw.size() - at));
        EXPECT_FALSE(stream.finish()) << scheme;
    }
}

TEST(StreamCompress, ReusedCompressorStartsOver) {
    const Bytes first = patterned(900, 2, 3), second = patterned(700, 2, 4);
    Bytes expected;
    ASSERT_TRUE(bmconv::compressPixels(3, second, expected));
    bmconv::StreamCompressor stream(3, first.size());
    stream.push(first.data(), first.size() / 2); // abandoned half-way
    stream.reset(3, second.size());
    stream.push(second.data(), second.size());
    ASSERT_TRUE(stream.finish());
    EXPECT_EQ(Bytes(stream.output(), stream.output() + stream.outputSize()), expected);
}

// The reference corpus, compiled with every picture read and encoded in small pieces.
const fs::path kCorpus = fs::path(ZEMBREL_TESTDATA) / "bmconv-reference";

class CorpusInPieces : public ::testing::TestWithParam<PieceSettings> {};

TEST_P(CorpusInPieces, MatchesSdkArchives) {
    const PieceSettings& s = GetParam();
    const SmallPieces pieces(s.window, s.mapping, s.slice, s.portable);
    std::ifstream cases(kCorpus / "cases.txt");
    TempDir dir;
    int compiled = 0;
    for (std::string line; std::getline(cases, line);) {
        std::vector<std::string> fields;
        std::istringstream row(line);
        for (std::string f; std::getline(row, f, '\t');)
            fields.push_back(f);
        if (fields.size() != 4) continue;
        std::istringstream switches(fields[2]), pictures(fields[3]);
        std::vector<std::string> args;
        if (!fields[1].empty()) args.push_back(fields[1]);
        args.push_back(dir.str(fields[0] + ".mbm"));
        for (std::string sw, pic; switches >> sw && pictures >> pic;)
            args.push_back(sw + (kCorpus / "src" / pic).string());
        std::ostringstream out;
        ASSERT_EQ(bmconv::runCommandLine(args, out), 0) << fields[0] << "\n" << out.str();
        ASSERT_EQ(readFile(dir / (fields[0] + ".mbm")),
                  readFile(kCorpus / "ref" / (fields[0] + ".mbm")))
            << fields[0];
        ++compiled;
    }
    EXPECT_EQ(compiled, 164);
}

INSTANTIATE_TEST_SUITE_P(Settings, CorpusInPieces, ::testing::ValuesIn(kPieceSettings),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace compiletest
