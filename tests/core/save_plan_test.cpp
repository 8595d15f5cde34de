// The plan of a save: target rules, the command file and batch texts, preparing temp.
#include "jobs/text_file.h"
#include "mbm/picture_conversion.h"
#include "mbm/save_plan.h"
#include "support/save_support.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

struct TargetCase {
    const char* chosen;
    const char* title;
    const char* myfile;
};

class SaveTargetTest : public ::testing::TestWithParam<TargetCase> {};

TEST_P(SaveTargetTest, AppendsMbmUnlessTheLastFourCharactersAreExactlyMbm) {
    const SaveTarget t =
        targetFromDialog(QString::fromUtf8(GetParam().chosen), QString::fromUtf8(GetParam().title));
    EXPECT_EQ(t.myfile, QString::fromUtf8(GetParam().myfile));
    EXPECT_EQ(t.mytitle, QString::fromUtf8(GetParam().title)) << "the title is as reported";
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SaveTargetTest,
    ::testing::Values(TargetCase{"C:\\Work\\icons", "icons", "C:\\Work\\icons.mbm"},
                      TargetCase{"C:\\Work\\icons.mbm", "icons.mbm", "C:\\Work\\icons.mbm"},
                      TargetCase{"C:\\Work\\icons.MBM", "icons.MBM", "C:\\Work\\icons.MBM.mbm"},
                      TargetCase{"/w/icons.txt", "icons.txt", "/w/icons.txt.mbm"},
                      TargetCase{"/w/Noname.mbm", "Noname.mbm", "/w/Noname.mbm"}));

std::vector<BitmapEntry> twoEntries() {
    return {{"/c12", "/pics/", "photo.jpeg"}, {"/c8", "/pics/", "logo.gif"}};
}

TEST(SavePlan, WritesTheDocumentedCommandFileAndBuildBatch) {
    const ProgramFolder pf(QStringLiteral("/opt/zembrel"));
    const SavePlan plan = makeSavePlan(pf, twoEntries(), QStringLiteral("icons"),
                                       QStringLiteral("/home/u/icons.mbm"));
    EXPECT_EQ(plan.outputName, QStringLiteral("icons"));
    EXPECT_EQ(plan.commandFile, QStringList({"icons", "/c12photo.bmp", "/c8logo.bmp"}));
    const QString sep = QDir::separator();
    EXPECT_EQ(plan.buildBatch, QStringList({"cd \"/opt/zembrel" + sep + "temp" + sep + "\"",
                                            "bmconv.exe mbmcreater.txt > error.log", "echo off",
                                            "del photo.bmp", "del logo.bmp", "del mbmcreater.txt",
                                            "del bmconv.exe", "echo \"Done\" > end.log"}));
    ASSERT_EQ(plan.pictures.size(), 2u);
    EXPECT_EQ(plan.pictures[0].workName, QStringLiteral("photo.bmp"));
    EXPECT_EQ(plan.pictures[1].dir + plan.pictures[1].name, QStringLiteral("/pics/logo.gif"));
}

TEST(SavePlan, ConvertsASharedFileOnceButNamesItForEveryEntry) {
    const std::vector<BitmapEntry> entries = {{"/c8", "/p/", "d.jpg"}, {"/c24", "/p/", "d.jpg"}};
    const SavePlan plan = makeSavePlan(ProgramFolder(QStringLiteral("/x")), entries,
                                       QStringLiteral("t"), QStringLiteral("/y/t.mbm"));
    EXPECT_EQ(plan.pictures.size(), 1u);
    EXPECT_EQ(plan.commandFile, QStringList({"t", "/c8d.bmp", "/c24d.bmp"}));
}

struct OptionsCase {
    const char* label;
    SaveOptions options;
    const char* title;
    std::vector<BitmapEntry> entries;
    QStringList commandFile;
    QStringList identifierNames; ///< empty when the work names give the identifiers
};

class SaveOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

// The store option comes first on line 1, then the header's options, then the output name.
TEST_P(SaveOptionsTest, FirstLineCarriesTheOptions) {
    const OptionsCase& c = GetParam();
    const SavePlan plan =
        makeSavePlan(ProgramFolder(QStringLiteral("/opt/z")), c.entries, QString::fromUtf8(c.title),
                     QStringLiteral("/home/u/icons.mbm"), c.options);
    EXPECT_EQ(plan.commandFile, c.commandFile);
    EXPECT_EQ(plan.identifierNames, c.identifierNames);
    const bool header = c.options.header;
    EXPECT_EQ(plan.headerTarget, header ? QStringLiteral("/home/u/icons.mbg") : QString());
    EXPECT_EQ(plan.headerName.isEmpty(), !header);
    // The names file goes with the build's inputs; the header stays for the copy.
    EXPECT_EQ(plan.buildBatch.contains(QStringLiteral("del mbmnames.txt")),
              !c.identifierNames.isEmpty());
    EXPECT_FALSE(plan.buildBatch.contains(QStringLiteral("del icons.mbg")));
}

const std::vector<BitmapEntry> kTwo = {{"/c12", "/p/", "photo.jpeg"}, {"/c8", "/p/", "logo.gif"}};
const std::vector<BitmapEntry> kOdd = {{"/c12", "/p/", "2x.png"}, {"/c8", "/p/", "a&b.jpg"}};
// Read from archives: the names carry the time of reading, the identifiers must not.
const std::vector<BitmapEntry> kRead = {
    {"/c12", "/t/", "image12-00-01_0.bmp", {"/w/old icons.mbm", ArchiveType::RomImage, 0}},
    {"/c8", "/t/", "image12-00-01_1.bmp", {"/w/old icons.mbm", ArchiveType::RomImage, 1}},
    {"/c8", "/p/", "logo.gif"}};

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveOptionsTest,
    ::testing::Values(
        OptionsCase{"file_store",
                    {ArchiveType::FileStore, false},
                    "icons",
                    kTwo,
                    {"icons", "/c12photo.bmp", "/c8logo.bmp"},
                    {}},
        OptionsCase{"uncompressed",
                    {ArchiveType::UncompressedFileStore, false},
                    "icons",
                    kTwo,
                    {"/n icons", "/c12photo.bmp", "/c8logo.bmp"},
                    {}},
        OptionsCase{"rom",
                    {ArchiveType::RomImage, false},
                    "icons",
                    kTwo,
                    {"/r icons", "/c12photo.bmp", "/c8logo.bmp"},
                    {}},
        OptionsCase{"compressed_rom",
                    {ArchiveType::CompressedRomImage, false},
                    "icons",
                    kTwo,
                    {"/s icons", "/c12photo.bmp", "/c8logo.bmp"},
                    {}},
        OptionsCase{"header_from_work_names",
                    {ArchiveType::RomImage, true},
                    "icons.mbm",
                    kTwo,
                    {"/r /hicons.mbg icons.mbm", "/c12photo.bmp", "/c8logo.bmp"},
                    {}},
        OptionsCase{"header_after_open",
                    {ArchiveType::FileStore, true},
                    "Text1",
                    kTwo,
                    {"/hicons.mbg /imbmnames.txt Text1", "/c12photo.bmp", "/c8logo.bmp"},
                    {"icons.mbm", "photo.jpeg", "logo.gif"}},
        OptionsCase{"header_of_renamed_pictures",
                    {ArchiveType::CompressedRomImage, true},
                    "icons.mbm",
                    kOdd,
                    {"/s /hicons.mbg /imbmnames.txt icons.mbm", "/c12p2x.bmp", "/c8pa_b.bmp"},
                    {"icons.mbm", "2x.png", "a&b.jpg"}},
        OptionsCase{"header_of_bitmaps_read_from_an_archive",
                    {ArchiveType::FileStore, true},
                    "icons.mbm",
                    kRead,
                    {"/hicons.mbg /imbmnames.txt icons.mbm", "/c12image12-00-01_0.bmp",
                     "/c8image12-00-01_1.bmp", "/c8logo.bmp"},
                    {"icons.mbm", "old icons_0.bmp", "old icons_1.bmp", "logo.gif"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(SavePlan, AlphaFilesGoWithTheirBitmaps) {
    const std::vector<BitmapEntry> entries = {{"/c24", "/p/", "x.png"},
                                              {"/c32a", "/p/", "x.png"},
                                              {"/c32", "/p/", "y.png"},
                                              {"/c32a", "/p/", "z.png"}};
    const SavePlan plan = makeSavePlan(ProgramFolder(QStringLiteral("/x")), entries,
                                       QStringLiteral("t"), QStringLiteral("/y/t.mbm"));
    // x.png at /c32a keeps the colour under its transparency, which x.png at /c24 flattens:
    // two work bitmaps, the alpha file with the /c32a one.
    ASSERT_EQ(plan.pictures.size(), 4u);
    EXPECT_FALSE(plan.pictures[0].keepAlpha);
    EXPECT_TRUE(plan.pictures[1].keepAlpha) << "its entry is at /c32a";
    EXPECT_EQ(plan.pictures[1].name, QStringLiteral("x.png"));
    EXPECT_NE(plan.pictures[1].workName, plan.pictures[0].workName);
    EXPECT_FALSE(plan.pictures[2].keepAlpha);
    EXPECT_TRUE(plan.pictures[3].keepAlpha);
    EXPECT_EQ(plan.alphaNames,
              QStringList({alphaFileName(plan.pictures[1].workName), "z-alpha.bmp"}));
    for (const QString& alpha : plan.alphaNames)
        EXPECT_TRUE(plan.buildBatch.contains(QStringLiteral("del ") + alpha));
}

TEST(SavePlan, HeaderInsideTempIsNotTheWorkHeader) {
    TempProgramFolder pf(false, false);
    const QString target = pf.folder().inTemp(QStringLiteral("icons.mbm"));
    const SavePlan plan = makeSavePlan(pf.folder(), twoEntries(), QStringLiteral("icons.mbm"),
                                       target, {ArchiveType::FileStore, true});
    EXPECT_NE(plan.headerPath(), plan.headerTarget) << "the clean-up would delete it";
}

TEST(SavePlan, OutputNameAvoidsATargetInsideTemp) {
    TempProgramFolder pf(false, false);
    const QString target = pf.folder().inTemp(QStringLiteral("icons"));
    const SavePlan plan = makeSavePlan(pf.folder(), twoEntries(), QStringLiteral("icons"), target);
    EXPECT_NE(plan.outputPath(), target) << "the clean-up would delete the saved archive";
}

TEST(PrepareSave, WritesBothFilesWithCrLfAndCopiesTheTool) {
    TempProgramFolder pf(true, false);
    WorkFolders work(pf.folder());
    const SavePlan plan = makeSavePlan(pf.folder(), twoEntries(), QStringLiteral("icons"),
                                       pf.file(QStringLiteral("icons.mbm")));
    // A bitmap an interrupted build left behind must be gone before the conversion.
    QDir().mkpath(pf.folder().temp());
    writeAll(pf.folder().inTemp(QStringLiteral("photo.bmp")), "stale");
    EXPECT_TRUE(prepareSave(work, plan).isEmpty());
    EXPECT_EQ(readAll(pf.folder().inTemp(QStringLiteral("mbmcreater.txt"))),
              crlf(plan.commandFile));
    EXPECT_EQ(readAll(pf.folder().inTemp(QStringLiteral("mbmcreater.bat"))), crlf(plan.buildBatch));
    EXPECT_TRUE(QFile::exists(pf.folder().inTemp(QStringLiteral("bmconv.exe"))));
    EXPECT_FALSE(QFile::exists(pf.folder().inTemp(QStringLiteral("photo.bmp"))));
}

TEST(PrepareSave, WritesTheIdentifierNamesAndRemovesAStaleHeader) {
    TempProgramFolder pf(true, false);
    const std::vector<BitmapEntry> entries = {{"/c32a", "/p/", "2x.png"}};
    const SavePlan plan =
        makeSavePlan(pf.folder(), entries, QStringLiteral("icons"),
                     pf.file(QStringLiteral("icons.mbm")), {ArchiveType::FileStore, true});
    QDir().mkpath(pf.folder().temp());
    writeAll(plan.headerPath(), "stale");
    writeAll(pf.folder().inTemp(QStringLiteral("p2x-alpha.bmp")), "stale");
    EXPECT_TRUE(prepareSave(WorkFolders(pf.folder()), plan).isEmpty());
    EXPECT_EQ(readAll(pf.folder().inTemp(QStringLiteral("mbmnames.txt"))),
              crlf({"icons.mbm", "2x.png"}));
    EXPECT_FALSE(QFile::exists(plan.headerPath()));
    EXPECT_FALSE(QFile::exists(pf.folder().inTemp(QStringLiteral("p2x-alpha.bmp"))));
}

TEST(PrepareSave, NamesTheMissingToolButStillWritesTheFiles) {
    TempProgramFolder pf(false, false);
    WorkFolders work(pf.folder());
    const SavePlan plan = makeSavePlan(pf.folder(), twoEntries(), QStringLiteral("icons"),
                                       pf.file(QStringLiteral("icons.mbm")));
    const QStringList problems = prepareSave(work, plan);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(QLatin1String("bmconv.exe")));
    EXPECT_TRUE(QFile::exists(pf.folder().inTemp(QStringLiteral("mbmcreater.bat"))));
}

} // namespace
