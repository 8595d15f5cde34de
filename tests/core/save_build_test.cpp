// The build job of a save with the real converter and batch interpreter.
#include "jobs/text_file.h"
#include "mbm/picture_conversion.h"
#include "mbm/save_build.h"
#include "support/save_support.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace save_support;

namespace {

/// A program folder, a picture folder and a save of its pictures into `target`.
class SaveBuild : public ::testing::Test {
  protected:
    void makePictures(const QStringList& names) {
        for (int i = 0; i < names.size(); ++i) {
            const QImage img = makePicture(9 + i, 7, i * 31);
            ASSERT_TRUE(img.save(pics.filePath(names[i]))) << names[i].toStdString();
            entries.push_back({QStringLiteral("/c24"), pics.path() + QLatin1Char('/'), names[i]});
        }
    }
    SavePlan plan(const QString& title = QStringLiteral("icons")) {
        return makeSavePlan(pf.folder(), entries, title, target);
    }
    /// What the conversion window does: every picture as a bitmap in temp.
    QStringList convert(const SavePlan& p) {
        QStringList failures;
        for (const PictureJob& j : p.pictures)
            if (Status s = convertPicture(j.dir + j.name, p.folder.inTemp(j.workName)); !s)
                failures << s.error;
        return failures;
    }
    Status build(const SavePlan& p, BuildInputs inputs) {
        inputs.unconvertedPictures << convert(p);
        return runBuild(p, inputs, status, shortPauses());
    }
    void waitForCleanUp() {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !QFile::exists(pf.folder().inTemp(QStringLiteral("cleanup.bat"))); },
            20000));
    }

    TempProgramFolder pf;
    QTemporaryDir pics;
    QTemporaryDir out;
    QString target = out.filePath(QStringLiteral("icons.mbm"));
    std::vector<BitmapEntry> entries;
    StatusRecorder status;
    WorkFolders work = quickWorkFolders(pf.folder());
};

TEST_F(SaveBuild, MakesWhatTheConverterMakesAndLeavesOnlyErrorLog) {
    makePictures({"a.png", "b.jpg", "c.bmp"});
    const SavePlan p = plan();
    const Status s = build(p, {prepareSave(work, p), {}});
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    EXPECT_EQ(status.texts, QStringList({save_status::kSaving, save_status::kCopying,
                                         save_status::kCleaning, save_status::kDone}));
    // The converter run by hand on the same bitmaps makes the same archive.
    QTemporaryDir ref;
    for (const PictureJob& j : p.pictures)
        ASSERT_TRUE(convertPicture(j.dir + j.name, ref.filePath(j.workName)));
    ASSERT_TRUE(writeLines(ref.filePath(QStringLiteral("cmd.txt")), p.commandFile));
    ASSERT_EQ(runBmconv(ref.path(), {QStringLiteral("cmd.txt")}), 0);
    EXPECT_EQ(readAll(target), readAll(ref.filePath(p.outputName)));
    // At /c24 the archive gives back the pictures' pixels.
    const std::vector<QImage> back = splitArchive(target, 3);
    ASSERT_EQ(back.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(samePixels(back[size_t(i)],
                               asConverterKeepsIt(QImage(pics.filePath(entries[size_t(i)].name)))))
            << i;
    waitForCleanUp();
    EXPECT_EQ(filesIn(pf.folder().temp()), QStringList({"error.log"}));
}

TEST_F(SaveBuild, MissingToolIsReportedAndTheTargetStaysUntouched) {
    TempProgramFolder noTool(false, true);
    makePictures({"a.png"});
    writeAll(target, "old archive");
    const SavePlan p = makeSavePlan(noTool.folder(), entries, QStringLiteral("icons"), target);
    const Status s = build(p, {prepareSave(WorkFolders(noTool.folder()), p), {}});
    ASSERT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains(QLatin1String("not saved"))) << s.error.toStdString();
    EXPECT_TRUE(s.error.contains(QLatin1String("bmconv.exe"))) << s.error.toStdString();
    EXPECT_FALSE(status.texts.contains(save_status::kDone));
    EXPECT_FALSE(status.texts.contains(save_status::kCopying));
    EXPECT_EQ(readAll(target), QByteArray("old archive"));
}

TEST_F(SaveBuild, AStaleOutputOrMarkerNeverPassesForTheResult) {
    TempProgramFolder noTool(false, true);
    makePictures({"a.png"});
    const SavePlan p = makeSavePlan(noTool.folder(), entries, QStringLiteral("icons"), target);
    QDir().mkpath(noTool.folder().temp());
    writeAll(p.outputPath(), "archive of an interrupted build");
    writeAll(noTool.folder().inTemp(QStringLiteral("end.log")), "\"Done\"\r\n");
    const Status s = build(p, {prepareSave(WorkFolders(noTool.folder()), p), {}});
    EXPECT_FALSE(s.ok);
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(SaveBuild, PassesOnTheConvertersOwnMessage) {
    makePictures({"a.png", "b.png"});
    const SavePlan p = plan();
    const QStringList problems = prepareSave(work, p);
    convert(p);
    // A bitmap the converter rejects: the conversion wrote it, then it got damaged.
    writeAll(p.folder.inTemp(p.pictures[1].workName), "BM not really a bitmap");
    const Status s = runBuild(p, {problems, {}}, status, shortPauses());
    ASSERT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains(QLatin1String("Bad source file(s)."))) << s.error.toStdString();
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_FALSE(status.texts.contains(save_status::kDone));
}

TEST_F(SaveBuild, NamesThePicturesThatCouldNotBeConverted) {
    makePictures({"a.png"});
    writeAll(pics.filePath(QStringLiteral("broken.jpg")), "not a picture");
    entries.push_back(
        {QStringLiteral("/c8"), pics.path() + QLatin1Char('/'), QStringLiteral("broken.jpg")});
    writeAll(target, "old archive");
    const SavePlan p = plan();
    const Status s = build(p, {prepareSave(work, p), {}});
    ASSERT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains(QLatin1String("broken.jpg"))) << s.error.toStdString();
    EXPECT_EQ(readAll(target), QByteArray("old archive"));
    waitForCleanUp();
    EXPECT_EQ(filesIn(pf.folder().temp()), QStringList({"error.log"}));
}

TEST_F(SaveBuild, WithoutTheBatchInterpreterTheWorkFilesAreRemovedDirectly) {
    TempProgramFolder noRunner(true, false);
    makePictures({"a.png"});
    const SavePlan p = makeSavePlan(noRunner.folder(), entries, QStringLiteral("icons"), target);
    const Status s = build(p, {prepareSave(WorkFolders(noRunner.folder()), p), {}});
    ASSERT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains(QLatin1String("batchrun"))) << s.error.toStdString();
    EXPECT_TRUE(filesIn(noRunner.folder().temp()).isEmpty())
        << filesIn(noRunner.folder().temp()).join(' ').toStdString();
}

TEST(ReplaceAtomically, ReplacesAWholeFileOrNothing) {
    QTemporaryDir dir;
    const QString from = dir.filePath(QStringLiteral("new")),
                  to = dir.filePath(QStringLiteral("t"));
    writeAll(to, "old");
    EXPECT_FALSE(replaceAtomically(dir.filePath(QStringLiteral("missing")), to).ok);
    EXPECT_EQ(readAll(to), QByteArray("old"));
    const QByteArray big(3 * 1024 * 1024 + 17, 'x');
    writeAll(from, big);
    ASSERT_TRUE(replaceAtomically(from, to).ok);
    EXPECT_EQ(readAll(to), big);
    EXPECT_EQ(filesIn(dir.path()), QStringList({"new", "t"})) << "no temporary file left";
    EXPECT_FALSE(replaceAtomically(from, dir.filePath(QStringLiteral("no/such/dir/t"))).ok);
}

TEST(ConverterMessage, DropsTheReportHeader) {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("error.log"));
    writeAll(log, "\n\nBMCONV version 119 (MBM Zembrel).\nCompiling...\nMultiple bitmap store "
                  "type: File store\nEpoc file: x\n\nBitmap file 1\t: a.bmp\n"
                  "a.bmp: cannot open a.bmp\nFile does not exist\n");
    EXPECT_EQ(converterMessage(log),
              QStringLiteral("a.bmp: cannot open a.bmp\nFile does not exist"));
    EXPECT_EQ(converterMessage(dir.filePath(QStringLiteral("none"))), QString());
}

} // namespace
