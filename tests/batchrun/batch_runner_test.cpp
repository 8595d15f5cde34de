// Running lines against real files in a temporary folder; program starts are
// recorded, not run.
#include "batch_runner.h"
#include "test_support.h"

#include <sstream>

namespace batchrun::test {
namespace {

struct Runner {
    explicit Runner(const TempFolder& dir)
        : runner(launcher, dir.path().string(), report, console, "job.bat") {}
    RecordingLauncher launcher;
    std::ostringstream report, console;
    BatchRunner runner;
};

// ---- del ----

struct DeleteCase {
    std::vector<std::string> files; // names ending in '/' are folders
    std::string line;
    std::set<std::string> left;
    bool ok;
};

class DeleteTest : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteTest, DeletesWhatWindowsWouldAndNothingElse) {
    const DeleteCase& c = GetParam();
    TempFolder dir;
    for (const std::string& f : c.files) {
        if (f.back() == '/')
            fs::create_directory(dir / f);
        else
            writeBytes(dir / f, "x");
    }
    Runner r(dir);
    EXPECT_EQ(r.runner.runLine(c.line, 1), c.ok) << c.line;
    EXPECT_EQ(dir.names(), c.left) << c.line;
    EXPECT_EQ(r.report.str().empty(), c.ok) << r.report.str();
    EXPECT_TRUE(r.launcher.starts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Names, DeleteTest,
    ::testing::Values(
        DeleteCase{
            {"a.bmp", "B.BMP", "c.Bmp", "d.txt", "e.bmpx"}, "del *.bmp", {"d.txt", "e.bmpx"}, true},
        DeleteCase{{"a.BMP", "b.txt"}, "DEL *.bmp", {"b.txt"}, true},
        DeleteCase{{"x.txt"}, "del X.TXT", {}, true},
        DeleteCase{{"x.txt", "X.TXT"}, "del x.txt", {"X.TXT"}, true},
        DeleteCase{{"ab.bmp", "a.bmp"}, "del ?.BMP", {"ab.bmp"}, true},
        DeleteCase{{"noext", "a.b", "sub/"}, "del *.*", {"sub/"}, true},
        DeleteCase{{"keep.txt"}, "del missing.txt", {"keep.txt"}, false},
        DeleteCase{{"keep.txt"}, "del *.log", {"keep.txt"}, true},
        DeleteCase{{"keep.txt", "sub/"}, "del s*", {"keep.txt", "sub/"}, true},
        DeleteCase{{"sub/"}, "del sub", {"sub/"}, false},
        DeleteCase{{"sub/"}, "del SUB", {"sub/"}, false},
        DeleteCase{{"sub/", "sub/a.bmp"}, "del s*/a.bmp", {"sub/"}, false},
        DeleteCase{{"sub/", "sub/a.bmp"}, "del sub/A.BMP", {"sub/"}, true},
        // Shell characters are plain characters of the name.
        DeleteCase{{"a&touch x", "a"}, "del a&touch x", {"a"}, true},
        DeleteCase{{"my file.bmp", "my", "file.bmp"}, "del my file.bmp", {"my", "file.bmp"}, true},
        DeleteCase{{"$(touch y)", "a;b|c>d", "`v`"}, "del $(touch y)", {"a;b|c>d", "`v`"}, true},
        DeleteCase{{"a;b|c>d"}, "del a;b|c>d", {}, true},
        DeleteCase{{"q.txt"}, "del \"q.txt\"", {}, true}));

// The folder the batch works in may hold wildcard characters; only the name in the line
// is a pattern.
TEST(DeleteInOddFolder, WildcardsInTheCurrentFolderAreJustCharacters) {
    TempFolder dir;
    const fs::path odd = dir / "what?dir*";
    fs::create_directory(odd);
    writeBytes(odd / "a.bmp", "x");
    writeBytes(odd / "job.bat", "x");
    writeBytes(odd / "keep.txt", "x");
    RecordingLauncher launcher;
    std::ostringstream report, console;
    BatchRunner runner(launcher, odd.string(), report, console, "job.bat");
    EXPECT_TRUE(runner.runLine("del *.bmp", 1)) << report.str();
    EXPECT_TRUE(runner.runLine("del job.bat", 2)) << report.str();
    EXPECT_FALSE(fs::exists(odd / "a.bmp"));
    EXPECT_FALSE(fs::exists(odd / "job.bat"));
    EXPECT_TRUE(fs::exists(odd / "keep.txt"));
}

// ---- echo ----

struct EchoCase {
    std::string before; // content of out.log before; "-" = no file
    std::string line;
    std::string bytes; // content of out.log after
};

class EchoTest : public ::testing::TestWithParam<EchoCase> {};

TEST_P(EchoTest, WritesExactBytes) {
    const EchoCase& c = GetParam();
    TempFolder dir;
    if (c.before != "-") writeBytes(dir / "out.log", c.before);
    Runner r(dir);
    EXPECT_TRUE(r.runner.runLine(c.line, 1)) << r.report.str();
    EXPECT_EQ(readBytes(dir / "out.log"), c.bytes) << c.line;
    EXPECT_EQ(dir.names(), std::set<std::string>{"out.log"}) << "created another file";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EchoTest,
    ::testing::Values(EchoCase{"-", "echo \"Done\" > out.log", "\"Done\" \r\n"},
                      EchoCase{"-", "echo \"done\" > out.log", "\"done\" \r\n"},
                      EchoCase{"older and longer", "echo hi>out.log", "hi\r\n"},
                      EchoCase{"-", "echo  two  blanks  > out.log", " two  blanks  \r\n"},
                      EchoCase{"old\r\n", "echo x >> out.log", "old\r\nx \r\n"},
                      EchoCase{"-", "echo a&touch x > out.log", "a&touch x \r\n"},
                      EchoCase{"-", "echo $(touch y) `touch z`;w|v > \"out.log\"",
                               "$(touch y) `touch z`;w|v \r\n"},
                      EchoCase{"-", "echo \"a>b\" > out.log", "\"a>b\" \r\n"},
                      EchoCase{"-", "echo \xE4\xF6\xFC > out.log", "\xE4\xF6\xFC \r\n"}));

// ---- programs ----

struct ProgramCase {
    std::vector<std::string> files;
    std::string line;
    std::string found; // file name of the started program; "" = not found
};

class ProgramLookupTest : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramLookupTest, FindsProgramInCurrentFolder) {
    const ProgramCase& c = GetParam();
    TempFolder dir;
    for (const std::string& f : c.files) {
        if (f.back() == '/')
            fs::create_directory(dir / f);
        else
            writeBytes(dir / f, "x");
    }
    Runner r(dir);
    bool ok = r.runner.runLine(c.line, 3);
    if (c.found.empty()) {
        EXPECT_FALSE(ok);
        EXPECT_TRUE(r.launcher.starts.empty());
        EXPECT_NE(r.report.str().find("job.bat line 3"), std::string::npos) << r.report.str();
        return;
    }
    EXPECT_TRUE(ok) << r.report.str();
    ASSERT_EQ(r.launcher.starts.size(), 1u);
    EXPECT_EQ(r.launcher.starts[0].program, (dir / c.found).string());
}

INSTANTIATE_TEST_SUITE_P(
    Names, ProgramLookupTest,
    ::testing::Values(ProgramCase{{"bmconv.exe"}, "bmconv x", "bmconv.exe"},
                      ProgramCase{{"BMCONV.EXE"}, "bmconv x", "BMCONV.EXE"},
                      ProgramCase{{"bmconv.exe"}, "bmconv.exe x", "bmconv.exe"},
                      ProgramCase{{"bmconv.exe"}, "BMConv.Exe x", "bmconv.exe"},
                      ProgramCase{{"tool"}, "tool", "tool"},
                      ProgramCase{{"tool", "tool.exe"}, "tool", "tool.exe"},
                      ProgramCase{{"bmconv"}, "bmconv.exe", ""},
                      ProgramCase{{"bmconv.exe/"}, "bmconv", ""},
                      ProgramCase{{}, "bmconv /v a.mbm > temp.log", ""}));

TEST(RunProgramTest, HandsArgumentsFolderAndRedirectionsOver) {
    TempFolder dir;
    writeBytes(dir / "bmconv.exe", "x");
    Runner r(dir);
    EXPECT_TRUE(r.runner.runLine("bmconv /v \"my icons.mbm\" a&b>temp.log 2>>err.log", 1));
    ASSERT_EQ(r.launcher.starts.size(), 1u);
    const ProgramStart& s = r.launcher.starts[0];
    EXPECT_EQ(s.args, (std::vector<std::string>{"/v", "my icons.mbm", "a&b"}));
    EXPECT_EQ(s.folder, dir.path().string());
    ASSERT_TRUE(s.out && s.err);
    EXPECT_EQ(s.out->path, (dir / "temp.log").string());
    EXPECT_FALSE(s.out->append);
    EXPECT_EQ(s.err->path, (dir / "err.log").string());
    EXPECT_TRUE(s.err->append);
}

TEST(RunProgramTest, ReportsProgramThatFailedToStartOrEndedBadly) {
    TempFolder dir;
    writeBytes(dir / "bmconv.exe", "x");
    Runner r(dir);
    r.launcher.outcome = RunOutcome{false, 0, 0, "cannot start bmconv.exe: Exec format error"};
    EXPECT_FALSE(r.runner.runLine("bmconv a", 4));
    r.launcher.outcome = RunOutcome{true, 3, 0, "bmconv.exe ended with exit code 3"};
    EXPECT_FALSE(r.runner.runLine("bmconv b", 5));
    EXPECT_NE(r.report.str().find("line 4: cannot start"), std::string::npos);
    EXPECT_NE(r.report.str().find("line 5: bmconv.exe ended with exit code 3"), std::string::npos);
}

struct RecordCase {
    const char* label;
    RunOutcome outcome;
    std::string recorded; // the line appended to the output file; "" for none
};

class FailureRecordTest : public ::testing::TestWithParam<RecordCase> {};

// A failed program line leaves its kind of failure at the end of its output file, so the
// editor can tell a crashed converter from one that refused the archive.
TEST_P(FailureRecordTest, EndsTheOutputFileWithTheFailure) {
    const RecordCase& c = GetParam();
    TempFolder dir;
    writeBytes(dir / "bmconv.exe", "x");
    writeBytes(dir / "temp.log", "listing\r\n");
    Runner r(dir);
    r.launcher.outcome = c.outcome;
    r.runner.runLine("bmconv /v a.mbm > temp.log", 1);
    EXPECT_EQ(readBytes(dir / "temp.log"), "listing\r\n" + c.recorded);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, FailureRecordTest,
    ::testing::Values(
        RecordCase{"success", RunOutcome{true, 0, 0, ""}, ""},
        RecordCase{"exit", RunOutcome{true, 4, 0, "x"},
                   "batchrun: exit: bmconv.exe ended with exit code 4\r\n"},
        RecordCase{"signal", RunOutcome{true, 0, 11, "x"},
                   "batchrun: signal: bmconv.exe was ended by " + signalText(11) + "\r\n"},
        RecordCase{"start", RunOutcome{false, 0, 0, "cannot start bmconv.exe: Permission denied"},
                   "batchrun: start: cannot start bmconv.exe: Permission denied\r\n"}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- cd and the order of lines ----

TEST(ChangeDirTest, FollowsQuotedRelativeAndBackslashedFolders) {
    TempFolder dir;
    fs::create_directories(dir / "a b/in ner");
    Runner r(dir);
    EXPECT_TRUE(r.runner.runLine("cd \"" + (dir / "a b").string() + "\"", 1));
    EXPECT_EQ(r.runner.folder(), (dir / "a b").string());
    EXPECT_TRUE(r.runner.runLine("cd in ner", 2));
    EXPECT_EQ(r.runner.folder(), (dir / "a b/in ner").string());
    EXPECT_TRUE(r.runner.runLine("cd ..\\..\\", 3));
    EXPECT_EQ(r.runner.folder(), dir.path().string());
    EXPECT_EQ(r.report.str(), "");
}

TEST(ChangeDirTest, FailedCdProtectsTheOldFolderUntilNextCdSucceeds) {
    TempFolder dir;
    fs::create_directory(dir / "work");
    writeBytes(dir / "precious.txt", "mine");
    writeBytes(dir / "work/tmp.txt", "work");
    Runner r(dir);
    const std::vector<std::string> lines{"cd \"" + (dir / "gone").string() + "\"",
                                         "del *.txt",
                                         "echo x > made.log",
                                         "prog",
                                         "cd work",
                                         "del *.txt"};
    EXPECT_EQ(r.runner.runAll(lines), 4u) << r.report.str();
    EXPECT_EQ(readBytes(dir / "precious.txt"), "mine");
    EXPECT_FALSE(fs::exists(dir / "made.log"));
    EXPECT_FALSE(fs::exists(dir / "work/tmp.txt"));
    EXPECT_NE(r.report.str().find("line 2: skipped, because the folder change on line 1"),
              std::string::npos)
        << r.report.str();
}

TEST(BatchOrderTest, FailingLinesAreReportedAndTheNextLineRuns) {
    TempFolder dir;
    Runner r(dir);
    const std::vector<std::string> lines{
        "/h",       "",         "C:",  "del nothing.bmp",        "nothere",
        "copy a b", "echo off", "p >", "echo \"done\" > end.log"};
    EXPECT_EQ(r.runner.runAll(lines), 5u);
    EXPECT_EQ(readBytes(dir / "end.log"), "\"done\" \r\n");
    const std::string rep = r.report.str();
    for (int n : {1, 4, 5, 6, 8})
        EXPECT_NE(rep.find("job.bat line " + std::to_string(n) + ":"), std::string::npos)
            << n << "\n"
            << rep;
    for (int n : {2, 3, 7, 9})
        EXPECT_EQ(rep.find("job.bat line " + std::to_string(n) + ":"), std::string::npos) << n;
}

TEST(BatchOrderTest, EchoWithoutFileWritesToConsole) {
    TempFolder dir;
    Runner r(dir);
    EXPECT_TRUE(r.runner.runLine("echo a & b ", 1));
    EXPECT_EQ(r.console.str(), "a & b \r\n");
    EXPECT_TRUE(dir.names().empty());
}

} // namespace
} // namespace batchrun::test
