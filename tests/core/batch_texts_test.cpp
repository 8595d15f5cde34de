// Every job batch byte for byte, as written to disk: head lines, job lines, CR LF.
#include "jobs/batch_texts.h"
#include "jobs/text_file.h"
#include "support/test_support.h"

#include <QTemporaryDir>

#include <functional>

using testing_support::crlf;
using testing_support::readAll;

namespace {

// Each batch for a Linux folder (no drive, so no drive line) and for the same folder as a
// Windows interpreter sees it (the drive line first).
TEST(BatchTextsTest, EveryBatchLineByLine) {
    const ProgramFolder pf("/opt/mbm");
    const ProgramFolder win = pf.seenByBatchesAs("C:\\mbm", '\\');
    struct Case {
        const char* name;
        std::function<QStringList(const ProgramFolder&)> make;
        const char* folder; // the work folder as the cd line names it, after the root
        QStringList body;   // the lines after the cd line
    };
    const Case cases[] = {
        {"build",
         [](const ProgramFolder& f) {
             return buildBatch(f, {"a.bmp", "b.bmp"});
         },
         "temp/",
         {"bmconv.exe mbmcreater.txt > error.log", "echo off", "del a.bmp", "del b.bmp",
          "del mbmcreater.txt", "del bmconv.exe", "echo \"Done\" > end.log"}},
        {"build cleanup",
         [](const ProgramFolder& f) { return buildCleanupBatch(f, {"icons.mbm"}); },
         "temp",
         {"del end.log", "del mbmcreater.bat", "del icons.mbm", "del cleanup.bat"}},
        {"build cleanup with header",
         [](const ProgramFolder& f) {
             return buildCleanupBatch(f, {"icons.mbm", "icons.mbg"});
         },
         "temp",
         {"del end.log", "del mbmcreater.bat", "del icons.mbm", "del icons.mbg",
          "del cleanup.bat"}},
        {"scan",
         [](const ProgramFolder& f) { return scanBatch(f, "icons.mbm"); },
         "tempextract",
         {"bmconv /v icons.mbm > temp.log", "echo \"done\" > end.log"}},
        {"extract",
         [](const ProgramFolder& f) { return extractBatch(f); },
         "tempextract",
         {"bmconv extract.txt"}},
        {"reading cleanup",
         [](const ProgramFolder& f) { return readingCleanupBatch(f, "icons.mbm"); },
         "tempextract",
         {"del scan.bat", "del temp.log", "del end.log", "del extract.txt", "del extract.bat",
          "del bmconv.exe", "del icons.mbm", "del cleanup.bat"}},
        {"general cleanup",
         [](const ProgramFolder& f) { return generalCleanupBatch(f); },
         "tempextract",
         {"del *.bmp", "del *.txt", "del *.exe", "del *.log", "del cleanup.bat"}},
    };
    for (const Case& c : cases) {
        const QString folder = QString::fromLatin1(c.folder);
        EXPECT_EQ(c.make(pf), QStringList({"cd \"/opt/mbm/" + folder + "\""}) + c.body) << c.name;
        const QString winFolder = QString(folder).replace('/', '\\');
        EXPECT_EQ(c.make(win), QStringList({"C:", "cd \"C:\\mbm\\" + winFolder + "\""}) + c.body)
            << c.name;
    }
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
