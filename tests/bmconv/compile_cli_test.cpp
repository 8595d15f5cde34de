// The command line and command files: tokens, options, reports, exit codes, outputs.
#include "compile_helpers.h"

#include "cli.h"
#include "command_file.h"
#include "header_file.h"
#include "messages.h"

#include <sstream>
#ifndef _WIN32
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#endif

namespace compiletest {
namespace {

struct TokenCase {
    const char* name;
    std::string text;
    bool ok;
    std::vector<std::string> tokens;
    bool lastTerminated;
};

class CommandFileTokens : public ::testing::TestWithParam<TokenCase> {};

TEST_P(CommandFileTokens, SplitAsTheSdkToolDoes) {
    const TokenCase& c = GetParam();
    const bmconv::CommandFileTokens t = bmconv::tokenizeCommandFile(c.text);
    ASSERT_EQ(t.ok, c.ok) << c.name << ": " << t.error;
    if (!c.ok) {
        EXPECT_FALSE(t.error.empty());
        return;
    }
    EXPECT_EQ(t.tokens, c.tokens) << c.name;
    EXPECT_EQ(t.lastTerminated, c.lastTerminated) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandFileTokens,
    ::testing::Values(
        TokenCase{
            "CR LF lines", "/n out.mbm\r\n/c8a.bmp\r\n", true, {"/n", "out.mbm", "/c8a.bmp"}, true},
        TokenCase{"last token without line end",
                  "out.mbm\n/c8a.bmp",
                  true,
                  {"out.mbm", "/c8a.bmp"},
                  false},
        TokenCase{
            "a tab belongs to the token", "out.mbm\t/c8a.bmp\n", true, {"out.mbm\t/c8a.bmp"}, true},
        TokenCase{"comments anywhere",
                  "// list\nout.mbm // archive\n/c8a.bmp//x\n",
                  true,
                  {"out.mbm", "/c8a.bmp"},
                  true},
        TokenCase{"comment ends the last token",
                  "out.mbm\n/c8a.bmp//x",
                  true,
                  {"out.mbm", "/c8a.bmp"},
                  true},
        TokenCase{"blank lines and spaces",
                  "\r\n\r\n  out.mbm   \r\n\r\n a.bmp \r\n",
                  true,
                  {"out.mbm", "a.bmp"},
                  true},
        TokenCase{"end-of-file character separates",
                  "out.mbm\x1A"
                  "a.bmp\x1A",
                  true,
                  {"out.mbm", "a.bmp"},
                  true},
        TokenCase{"quoted names with blanks",
                  "\"my out.mbm\"\r\n/c8\"my pic.bmp\"\r\n",
                  true,
                  {"my out.mbm", "/c8my pic.bmp"},
                  true},
        TokenCase{"quotes keep tabs and slashes", "\"a\tb//c.bmp\"\n", true, {"a\tb//c.bmp"}, true},
        TokenCase{"quoted last token without line end",
                  "x.mbm \"a b.bmp\"",
                  true,
                  {"x.mbm", "a b.bmp"},
                  false},
        TokenCase{"empty file", "", true, {}, true},
        TokenCase{"only comments", "// nothing\r\n", true, {}, true},
        TokenCase{"quote left open", "x.mbm \"a b.bmp\r\nc.bmp\r\n", false, {}, true}));

/// A folder of pictures; x-alpha.bmp is the alpha picture of x.bmp (right or wrong).
class Cli : public ::testing::Test {
  protected:
    void SetUp() override {
        writeFile(dir / "a.bmp", make24(2, 2, Bytes{255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9}));
        writeFile(dir / "a-alpha.bmp", make8(2, 2, Bytes{0, 85, 170, 255}));
        writeFile(dir / "b.bmp", make24(2, 2, Bytes(12, 200)));
        writeFile(dir / "b-alpha.bmp", make24(2, 2, Bytes(12, 1)));
        writeFile(dir / "c.bmp", make24(3, 2, Bytes(18, 50)));
        writeFile(dir / "c-alpha.bmp", make8(2, 2, Bytes(4, 1)));
        writeFile(dir / "d.bmp", make24(1, 1, Bytes{1, 2, 3}));
        writeFile(dir / "bad.bmp", Bytes{'B', 'M', 1, 2, 3});
        writeFile(dir / "empty.bmp", make24(0, 5, Bytes()));
        writeFile(dir / "flat.bmp", make24(4, 0, Bytes()));
        fs::create_directory(dir / "folder.bmp");
    }
    int run(const std::vector<std::string>& args) {
        out.str("");
        return bmconv::runCommandLine(args, out);
    }
    int runFile(const std::string& text) {
        writeText(dir / "cmd.txt", text);
        return run({dir.str("cmd.txt")});
    }
    std::string p(const std::string& name) const { return dir.str(name); }

    TempDir dir;
    std::ostringstream out;
};

TEST_F(Cli, ReportsLikeTheSdkTool) {
    ASSERT_EQ(runFile(p("x.mbm") + "\r\n/c8" + p("a.bmp") + "\r\n" + p("b.bmp") + "\r\n"), 0);
    EXPECT_EQ(out.str(), std::string("\n\n") + bmconv::versionLine() +
                             "\nCompiling...\nMultiple bitmap store type: File store\nEpoc file: " +
                             p("x.mbm") + "\n\nBitmap file 1\t: " + p("a.bmp") +
                             "\nBitmap file 2\t: " + p("b.bmp") + "\nSuccess.\n");
    ASSERT_EQ(run({"/r", p("x.mbm"), p("a.bmp")}), 0);
    EXPECT_NE(out.str().find("Multiple bitmap store type: ROM image store\n"), std::string::npos);
    ASSERT_EQ(run({"-s", p("x.mbm"), p("a.bmp")}), 0);
    EXPECT_NE(out.str().find("type: Compressed ROM image store\n"), std::string::npos);
}

TEST_F(Cli, QuietPrintsOnlyFailures) {
    ASSERT_EQ(run({"/q", p("x.mbm"), "/c24" + p("a.bmp")}), 0);
    EXPECT_EQ(out.str(), "");
    ASSERT_EQ(run({"/q", p("x.mbm"), "/c24" + p("missing.bmp")}), bmconv::kFileDoesNotExist);
    EXPECT_NE(out.str().find("Bitmap file 1\t: " + p("missing.bmp")), std::string::npos);
    EXPECT_NE(out.str().find("File does not exist\n"), std::string::npos);
}

TEST_F(Cli, LastTokenWithoutLineEndIsCompiledButNotReported) {
    ASSERT_EQ(runFile(p("x.mbm") + "\n/c24" + p("a.bmp") + "\n/c24" + p("b.bmp")), 0);
    EXPECT_NE(out.str().find("Bitmap file 1\t"), std::string::npos);
    EXPECT_EQ(out.str().find("Bitmap file 2"), std::string::npos);
    const Bytes archive = readFile(dir / "x.mbm");
    ASSERT_GE(archive.size(), 24u);
    EXPECT_EQ(get32(archive, get32(archive, 16)), 2u); // two bitmaps in the trailer
}

struct Failure {
    const char* name;
    std::vector<std::string> args; // "@" stands for the test folder plus '/'
    int code;
    bool named = true; // the sources were named: the stale archive must be gone
};

class CliFailure : public Cli, public ::testing::WithParamInterface<Failure> {};

TEST_P(CliFailure, ExitsWithTheSdkCodeAndLeavesNoArchive) {
    std::vector<std::string> args;
    for (std::string a : GetParam().args) {
        const size_t at = a.find('@');
        if (at != std::string::npos) a.replace(at, 1, dir.str("") + "/");
        args.push_back(a);
    }
    writeText(dir / "x.mbm", "stale archive");
    EXPECT_EQ(run(args), GetParam().code) << out.str();
    EXPECT_NE(out.str().find(bmconv::messageFor(GetParam().code)), std::string::npos);
    EXPECT_EQ(fs::exists(dir / "x.mbm"), !GetParam().named) << out.str();
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliFailure,
    ::testing::Values(
        Failure{"rom and compressed rom", {"/r", "/s", "@x.mbm", "@a.bmp"}, 8, false},
        Failure{"no sources", {"/n", "@x.mbm"}, 7, false},
        Failure{"missing source", {"@x.mbm", "@a.bmp", "/c8@none.bmp"}, 3},
        Failure{"damaged source", {"@x.mbm", "/c8@a.bmp", "/c8@bad.bmp"}, 4},
        Failure{"source is a folder", {"@x.mbm", "/c24@folder.bmp"}, 4},
        // A phone refuses a bitmap without pixels, so no archive may hold one.
        Failure{"no width", {"@x.mbm", "/c24@empty.bmp"}, 4},
        Failure{"no height", {"@x.mbm", "/c8@a.bmp", "/1@flat.bmp"}, 4},
        Failure{"mode 3", {"@x.mbm", "/3@a.bmp"}, 12},
        Failure{"mode c1", {"@x.mbm", "/c1@a.bmp"}, 12},
        Failure{"mode 12 without c", {"@x.mbm", "/12@a.bmp"}, 12},
        Failure{"upper-case C", {"@x.mbm", "/C8@a.bmp"}, 12},
        Failure{"alpha missing", {"@x.mbm", "/c32a@d.bmp"}, 15},
        Failure{"alpha not 8 bit", {"@x.mbm", "/c32a@b.bmp"}, 17},
        Failure{"alpha size differs", {"@x.mbm", "/c32a@c.bmp"}, 16},
        Failure{"palette missing", {"/p@none.pal", "@x.mbm", "/c8@a.bmp"}, 13},
        Failure{"palette too short", {"/p@a.bmp", "@x.mbm", "/c8@a.bmp"}, 13},
        Failure{"unknown option", {"/x", "@x.mbm", "/c8@a.bmp"}, 5, false},
        Failure{"folder missing under the root", {"/nosuchfolder/x.mbm", "@a.bmp"}, 5, false},
        Failure{"missing command file", {"@none.txt"}, 6, false}),
    [](const auto& info) {
        std::string n;
        for (const char* c = info.param.name; *c; ++c)
            n += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return n;
    });

#ifndef _WIN32
// A named pipe is opened without waiting for a writer, then refused like a folder.
TEST_F(Cli, NamedPipeIsRefusedWithoutWaiting) {
    const std::string pipe = p("pipe.bmp");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // Should the converter wait for a writer after all, a writer comes after ten seconds
    // and the test fails instead of hanging.
    std::mutex lock;
    std::condition_variable finished;
    bool done = false, released = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> guard(lock);
        if (finished.wait_for(guard, std::chrono::seconds(10), [&] { return done; })) return;
        const int fd = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        released = fd >= 0;
        if (fd >= 0) close(fd);
    });
    const int code = run({p("x.mbm"), "/c24" + pipe});
    {
        std::lock_guard<std::mutex> guard(lock);
        done = true;
    }
    finished.notify_one();
    watchdog.join();
    EXPECT_FALSE(released) << "the converter waited for a writer";
    EXPECT_EQ(code, bmconv::kBadSourceFile) << out.str();
    EXPECT_FALSE(fs::exists(dir / "x.mbm"));
}
#endif

TEST_F(Cli, CommandFileProblems) {
    EXPECT_EQ(runFile("// nothing to do\r\n"), bmconv::kSourceTargetMismatch);
    EXPECT_EQ(runFile("x.mbm \"unclosed\r\n"), bmconv::kBadCommandFile);
    // An archive given where a command file belongs names no files.
    ASSERT_EQ(run({p("x.mbm"), "/c8" + p("a.bmp")}), 0);
    EXPECT_EQ(run({p("x.mbm")}), bmconv::kBadCommandFile);
    EXPECT_TRUE(fs::exists(dir / "x.mbm"));
}

TEST_F(Cli, DestinationInAMissingFolderIsABadDestination) {
    EXPECT_EQ(run({p("no/such/x.mbm"), p("a.bmp")}), bmconv::kBadDestinationFile);
}

TEST_F(Cli, AlphaChannelGoesIntoTheFourthByte) {
    ASSERT_EQ(run({"/n", p("x.mbm"), "/c32a" + p("a.bmp")}), 0) << out.str();
    const Bytes archive = readFile(dir / "x.mbm");
    ASSERT_EQ(archive.size(), 20u + 40 + 16 + 8);
    EXPECT_EQ(get32(archive, 20 + 28), 2u); // colour with alpha
    EXPECT_EQ(get32(archive, 20 + 36), 0u);
    EXPECT_EQ(Bytes(archive.begin() + 60, archive.begin() + 76),
              (Bytes{0, 0, 255, 0, 0, 255, 0, 85, 255, 0, 0, 170, 9, 9, 9, 255}));
}

TEST_F(Cli, SwitchesParseLikeTheSdkTool) {
    // /c162x.bmp is c16 of 2x.bmp; a name without switch is 2 bpp; '-' works like '/'.
    fs::copy_file(dir / "a.bmp", dir / "2x.bmp");
    writeText(dir / "cmd.txt", "y.mbm\r\n/c162x.bmp\r\na.bmp\r\n-c12a.bmp\r\n");
    ASSERT_EQ(runBmconv(dir.path(), {"cmd.txt"}), 0) << readText(dir / "stdout.txt");
    const Bytes archive = readFile(dir / "y.mbm");
    const uint32_t trailer = get32(archive, 16);
    ASSERT_EQ(get32(archive, trailer), 3u);
    const uint32_t expectedBpp[] = {16, 2, 12};
    for (uint32_t k = 0; k < 3; ++k)
        EXPECT_EQ(get32(archive, get32(archive, trailer + 4 + 4 * k) + 24), expectedBpp[k]);
}

TEST_F(Cli, HeaderNamesAreValidAndUnique) {
    fs::copy_file(dir / "a.bmp", dir / "my pic-1.BMP");
    writeText(dir / "cmd.txt",
              "/hicons.mbg Icons.mbm\r\n\"my pic-1.BMP\"\r\n/c8a.bmp\r\n/c24a.bmp\r\n");
    ASSERT_EQ(runBmconv(dir.path(), {"cmd.txt"}), 0) << readText(dir / "stdout.txt");
    const std::string header = readText(dir / "icons.mbg");
    EXPECT_NE(header.find("enum TMbmIcons\n\t{\n\tEMbmIconsMy_pic_1,\n\tEMbmIconsA,\n"
                          "\tEMbmIconsA_2\n\t};\n"),
              std::string::npos)
        << header;
    EXPECT_EQ(header.rfind("//", 0), 0u);
}

struct NamesCase {
    const char* label;
    const char* commandFile;
    const char* names; ///< the /i file's text, or null for none
    int code;
    const char* enumText; ///< expected in the header when code is 0
};

class HeaderNames : public Cli, public ::testing::WithParamInterface<NamesCase> {};

// /i gives the identifiers the names of the pictures the work files stand for.
TEST_P(HeaderNames, TakeTheNamesOfTheNamesFile) {
    const NamesCase& c = GetParam();
    fs::copy_file(dir / "a.bmp", dir / "p2x.bmp");
    if (c.names) writeText(dir / "names.txt", c.names);
    writeText(dir / "cmd.txt", c.commandFile);
    ASSERT_EQ(runBmconv(dir.path(), {"cmd.txt"}), c.code) << readText(dir / "stdout.txt");
    if (c.code != 0) {
        EXPECT_FALSE(fs::exists(dir / "w.mbm"));
        EXPECT_FALSE(fs::exists(dir / "icons.mbg"));
        return;
    }
    const std::string header = readText(dir / "icons.mbg");
    EXPECT_NE(header.find(c.enumText), std::string::npos) << header;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderNames,
    ::testing::Values(
        NamesCase{"mapped", "/hicons.mbg /inames.txt w.mbm\r\n/c8p2x.bmp\r\n/c24a.bmp\r\n",
                  "My icons.mbm\r\n2x.png\r\na&b.jpg\r\n", 0,
                  "// Bitmap identifiers of My icons.mbm\n//\n\nenum TMbmMy_icons\n\t{\n"
                  "\tEMbmMy_icons2x,\n\tEMbmMy_iconsA_b\n\t};\n"},
        NamesCase{"mapped_names_stay_unique",
                  "/hicons.mbg /inames.txt w.mbm\r\n/c8p2x.bmp\r\n/c24a.bmp\r\n",
                  "w.mbm\nx.png\nX.gif", 0, "\tEMbmWX,\n\tEMbmWX_2\n"},
        NamesCase{"too_few_names", "/hicons.mbg /inames.txt w.mbm\r\n/c8p2x.bmp\r\n/c24a.bmp\r\n",
                  "w.mbm\r\nx.png\r\n", bmconv::kSourceTargetMismatch, nullptr},
        NamesCase{"without_header", "/inames.txt w.mbm\r\n/c8p2x.bmp\r\n", "w.mbm\r\nx.png\r\n",
                  bmconv::kBadCommandFile, nullptr}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(HeaderIdentifiers, FollowTheFileName) {
    EXPECT_EQ(bmconv::identifierPart("dir/QGN_indi.bmp"), "Qgn_indi");
    EXPECT_EQ(bmconv::identifierPart("c:\\x\\a.b.bmp"), "A_b");
    EXPECT_EQ(bmconv::identifierPart("été.bmp"), "__t__");
    EXPECT_EQ(bmconv::identifierPart("noext"), "Noext");
}

TEST_F(Cli, ListAndSplitAreDispatchedToTheReader) {
    ASSERT_EQ(run({p("x.mbm"), "/c24" + p("a.bmp")}), 0);
    ASSERT_EQ(run({"/v", p("x.mbm")}), 0) << out.str();
    EXPECT_NE(out.str().find("24 Bpp Colour"), std::string::npos) << out.str();
    EXPECT_EQ(run({"/v", p("x.mbm"), p("y.mbm")}), bmconv::kTooManyArguments);
    ASSERT_EQ(runFile("/u " + p("x.mbm") + "\r\n" + p("out.bmp") + "\r\n"), 0) << out.str();
    EXPECT_TRUE(fs::exists(dir / "out.bmp"));
}

TEST_F(Cli, NoArgumentsPrintsUsage) {
    EXPECT_EQ(run({}), 0);
    EXPECT_NE(out.str().find("/c32a"), std::string::npos);
}

} // namespace
} // namespace compiletest
