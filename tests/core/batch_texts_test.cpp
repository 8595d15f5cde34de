// Every job batch byte for byte, as written to disk: head lines, job lines, CR LF.
#include "jobs/batch_texts.h"
#include "jobs/text_file.h"
#include "support/test_support.h"

#include <QTemporaryDir>

using testing_support::crlf;
using testing_support::readAll;

namespace {

// A Linux folder has no drive, so its batches have no drive line.
TEST(BatchTextsTest, EveryBatchLineByLine) {
    const ProgramFolder pf("/opt/mbm");
    struct Case {
        const char* name;
        QStringList lines, expected;
    };
    const Case cases[] = {
        {"build",
         buildBatch(pf, {"a.bmp", "b.bmp"}),
         {"cd \"/opt/mbm/temp/\"", "bmconv.exe mbmcreater.txt > error.log", "echo off", "del a.bmp",
          "del b.bmp", "del mbmcreater.txt", "del bmconv.exe", "echo \"Done\" > end.log"}},
        {"build cleanup",
         buildCleanupBatch(pf, {"icons.mbm"}),
         {"cd \"/opt/mbm/temp\"", "del end.log", "del mbmcreater.bat", "del icons.mbm",
          "del cleanup.bat"}},
        {"build cleanup with header",
         buildCleanupBatch(pf, {"icons.mbm", "icons.mbg"}),
         {"cd \"/opt/mbm/temp\"", "del end.log", "del mbmcreater.bat", "del icons.mbm",
          "del icons.mbg", "del cleanup.bat"}},
        {"scan",
         scanBatch(pf, "icons.mbm"),
         {"cd \"/opt/mbm/tempextract\"", "bmconv /v icons.mbm > temp.log",
          "echo \"done\" > end.log"}},
        {"extract", extractBatch(pf), {"cd \"/opt/mbm/tempextract\"", "bmconv extract.txt"}},
        {"reading cleanup",
         readingCleanupBatch(pf, "icons.mbm"),
         {"cd \"/opt/mbm/tempextract\"", "del scan.bat", "del temp.log", "del end.log",
          "del extract.txt", "del extract.bat", "del bmconv.exe", "del icons.mbm",
          "del cleanup.bat"}},
        {"general cleanup",
         generalCleanupBatch(pf),
         {"cd \"/opt/mbm/tempextract\"", "del *.bmp", "del *.txt", "del *.exe", "del *.log",
          "del cleanup.bat"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.lines, c.expected) << c.name;
}

TEST(BatchTextsTest, DriveLineIsTheDriveLetterAndColonWhereThePathHasOne) {
    const struct {
        const char* folder;
        const char* drive;
    } cases[] = {{"C:\\Tools\\mbm", "C:"}, {"d:\\", "d:"}, {"/home/u/bin/", ""}, {"/h:/x", ""},
                 {"\\\\srv\\share", ""},   {"1:\\x", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(ProgramFolder("/opt").seenByBatchesAs(c.folder, '\\').driveLine(), c.drive)
            << c.folder;
    EXPECT_EQ(ProgramFolder("C:\\Tools\\mbm").driveLine(), "C:");
    EXPECT_EQ(ProgramFolder("/home/u/bin/").path(), "/home/u/bin");
}

TEST(BatchTextsTest, AWorkRootOfItsOwnCarriesTheDriveAndCdLines) {
    const ProgramFolder pf("/usr/lib/mbmzembrel", "/home/u/.cache/mbmzembrel/");
    EXPECT_EQ(pf.workRoot(), "/home/u/.cache/mbmzembrel");
    EXPECT_EQ(pf.bmconv(), "/usr/lib/mbmzembrel/bmconv.exe");
    EXPECT_EQ(pf.inTemp("x"), "/home/u/.cache/mbmzembrel/temp/x");
    EXPECT_EQ(scanBatch(pf, "a.mbm").at(0), "cd \"/home/u/.cache/mbmzembrel/tempextract\"");
    EXPECT_EQ(buildBatch(pf, {}).at(0), "cd \"/home/u/.cache/mbmzembrel/temp/\"");
}

// The work root seen by a Windows interpreter under another name: only the head lines change.
TEST(BatchTextsTest, HeadLinesNameTheWorkRootAsTheBatchesSeeIt) {
    const ProgramFolder pf =
        ProgramFolder("/opt/mbm/", "/var/mbm").seenByBatchesAs("Z:\\var\\mbm\\", '\\');
    EXPECT_EQ(pf.path(), "/opt/mbm");
    EXPECT_EQ(pf.inTemp("end.log"), "/var/mbm/temp/end.log");
    EXPECT_EQ(buildBatch(pf, {"a.bmp"}).mid(0, 3),
              QStringList(
                  {"Z:", "cd \"Z:\\var\\mbm\\temp\\\"", "bmconv.exe mbmcreater.txt > error.log"}));
    EXPECT_EQ(generalCleanupBatch(pf).mid(0, 3),
              QStringList({"Z:", "cd \"Z:\\var\\mbm\\tempextract\"", "del *.bmp"}));
}

TEST(BatchTextsTest, WrittenWithCrLfAndReplacingAnOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("x.bat");
    testing_support::writeAll(path, QByteArray(500, 'z'));
    const QStringList lines = scanBatch(ProgramFolder("C:\\Tools\\mbm"), "icons.mbm");
    ASSERT_TRUE(writeLines(path, lines).ok);
    EXPECT_EQ(readAll(path), crlf(lines));
    EXPECT_EQ(readLines(path), lines);
}

TEST(BatchTextsTest, WritingIntoAMissingFolderFailsWithAMessage) {
    QTemporaryDir dir;
    const Status s = writeLines(dir.filePath("missing/x.bat"), {"a"});
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains("x.bat")) << s.error.toStdString();
}

} // namespace
