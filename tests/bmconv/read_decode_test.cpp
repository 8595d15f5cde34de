// Decoding stored data into the pixel buffer, and the buffer's pixels into colours.
#include "read_support.h"

#include "mbm_decompress.h"
#include "mbm_pixels.h"

#include <gtest/gtest.h>

using namespace readtest;

namespace {

struct StreamCase {
    const char* name;
    uint32_t compression;
    Bytes stored;
    Bytes buffer;
};

Bytes repeat(std::initializer_list<uint8_t> value, size_t times) {
    Bytes out;
    for (size_t i = 0; i < times; ++i)
        out.insert(out.end(), value);
    return out;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The encoder examples of the format, read backwards.
const StreamCase kStreams[] = {
    {"Byte59Then5",
     1,
     {0x3A, 0x09, 0x02, 0x05, 0xFE, 0x05, 0x05},
     concat({Bytes(59, 0x09), Bytes(5, 0x05)})},
    {"ByteRunsAndLiteral",
     1,
     {0x02, 0x01, 0x02, 0x02, 0x02, 0x03, 0x02, 0x04, 0xFC, 0x05, 0x06, 0x07, 0x08},
     {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 6, 7, 8}},
    {"TwelveBitPaddingLosesTopBits",
     2,
     {0x00, 0x2F, 0xFF, 0x0F},
     {0x00, 0x0F, 0x00, 0x0F, 0x00, 0x0F, 0xFF, 0x0F}},
    {"TwelveBitLongRun", 2, {0xBC, 0xFA, 0xBC, 0xFA, 0xBC, 0x7A}, repeat({0xBC, 0x0A}, 40)},
    {"SixteenBit",
     3,
     {0x05, 0x00, 0xF8, 0xFD, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00},
     concat({repeat({0x00, 0xF8}, 6), {0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF, 0x00, 0x00}})},
    {"TwentyFourBit",
     4,
     {0x02, 0x00, 0x00, 0xFF, 0xFB, 0x00, 0xFF, 0x00, 0xFF, 0x00,
      0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x03, 0x02, 0x01},
     concat({repeat({0x00, 0x00, 0xFF}, 3),
             {0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x03, 0x02,
              0x01}})},
    {"TwentyFourBitAcrossRows",
     4,
     {0xFF, 0x00, 0x00, 0xFF, 0x02, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0x00, 0x02, 0xFF, 0xFF,
      0xFF},
     concat({{0x00, 0x00, 0xFF}, Bytes(9, 0xFF), {0x00, 0xFF, 0x00}, Bytes(9, 0xFF)})},
    {"ThirtyTwoBitRestoresFourthByte",
     5,
     {0x02, 0x00, 0x00, 0xFF, 0xFE, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00},
     concat(
         {repeat({0x00, 0x00, 0xFF, 0xFF}, 3), {0x00, 0xFF, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF}})},
    {"ThirtyTwoBitAlpha",
     6,
     {0x01, 0x00, 0x00, 0xFF, 0x80, 0xFF, 0x00, 0x00, 0xFF, 0x40},
     {0x00, 0x00, 0xFF, 0x80, 0x00, 0x00, 0xFF, 0x80, 0x00, 0x00, 0xFF, 0x40}},
    {"Uncompressed", 0, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8}},
};

class Stream : public ::testing::TestWithParam<StreamCase> {};

TEST_P(Stream, DecodesWhole) {
    const StreamCase& c = GetParam();
    bmconv::StreamDecoder decoder(c.compression, c.stored.data(), c.stored.size(), c.buffer.size());
    Bytes buffer(c.buffer.size(), 0xAA);
    ASSERT_TRUE(decoder.read(buffer.data(), buffer.size())) << decoder.error();
    EXPECT_TRUE(decoder.finish()) << decoder.error();
    EXPECT_EQ(buffer, c.buffer);
}

TEST_P(Stream, DecodesValueByValue) {
    // Runs and literals cross the ends of the pieces asked for, as they cross row ends.
    const StreamCase& c = GetParam();
    bmconv::StreamDecoder decoder(c.compression, c.stored.data(), c.stored.size(), c.buffer.size());
    const size_t step = decoder.valueBytes();
    Bytes buffer(c.buffer.size(), 0xAA);
    for (size_t at = 0; at < buffer.size(); at += step)
        ASSERT_TRUE(decoder.read(buffer.data() + at, step)) << decoder.error();
    EXPECT_TRUE(decoder.finish()) << decoder.error();
    EXPECT_EQ(buffer, c.buffer);
}

TEST_P(Stream, RefusesEveryShortenedStream) {
    const StreamCase& c = GetParam();
    for (size_t length = 0; length < c.stored.size(); ++length) {
        bmconv::StreamDecoder decoder(c.compression, c.stored.data(), length, c.buffer.size());
        Bytes buffer(c.buffer.size());
        const bool ok = decoder.read(buffer.data(), buffer.size()) && decoder.finish();
        EXPECT_FALSE(ok) << "stream cut to " << length << " bytes";
        EXPECT_FALSE(decoder.error().empty());
    }
}

TEST_P(Stream, RefusesABufferLargerThanTheStreamFills) {
    const StreamCase& c = GetParam();
    const size_t larger = c.buffer.size() + 4 * 3; // whole values for every scheme
    bmconv::StreamDecoder decoder(c.compression, c.stored.data(), c.stored.size(), larger);
    Bytes buffer(larger);
    EXPECT_FALSE(decoder.read(buffer.data(), buffer.size()));
    EXPECT_NE(decoder.error().find("the data ends after"), std::string::npos) << decoder.error();
}

INSTANTIATE_TEST_SUITE_P(FormatExamples, Stream, ::testing::ValuesIn(kStreams),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Stream, RefusesAReadAfterAFailure) {
    const Bytes stored = {0x05, 0x01}; // six values for a buffer of four
    bmconv::StreamDecoder decoder(1, stored.data(), stored.size(), 4);
    Bytes buffer(4);
    EXPECT_FALSE(decoder.read(buffer.data(), 4));
    EXPECT_FALSE(decoder.read(buffer.data(), 4));
    EXPECT_FALSE(decoder.finish());
}

struct PixelCase {
    const char* name;
    int32_t bpp;
    uint32_t colour;
    Bytes row;
    size_t width;
    Bytes bgr;
    Bytes alpha;
};

const PixelCase kPixels[] = {
    {"Grey1LeastSignificantFirst",
     1,
     0,
     {0x05},
     3,
     {255, 255, 255, 0, 0, 0, 255, 255, 255},
     {255, 255, 255}},
    {"Grey2", 2, 0, {0xE4}, 4, {0, 0, 0, 85, 85, 85, 170, 170, 170, 255, 255, 255}, Bytes(4, 255)},
    {"Grey4EvenInLowNibble", 4, 0, {0x2F}, 2, {255, 255, 255, 34, 34, 34}, Bytes(2, 255)},
    {"Grey8", 8, 0, {0x00, 0x7F}, 2, {0, 0, 0, 127, 127, 127}, Bytes(2, 255)},
    {"Colour4Palette",
     4,
     1,
     {0x95, 0xE1},
     4,
     {0, 0, 255, 255, 0, 0, 85, 85, 85, 170, 170, 170},
     Bytes(4, 255)},
    {"Colour8Palette",
     8,
     1,
     {0, 107, 108, 215, 147, 148},
     6,
     {0, 0, 0, 102, 255, 255, 17, 17, 17, 204, 255, 51, 238, 238, 238, 153, 0, 0},
     Bytes(6, 255)},
    {"Colour8MiddleGroups",
     8,
     1,
     {113, 122, 127, 133},
     4,
     {0, 0, 17, 0, 0x77, 0, 0x77, 0, 0, 0, 0x88, 0},
     Bytes(4, 255)},
    {"Colour12", 12, 1, {0x80, 0x0F, 0x5A, 0xF3}, 2, {0, 136, 255, 170, 85, 51}, Bytes(2, 255)},
    {"Colour16",
     16,
     1,
     {0x00, 0xF8, 0xE0, 0x07, 0x41, 0x08},
     3,
     {0, 0, 255, 0, 255, 0, 8, 8, 8},
     Bytes(3, 255)},
    {"Colour24", 24, 1, {1, 2, 3, 4, 5, 6}, 2, {1, 2, 3, 4, 5, 6}, Bytes(2, 255)},
    {"Colour32IgnoresFourthByte",
     32,
     1,
     {1, 2, 3, 0, 4, 5, 6, 9},
     2,
     {1, 2, 3, 4, 5, 6},
     Bytes(2, 255)},
    {"Colour32Alpha", 32, 2, {1, 2, 3, 0x80, 4, 5, 6, 0x00}, 2, {1, 2, 3, 4, 5, 6}, {0x80, 0x00}},
    {"Colour32Premultiplied", 32, 3, {1, 2, 3, 0x40}, 1, {1, 2, 3}, {0x40}},
};

class Pixels : public ::testing::TestWithParam<PixelCase> {};

TEST_P(Pixels, ExpandToColourAndAlpha) {
    const PixelCase& c = GetParam();
    const bmconv::RowExpander expander(c.bpp, c.colour);
    Bytes bgr(c.width * 3, 0xAA), alpha(c.width, 0xAA);
    expander.expand(c.row.data(), c.width, bgr.data(), alpha.data());
    EXPECT_EQ(bgr, c.bgr);
    EXPECT_EQ(alpha, c.alpha);
    Bytes withoutAlpha(c.width * 3, 0xAA);
    expander.expand(c.row.data(), c.width, withoutAlpha.data(), nullptr);
    EXPECT_EQ(withoutAlpha, c.bgr);
}

INSTANTIATE_TEST_SUITE_P(EveryMode, Pixels, ::testing::ValuesIn(kPixels),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
