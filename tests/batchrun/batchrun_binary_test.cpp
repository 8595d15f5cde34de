// The built batchrun program on real batch files, with small shell scripts
// standing in for bmconv.exe.
#include "test_support.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace batchrun::test {
namespace {

const std::string kBatchrun = std::string(ZEMBREL_BIN_DIR) + "/batchrun";

// Prints its argument count and each argument in brackets.
const char* const kArgsScript =
    "#!/bin/sh\necho \"n=$#\"\nfor a in \"$@\"; do echo \"[$a]\"; done\n";

struct Result {
    bool started = false;
    int exitCode = -1;
    std::string out, err;
};

// Runs batchrun with `args` in `dir`, capturing its output in files outside `dir`.
Result runBatchrun(const fs::path& dir, std::vector<std::string> args) {
    TempFolder capture;
    auto launcher = makeSystemLauncher();
    ProgramStart s;
    s.program = kBatchrun;
    s.args = std::move(args);
    s.folder = dir.string();
    s.out = Redirect{(capture / "out").string(), false};
    s.err = Redirect{(capture / "err").string(), false};
    RunOutcome o = launcher->run(s);
    Result r;
    r.started = o.started;
    r.exitCode = o.exitCode;
    r.out = readBytes(capture / "out");
    r.err = readBytes(capture / "err");
    return r;
}

Result runBatch(const TempFolder& dir, const std::string& name, const std::string& text) {
    writeBytes(dir / name, text);
    return runBatchrun(dir.path(), {(dir / name).string()});
}

TEST(BatchrunProgramTest, RunsABuildBatchLikeTheEditorWritesIt) {
    TempFolder dir;
    fs::create_directory(dir / "temp");
    writeProgram(dir / "temp/bmconv.exe", kArgsScript);
    writeBytes(dir / "temp/mbmcreater.txt", "out.mbm\r\n/c24a.bmp\r\n");
    writeBytes(dir / "temp/A.BMP", "x");
    const std::string bat = std::string(dir.path().string(), 0, 2) + "\r\ncd \"" +
                            (dir / "temp").string() + "/\"\r\n" +
                            "bmconv.exe mbmcreater.txt \"x y\" > error.log\r\n"
                            "echo off\r\n"
                            "del a.bmp\r\n"
                            "del mbmcreater.txt\r\n"
                            "del bmconv.exe\r\n"
                            "echo \"Done\" > end.log\r\n";
    Result r = runBatch(dir, "temp/mbmcreater.bat", bat);
    ASSERT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(readBytes(dir / "temp/error.log"), "n=2\n[mbmcreater.txt]\n[x y]\n");
    EXPECT_EQ(readBytes(dir / "temp/end.log"), "\"Done\" \r\n");
    EXPECT_EQ(dir.names(), std::set<std::string>{"temp/"});
    std::set<std::string> left;
    for (const auto& e : fs::directory_iterator(dir / "temp"))
        left.insert(e.path().filename());
    EXPECT_EQ(left, (std::set<std::string>{"end.log", "error.log", "mbmcreater.bat"}));
    // Only the drive line ("/t" on Linux) is reported.
    EXPECT_NE(r.err.find("mbmcreater.bat line 1: unknown line"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("line 2"), std::string::npos) << r.err;
}

TEST(BatchrunProgramTest, CleanupBatchDeletesItselfAsLastLine) {
    TempFolder dir;
    for (const char* f : {"a.bmp", "b.TXT", "bmconv.exe", "end.log", "keep.mbm"})
        writeBytes(dir / f, "x");
    Result r = runBatch(dir, "cleanup.bat",
                        "cd \"" + dir.path().string() +
                            "\"\ndel *.bmp\ndel *.txt\ndel *.exe\ndel *.log\ndel cleanup.bat\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.names(), std::set<std::string>{"keep.mbm"});
}

TEST(BatchrunProgramTest, NamesNeverReachAShell) {
    TempFolder dir;
    fs::copy_file("/bin/echo", dir / "say");
    for (const char* f : {"a&touch x", "b;touch y", "c|touch z", "$(touch w)", "`touch v`"})
        writeBytes(dir / f, "x");
    const std::string bat = "cd " + dir.path().string() +
                            "\r\n"
                            "del a&touch x\r\n"
                            "del b;touch y\r\n"
                            "del c|touch z\r\n"
                            "del $(touch w)\r\n"
                            "del `touch v`\r\n"
                            "echo a&touch x;touch y|touch z $(touch w) `touch v` > e.log\r\n"
                            "say \"q>touch u\" a&touch x ;touch y $(touch w)>s.log\r\n";
    Result r = runBatch(dir, "inject.bat", bat);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"e.log", "inject.bat", "s.log", "say"}));
    EXPECT_EQ(readBytes(dir / "e.log"), "a&touch x;touch y|touch z $(touch w) `touch v` \r\n");
    EXPECT_EQ(readBytes(dir / "s.log"), "q>touch u a&touch x ;touch y $(touch w)\n");
}

TEST(BatchrunProgramTest, MissingOrFailingProgramIsReportedAndNextLineRuns) {
    TempFolder dir;
    writeProgram(dir / "bmconv.exe", "#!/bin/sh\necho partial\nexit 3\n");
    writeProgram(dir / "noexec.exe", "#!/bin/sh\n");
    fs::permissions(dir / "noexec.exe", fs::perms::owner_read | fs::perms::owner_write);
    Result r = runBatch(dir, "scan.bat",
                        "cd " + dir.path().string() +
                            "\nnothere /v a.mbm > temp.log\nnoexec\nbmconv /v a.mbm > "
                            "temp.log\necho \"done\" > end.log\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find("line 2: 'nothere' is not a program"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 3: cannot start"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 4: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("exit code 3"), std::string::npos) << r.err;
    // The failure is recorded after the program's own output.
    EXPECT_EQ(readBytes(dir / "temp.log"),
              "partial\nbatchrun: exit: bmconv.exe ended with exit code 3\r\n");
    EXPECT_EQ(readBytes(dir / "end.log"), "\"done\" \r\n");
}

TEST(BatchrunProgramTest, ProgramRedirectTruncatesAnOlderFile) {
    TempFolder dir;
    writeProgram(dir / "bmconv.exe", kArgsScript);
    writeBytes(dir / "temp.log", std::string(1000, 'z'));
    Result r = runBatch(dir, "s.bat", "cd " + dir.path().string() + "\r\nbmconv /v>temp.log\r\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readBytes(dir / "temp.log"), "n=1\n[/v]\n");
}

struct BadCall {
    std::vector<std::string> args;
    std::string message;
};

class BatchrunBadCallTest : public ::testing::TestWithParam<BadCall> {};

TEST_P(BatchrunBadCallTest, FailsWithAMessage) {
    TempFolder dir;
    fs::create_directory(dir / "folder.bat");
    std::vector<std::string> args = GetParam().args;
    for (std::string& a : args)
        if (a.rfind("DIR/", 0) == 0) a = (dir / a.substr(4)).string();
    Result r = runBatchrun(dir.path(), args);
    ASSERT_TRUE(r.started);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Calls, BatchrunBadCallTest,
                         ::testing::Values(BadCall{{}, "usage: batchrun"},
                                           BadCall{{""}, "usage: batchrun"},
                                           BadCall{{"a.bat", "b.bat"}, "usage: batchrun"},
                                           BadCall{{"DIR/none.bat"}, "none.bat"},
                                           BadCall{{"DIR/folder.bat"}, "it is a folder"}));

} // namespace
} // namespace batchrun::test
