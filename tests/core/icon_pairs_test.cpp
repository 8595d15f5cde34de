// Which entries of a Project list pair up as an icon and its mask.
#include "mbm/icon_pairs.h"

#include <QMap>
#include <gtest/gtest.h>

namespace {

struct PairRule {
    const char* name;
    /// Entries as "switch name widthxheight".
    std::vector<const char*> entries;
    /// The mask row of each entry, -1 for none.
    std::vector<int> maskOf;
};

class PairRules : public ::testing::TestWithParam<PairRule> {};

TEST_P(PairRules, FindsExactlyThePairs) {
    const PairRule c = GetParam();
    ProjectList list;
    QMap<QString, QSize> sizes;
    for (const char* e : c.entries) {
        const QStringList parts = QString(e).split(' ');
        const QStringList wh = parts[2].split('x');
        sizes.insert(parts[1], QSize(wh[0].toInt(), wh[1].toInt()));
        list.append(parts[0], "/pics/", parts[1]);
    }
    const IconPairs pairs =
        IconPairs::of(list, [&](const BitmapEntry& e) { return sizes.value(e.name); });
    for (int r = 0; r < list.count(); ++r) {
        EXPECT_EQ(pairs.maskOf(r), c.maskOf[size_t(r)]) << "row " << r;
        EXPECT_EQ(pairs.isMask(r), std::count(c.maskOf.begin(), c.maskOf.end(), r) == 1)
            << "row " << r;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, PairRules,
    ::testing::Values(
        PairRule{"IconThenMaskOfItsSize", {"/c12 a.bmp 64x50", "/1 m.bmp 64x50"}, {1, -1}},
        PairRule{"EightBitMask", {"/c24 a.png 8x8", "/8 a_mask.bmp 8x8"}, {1, -1}},
        PairRule{"OtherSizeIsNoMask", {"/c12 a.bmp 64x50", "/1 m.bmp 25x20"}, {-1, -1}},
        PairRule{"ColourNextIsNoMask", {"/c12 a.bmp 8x8", "/c8 b.bmp 8x8"}, {-1, -1}},
        PairRule{"TwoGreyPicturesAreNoPair", {"/1 a.bmp 8x8", "/1 b.bmp 8x8"}, {-1, -1}},
        PairRule{"AGreyIconWithANamedMask", {"/8 a.png 8x8", "/8 a_mask2.bmp 8x8"}, {1, -1}},
        PairRule{"AMaskIsNoIconOfTheNext",
                 {"/c12 a.bmp 8x8", "/8 m.bmp 8x8", "/1 n.bmp 8x8"},
                 {1, -1, -1}},
        PairRule{"EmptyOrUnreadableSizesAreNoPair",
                 {"/c12 gone.bmp 0x0", "/1 gone2.bmp 0x0"},
                 {-1, -1}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
