// Work names of a save: converted names, names that need no quoting, collisions.
#include "mbm/picture_conversion.h"
#include "mbm/save_names.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

struct ConvertedCase {
    const char* name;
    const char* expected;
};

class ConvertedNameTest : public ::testing::TestWithParam<ConvertedCase> {};

TEST_P(ConvertedNameTest, ReplacesTheExtensionAfterTheLastDot) {
    EXPECT_EQ(convertedName(QString::fromUtf8(GetParam().name)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Names, ConvertedNameTest,
                         ::testing::Values(ConvertedCase{"photo.jpg", "photo.bmp"},
                                           ConvertedCase{"photo.jpeg", "photo.bmp"},
                                           ConvertedCase{"icon.bmp", "icon.bmp"},
                                           ConvertedCase{"ANIM.GIF", "ANIM.bmp"},
                                           ConvertedCase{"noext", "noext.bmp"},
                                           ConvertedCase{"a.b.jpg", "a.b.bmp"}));

BitmapEntry entry(const char* dir, const char* name, const char* colour = "/c8") {
    return {QString::fromUtf8(colour), QString::fromUtf8(dir), QString::fromUtf8(name)};
}

struct WorkCase {
    const char* what;
    std::vector<BitmapEntry> entries;
    QStringList expected;
};

class WorkNamesTest : public ::testing::TestWithParam<WorkCase> {};

TEST_P(WorkNamesTest, GivesEveryPictureItsOwnBareName) {
    EXPECT_EQ(workBitmapNames(GetParam().entries), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WorkNamesTest,
    ::testing::Values(
        WorkCase{"no collision keeps the converted names",
                 {entry("/p/", "d.jpg"), entry("/p/", "b.gif"), entry("/p/", "c.bmp")},
                 {"d.bmp", "b.bmp", "c.bmp"}},
        WorkCase{"a JPEG and a GIF of one base name",
                 {entry("/p/", "pic.jpg"), entry("/p/", "pic.gif")},
                 {"pic.bmp", "pic_2.bmp"}},
        WorkCase{"the same name in two folders",
                 {entry("/p/", "pic.bmp"), entry("/q/", "pic.bmp")},
                 {"pic.bmp", "pic_2.bmp"}},
        WorkCase{"names differing only in case collide",
                 {entry("/p/", "Pic.jpg"), entry("/p/", "pic.gif")},
                 {"Pic.bmp", "pic_2.bmp"}},
        WorkCase{"a renamed picture never takes another entry's converted name",
                 {entry("/p/", "pic.jpg"), entry("/p/", "pic.gif"), entry("/p/", "pic_2.jpg")},
                 {"pic.bmp", "pic_3.bmp", "pic_2.bmp"}},
        WorkCase{"the very same file twice shares one bitmap",
                 {entry("/p/", "d.jpg"), entry("/p/", "d.jpg")},
                 {"d.bmp", "d.bmp"}},
        WorkCase{"blanks and command characters are replaced",
                 {entry("/p/", "my photo.jpg"), entry("/p/", "x&b|c<d>e^f%g.gif")},
                 {"my_photo.bmp", "x_b_c_d_e_f_g.bmp"}},
        WorkCase{"a leading digit would be read as part of the switch",
                 {entry("/p/", "2x.bmp")},
                 {"p2x.bmp"}},
        WorkCase{"a leading a or A would be read as the alpha flag",
                 {entry("/p/", "apple.png", "/c32"), entry("/p/", "Anna.jpg"),
                  entry("/p/", "a&b.jpg"), entry("/p/", "papple.gif")},
                 {"papple_2.bmp", "pAnna.bmp", "pa_b.bmp", "papple.bmp"}},
        WorkCase{"no work bitmap takes the name of another one's alpha file",
                 {entry("/p/", "x.png", "/c32a"), entry("/p/", "x-alpha.png"),
                  entry("/p/", "y-ALPHA.bmp")},
                 {"x.bmp", "x-alpha_2.bmp", "y-ALPHA_2.bmp"}},
        WorkCase{"a made-up bare name that is taken gets a number",
                 {entry("/p/", "b c.jpg"), entry("/p/", "b_c.jpg")},
                 {"b_c_2.bmp", "b_c.bmp"}},
        WorkCase{
            "letters outside ASCII are replaced", {entry("/p/", "b\xc3\xa4r.jpg")}, {"b_r.bmp"}}));

TEST(WorkNames, AreBareAndUniqueForManyCollidingPictures) {
    std::vector<BitmapEntry> entries;
    const char* names[] = {"x.jpg", "x.gif", "x.bmp",   "X.JPG",   "x y.jpg",     "x_y.gif",
                           "1.bmp", "a.bmp", "x_2.bmp", "%x%.gif", "x-alpha.png", "x"};
    for (const char* folder : {"/a/", "/b/", "/c/"})
        for (const char* n : names)
            entries.push_back(entry(folder, n));
    const QStringList work = workBitmapNames(entries);
    ASSERT_EQ(work.size(), int(entries.size()));
    QSet<QString> seen;
    for (const QString& w : work) {
        EXPECT_TRUE(isBarePictureName(w)) << w.toStdString();
        EXPECT_TRUE(w.endsWith(QLatin1String(".bmp"))) << w.toStdString();
        EXPECT_FALSE(w.endsWith(QLatin1String("-alpha.bmp"))) << w.toStdString();
        EXPECT_FALSE(seen.contains(w.toCaseFolded())) << w.toStdString();
        seen.insert(w.toCaseFolded());
    }
}

struct OutputCase {
    const char* title;
    QStringList taken;
    const char* expected;
};

class OutputNameTest : public ::testing::TestWithParam<OutputCase> {};

TEST_P(OutputNameTest, IsBareAndClashesWithNothing) {
    EXPECT_EQ(outputNameFor(QString::fromUtf8(GetParam().title), GetParam().taken),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Titles, OutputNameTest,
                         ::testing::Values(OutputCase{"icons", {}, "icons"},
                                           OutputCase{"icons.mbm", {"a.bmp"}, "icons.mbm"},
                                           OutputCase{"Text1", {}, "Text1"},
                                           OutputCase{"my icons.mbm", {}, "my_icons.mbm"},
                                           OutputCase{"-icons", {}, "_icons"},
                                           OutputCase{"a.bmp", {"a.bmp"}, "a_2.bmp"},
                                           OutputCase{"A.BMP", {"a.bmp"}, "A_2.BMP"},
                                           OutputCase{"error.log", {}, "error_2.log"},
                                           OutputCase{"mbmcreater.txt", {}, "mbmcreater_2.txt"},
                                           OutputCase{"", {}, "archive.mbm"}));

TEST(BareNames, RefuseWhatABatchLineWouldInterpret) {
    for (const char* bad : {"a b", "a&b", "a|b", "a<b", "a>b", "a^b", "a%b", "a\"b", "a,b", "a;b",
                            "a=b", "a*b", "a?b", "a\tb", ""})
        EXPECT_FALSE(isBareName(QString::fromUtf8(bad))) << bad;
    for (const char* good : {"a.bmp", "A-b_c.bmp", "x(1).bmp", "v1.2~3.bmp"})
        EXPECT_TRUE(isBareName(QString::fromUtf8(good))) << good;
    for (const char* bad : {"9lives.bmp", "apple.bmp", "Apple.bmp", "a.bmp"})
        EXPECT_FALSE(isBarePictureName(QString::fromUtf8(bad))) << bad;
    EXPECT_TRUE(isBarePictureName(QStringLiteral("papple.bmp")));
}

} // namespace
