// Names of a reading run: Run stamp, extracted bitmaps, extract.txt, safe archive names.
#include "mbm/read_names.h"
#include "support/test_support.h"

#include <QTemporaryDir>

namespace {

using testing_support::writeAll;

TEST(RunStamp, HoursMinutesSecondsWithDashes) {
    EXPECT_EQ(runStampFor(QTime(14, 3, 27)), QStringLiteral("14-03-27"));
    EXPECT_EQ(runStampFor(QTime(0, 0, 5)), QStringLiteral("00-00-05"));
    EXPECT_EQ(runStampFor(QTime(23, 59, 59)), QStringLiteral("23-59-59"));
}

TEST(RunStamp, DistinctWhenBitmapsOfTheStampExist) {
    QTemporaryDir dir;
    const QString base = QStringLiteral("14-03-27");
    EXPECT_EQ(uniqueRunStamp(base, dir.path()), base);
    // Other files do not take a stamp: the archive copy, another stamp's bitmaps.
    writeAll(dir.filePath("image14-03-270.bmp"), "x");
    writeAll(dir.filePath("image14-03-28_0.bmp"), "x");
    writeAll(dir.filePath("icons.mbm"), "x");
    EXPECT_EQ(uniqueRunStamp(base, dir.path()), base);
    writeAll(dir.filePath("image14-03-27_3.bmp"), "x");
    EXPECT_EQ(uniqueRunStamp(base, dir.path()), QStringLiteral("14-03-27a"));
    writeAll(dir.filePath("image14-03-27a_0.bmp"), "x");
    EXPECT_EQ(uniqueRunStamp(base, dir.path()), QStringLiteral("14-03-27b"));
    for (char c = 'b'; c <= 'z'; ++c)
        writeAll(dir.filePath(QStringLiteral("image14-03-27%1_0.bmp").arg(QLatin1Char(c))), "x");
    EXPECT_EQ(uniqueRunStamp(base, dir.path()), QStringLiteral("14-03-27aa"));
    EXPECT_EQ(uniqueRunStamp(base, dir.filePath("missing")), base);
}

TEST(ExtractedNames, IndexWithoutLeadingZeros) {
    EXPECT_EQ(extractedBitmapName("14-03-27", 0), QStringLiteral("image14-03-27_0.bmp"));
    EXPECT_EQ(extractedBitmapName("14-03-27", 10), QStringLiteral("image14-03-27_10.bmp"));
}

TEST(ExtractCommandFile, ArchiveThenOneNamePerBitmap) {
    EXPECT_EQ(extractCommandLines("icons.mbm", "14-03-27", 3),
              (QStringList{"/u icons.mbm", "image14-03-27_0.bmp", "image14-03-27_1.bmp",
                           "image14-03-27_2.bmp"}));
    EXPECT_EQ(extractCommandLines("one.mbm", "01-02-03", 1),
              (QStringList{"/u one.mbm", "image01-02-03_0.bmp"}));
    const QStringList eleven = extractCommandLines("e.mbm", "01-02-03", 11);
    ASSERT_EQ(eleven.size(), 12);
    EXPECT_EQ(eleven.last(), QStringLiteral("image01-02-03_10.bmp"));
}

struct NameCase {
    const char* name;
    bool safe;
};

class BareNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(BareNameTest, Safe) {
    EXPECT_EQ(isBareSafeName(QString::fromUtf8(GetParam().name)), GetParam().safe)
        << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, BareNameTest,
    ::testing::Values(NameCase{"icons.mbm", true}, NameCase{"01_totalstramsize!.mbm", true},
                      NameCase{"a-b_c(1).mbm", true}, NameCase{"my icons.mbm", false},
                      NameCase{"a&b.mbm", false}, NameCase{"a|b.mbm", false},
                      NameCase{"a<b.mbm", false}, NameCase{"a>b.mbm", false},
                      NameCase{"a^b.mbm", false}, NameCase{"100%.mbm", false},
                      NameCase{"a,b.mbm", false}, NameCase{"a;b.mbm", false},
                      NameCase{"a=b.mbm", false}, NameCase{"a\"b.mbm", false},
                      NameCase{"a\tb.mbm", false}, NameCase{"", false}, NameCase{"temp.log", false},
                      NameCase{"CLEANUP.BAT", false}, NameCase{"bmconv.exe", false},
                      NameCase{"image01-02-03_0.bmp", false}, NameCase{"-v.mbm", false},
                      NameCase{"Caf\xc3\xa9.mbm", false}));

TEST(SafeArchiveName, CarriesTheStamp) {
    EXPECT_EQ(safeArchiveName("14-03-27a"), QStringLiteral("archive14-03-27a.mbm"));
    EXPECT_TRUE(isBareSafeName(safeArchiveName("14-03-27a")));
}

} // namespace
