// The plan of a save: target rules, the command file and batch texts, preparing temp.
#include "jobs/text_file.h"
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
    EXPECT_EQ(plan.buildBatch, QStringList({"/o", "cd \"/opt/zembrel" + sep + "temp" + sep + "\"",
                                            "bmconv.exe mbmcreater.txt > error.log", "echo off",
                                            "del photo.bmp", "del logo.bmp", "del mbmcreater.txt",
                                            "del bmconv.exe", "echo \"Done\" > end.log"}));
    ASSERT_EQ(plan.pictures.size(), 2u);
    EXPECT_EQ(plan.pictures[0].workName, QStringLiteral("photo.bmp"));
    EXPECT_EQ(plan.pictures[1].dir + plan.pictures[1].name, QStringLiteral("/pics/logo.gif"));
}

TEST(SavePlan, ConvertsASharedFileOnceButNamesItForEveryEntry) {
    const std::vector<BitmapEntry> entries = {{"/c8", "/p/", "a.jpg"}, {"/c24", "/p/", "a.jpg"}};
    const SavePlan plan = makeSavePlan(ProgramFolder(QStringLiteral("/x")), entries,
                                       QStringLiteral("t"), QStringLiteral("/y/t.mbm"));
    EXPECT_EQ(plan.pictures.size(), 1u);
    EXPECT_EQ(plan.commandFile, QStringList({"t", "/c8a.bmp", "/c24a.bmp"}));
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
