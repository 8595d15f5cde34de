// FileExists, the waits and clean_up against a real program folder with batchrun.
#include "jobs/file_exists.h"
#include "jobs/marker_wait.h"
#include "jobs/text_file.h"
#include "jobs/work_folders.h"
#include "support/test_support.h"

#include <QElapsedTimer>
#include <QTest>

using namespace testing_support;

namespace {

TEST(FileExistsTest, Cases) {
    QTemporaryDir dir;
    writeAll(dir.filePath("f.txt"), "x");
    QDir(dir.path()).mkdir("sub");
    struct Case {
        QString path;
        bool expected;
    };
    const Case cases[] = {
        {dir.filePath("f.txt"), true},
        {dir.filePath("f.txt") + "/", true},
        {dir.filePath("f.txt") + "\\", true},
        {dir.filePath("sub"), false},
        {dir.filePath("sub") + "/", false},
        {dir.filePath("missing.txt"), false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileExists(c.path), c.expected) << c.path.toStdString();
}

TEST(SameFolderTest, Cases) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("work/temp");
    QFile::link(dir.filePath("work"), dir.filePath("link"));
    const QString temp = dir.filePath("work/temp");
    struct Case {
        QString other;
        bool expected;
    };
    const Case cases[] = {
        {temp, true},
        {temp + "/", true},
        {dir.filePath("work/./temp"), true},
        {dir.filePath("work/sub/../temp"), true},
        {dir.filePath("link/temp"), true}, // through a link
        {dir.filePath("work"), false},
        {dir.filePath("work/temp2"), false},
        {dir.filePath("work/missing/../temp"), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sameFolder(c.other, temp), c.expected) << c.other.toStdString();
}

TEST(WaitTest, EndsWhenTheConditionHoldsOrTheBatchHasEnded) {
    // Nothing started: the wait does not hang, it reports that the batch has ended.
    int tests = 0;
    EXPECT_EQ(waitUntil([&] { return ++tests > 1000; }, BatchProcess{}, shortPauses()),
              WaitResult::BatchEnded);
    EXPECT_LE(tests, 3);
    EXPECT_EQ(waitUntil([] { return true; }, BatchProcess{}, shortPauses()), WaitResult::Done);
}

TEST(WaitTest, CeilingEndsAWaitOnABatchThatNeverFinishes) {
    TempProgramFolder pf;
    // A batch that runs a program which never ends: the ceiling must stop the wait.
    QDir(pf.path()).mkdir("temp");
    const QString script = pf.file("temp/sleeper");
    writeAll(script, "#!/bin/sh\nsleep 30\n");
    QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner);
    const QString bat = pf.file("temp/job.bat");
    ASSERT_TRUE(writeLines(bat, {"cd \"" + pf.file("temp") + "\"", "sleeper"}).ok);
    const BatchProcess batch = platform::startBatchHidden(pf.folder(), bat);
    ASSERT_TRUE(batch.started()) << batch.error.toStdString();
    WaitOptions options = shortPauses();
    options.ceilingMs = 300;
    EXPECT_EQ(waitForFile(pf.file("temp/end.log"), batch, options), WaitResult::TimedOut);
    // The interpreter, the script and its sleep all go, not only the interpreter.
    EXPECT_TRUE(endBatchAndItsPrograms(batch));
}

// The one wait with the program's own pauses: the first test comes 200 ms after the start.
TEST(WaitTest, RealPausesPutTheFirstTestAt200Ms) {
    TempProgramFolder pf;
    QDir(pf.path()).mkdir("temp");
    const QString bat = pf.file("temp/job.bat");
    ASSERT_TRUE(writeLines(bat, {pf.folder().driveLine(), "cd \"" + pf.file("temp") + "\"",
                                 "echo \"Done\" > end.log"})
                    .ok);
    QElapsedTimer clock;
    clock.start();
    const BatchProcess batch = platform::startBatchHidden(pf.folder(), bat);
    ASSERT_TRUE(batch.started());
    EXPECT_EQ(waitForFile(pf.file("temp/end.log"), batch), WaitResult::Done);
    EXPECT_GE(clock.elapsed(), 200);
}

TEST(WaitTest, BatchThatEndsWithoutItsMarkerEndsTheWait) {
    TempProgramFolder pf;
    QDir(pf.path()).mkdir("temp");
    const QString bat = pf.file("temp/job.bat");
    ASSERT_TRUE(writeLines(bat, {"cd \"" + pf.file("temp") + "\"", "del nothing.txt"}).ok);
    const BatchProcess batch = platform::startBatchHidden(pf.folder(), bat);
    ASSERT_TRUE(batch.started());
    EXPECT_EQ(waitForFile(pf.file("temp/end.log"), batch, shortPauses()), WaitResult::BatchEnded);
}

TEST(WaitTest, MissingInterpreterIsReportedNotStarted) {
    TempProgramFolder pf(true, false);
    const BatchProcess batch = platform::startBatchHidden(pf.folder(), pf.file("x.bat"));
    EXPECT_FALSE(batch.started());
    EXPECT_TRUE(batch.error.contains("batchrun"));
}

TEST(CleanUpTest, DeletesWorkFiles) {
    TempProgramFolder pf;
    WorkFolders work = quickWorkFolders(pf.folder());
    QDir(pf.path()).mkdir("tempextract");
    for (const char* name : {"a.bmp", "B.BMP", "x.txt", "bmconv.exe", "temp.log", "keep.mbm"})
        writeAll(pf.file(QString("tempextract/") + name), "x");
    EXPECT_TRUE(work.cleanUp().ok);
    work.waitForCleanUp();
    EXPECT_FALSE(QFile::exists(pf.file("tempextract/cleanup.bat")));
    const QStringList left = QDir(pf.file("tempextract")).entryList(QDir::Files);
    EXPECT_EQ(left, QStringList({"keep.mbm"}));
}

TEST(CleanUpTest, MissingWorkFolderIsReported) {
    TempProgramFolder pf;
    WorkFolders work = quickWorkFolders(pf.folder());
    const Status s = work.cleanUp();
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains("tempextract"));
    work.waitForCleanUp(); // nothing started: returns at once
    EXPECT_FALSE(QDir(pf.file("tempextract")).exists());
}

TEST(PrepareTest, CreatesTheFolderAndCopiesTheTool) {
    TempProgramFolder pf;
    WorkFolders work(pf.folder());
    EXPECT_TRUE(work.prepare(pf.folder().temp()).ok);
    EXPECT_TRUE(work.prepare(pf.folder().temp()).ok); // an existing folder is no error
    EXPECT_EQ(readAll(pf.file("temp/bmconv.exe")), readAll(pf.file("bmconv.exe")));

    TempProgramFolder bare(false, true);
    const Status s = WorkFolders(bare.folder()).prepare(bare.folder().temp());
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains("bmconv.exe"));
}

} // namespace
