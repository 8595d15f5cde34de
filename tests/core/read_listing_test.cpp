// The Colour-line rule of the listing: which lines count and what switch each gives.
#include "jobs/text_file.h"
#include "mbm/listing_switches.h"
#include "support/test_support.h"

#include <QDir>
#include <QRegularExpression>

namespace {

struct LineCase {
    const char* line;
    const char* expected;
};

class ColourLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ColourLineTest, GivesSwitch) {
    EXPECT_EQ(switchFromColourLine(QString::fromUtf8(GetParam().line)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rule, ColourLineTest,
    ::testing::Values(
        LineCase{"12 Bpp Colour", "/c12"}, LineCase{"24 Bpp Colour", "/c24"},
        LineCase{"1 Bpp Monochrome", "/1"}, LineCase{"8 Bpp Monochrome", "/8"},
        // other letter case is not recognised
        LineCase{"12 bpp colour", "/c8"}, LineCase{"2 BPP MONOCHROME", "/c8"}, LineCase{"", "/c8"},
        LineCase{"No compression", "/c8"},
        // both phrases: colour wins, the other phrase stays in the switch
        LineCase{"4 Bpp Monochrome Bpp Colour", "/c4 Bpp Monochrome"},
        // blanks are trimmed, tabs are kept
        LineCase{"   24   Bpp Colour   ", "/c24"}, LineCase{"\t24 Bpp Colour", "/c\t24"},
        LineCase{"16 Bpp Colour\t", "/c16  \t"}, LineCase{" 2 Bpp Monochrome ", "/2"},
        // the phrase may stand anywhere and more than once; the rest is kept
        LineCase{"Bpp Colour 12", "/c12"}, LineCase{"12 Bpp Colour Bpp Colour", "/c12"},
        // Alpha: the only switch that keeps it, or the depth's own switch.
        LineCase{"32 Bpp Colour with alpha channel", "/c32a"}, LineCase{"32 Bpp Colour", "/c32"},
        LineCase{"24 Bpp Colour with alpha channel", "/c24"},
        LineCase{" 32 Bpp Colour with alpha channel ", "/c32a"}));

struct ListingCase {
    int lines;        // number of lines in the listing
    int colourLineAt; // 0: every line reads "12 Bpp Colour"; else only this line number does
    QStringList expected;
};

class ListingTest : public ::testing::TestWithParam<ListingCase> {};

TEST_P(ListingTest, OneSwitchPerColourLine) {
    const ListingCase& c = GetParam();
    QStringList lines;
    for (int n = 1; n <= c.lines; ++n)
        lines << (c.colourLineAt == 0 || c.colourLineAt == n ? QStringLiteral("12 Bpp Colour")
                                                             : QStringLiteral("1 Bpp Monochrome"));
    // With colourLineAt set, other lines hold the monochrome phrase: they must not matter
    // unless they are Colour lines themselves.
    EXPECT_EQ(switchesFromListing(lines), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ListingTest,
    ::testing::Values(ListingCase{0, 0, {}}, ListingCase{8, 0, {}}, ListingCase{9, 0, {"/c12"}},
                      ListingCase{14, 0, {"/c12"}}, ListingCase{15, 0, {"/c12", "/c12"}},
                      ListingCase{20, 0, {"/c12", "/c12"}},
                      ListingCase{21, 0, {"/c12", "/c12", "/c12"}},
                      ListingCase{15, 9, {"/c12", "/1"}}, ListingCase{15, 15, {"/1", "/c12"}},
                      ListingCase{8, 8, {}}));

TEST(ColourLine, NumbersNinePlusSixK) {
    std::vector<int> colourLines;
    for (int n = -6; n <= 40; ++n)
        if (isColourLine(n)) colourLines.push_back(n);
    EXPECT_EQ(colourLines, (std::vector<int>{9, 15, 21, 27, 33, 39}));
}

TEST(ColourLine, EmptyLinesInTheListingStillCount) {
    QStringList lines(15, QString());
    EXPECT_EQ(switchesFromListing(lines), (QStringList{"/c8", "/c8"}));
}

// Every listing the SDK converter wrote for a real archive gives one switch per bitmap,
// with the archive's depths.
TEST(ColourLine, RealListingsGiveOneSwitchPerBitmap) {
    const QDir dir(testing_support::testdata() + QStringLiteral("/real-mbm"));
    const QStringList listings = dir.entryList({QStringLiteral("*.v.txt")}, QDir::Files);
    ASSERT_FALSE(listings.isEmpty());
    const QRegularExpression count(QStringLiteral("containing (\\d+) bitmap"));
    const QRegularExpression depth(QStringLiteral("^(\\d+) Bpp (Colour|Monochrome)$"));
    for (const QString& name : listings) {
        const QStringList lines = readLines(dir.filePath(name));
        const auto m = count.match(lines.join(QLatin1Char('\n')));
        ASSERT_TRUE(m.hasMatch()) << name.toStdString();
        QStringList expected;
        for (const QString& l : lines)
            if (const auto d = depth.match(l); d.hasMatch())
                expected << (d.captured(2) == QStringLiteral("Colour") ? "/c" : "/") +
                                d.captured(1);
        EXPECT_EQ(expected.size(), m.captured(1).toInt()) << name.toStdString();
        EXPECT_EQ(switchesFromListing(lines), expected) << name.toStdString();
    }
}

// The archive type comes from the title line and the compression lines only.
TEST(ListingType, TitleAndCompressionLinesGiveTheType) {
    const auto listing = [](const char* kind, const QStringList& compressions) {
        QStringList lines{
            "", "", "BMCONV version 119.",
            QStringLiteral("a compression.mbm is a %1 containing 2 bitmaps").arg(kind)};
        for (const QString& c : compressions)
            lines << ""
                  << "Bitmap 1 information:"
                  << "Pixel size 2 x 2"
                  << "Twips size 0 x 0"
                  << "8 Bpp Colour" << c;
        return lines;
    };
    const struct {
        QStringList lines;
        ArchiveType expected;
    } cases[] = {
        {listing("File store", {"No compression", "Bytewise RLE compression 51%"}),
         ArchiveType::FileStore},
        {listing("File store", {"No compression", "No compression"}),
         ArchiveType::UncompressedFileStore},
        {listing("File store", {"unsigned 32 bit RLE compression (no alpha channel) 1%"}),
         ArchiveType::FileStore},
        {listing("ROM image", {"No compression"}), ArchiveType::RomImage},
        {listing("ROM image", {"No compression", "16 bit RLE compression 3%"}),
         ArchiveType::CompressedRomImage},
        // "compression" elsewhere (the file's own name) does not count
        {listing("ROM image", {"No compression", "No compression"}), ArchiveType::RomImage},
    };
    for (const auto& c : cases)
        EXPECT_EQ(archiveTypeFromListing(c.lines), c.expected) << c.lines.join("|").toStdString();
}

TEST(ListingType, RealListings) {
    const QDir dir(testing_support::testdata() + QStringLiteral("/real-mbm"));
    const auto type = [&](const char* name) {
        return archiveTypeFromListing(readLines(dir.filePath(QLatin1String(name))));
    };
    EXPECT_EQ(type("rc_rom12.v.txt"), ArchiveType::RomImage);
    EXPECT_EQ(type("romcomp.v.txt"), ArchiveType::CompressedRomImage);
    EXPECT_EQ(type("tfbs.v.txt"), ArchiveType::FileStore);
    EXPECT_EQ(type("32bit3col.v.txt"), ArchiveType::FileStore);
    EXPECT_EQ(type("testcompression.v.txt"), ArchiveType::UncompressedFileStore);
}

} // namespace
