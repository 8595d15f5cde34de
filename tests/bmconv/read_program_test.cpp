// The two invocations the editor relies on, run through the built bmconv.exe exactly as its
// batches do: "bmconv /v <name> > temp.log" and "bmconv extract.txt" with CR LF lines, bare
// names, in the work folder.
#include "read_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

using namespace readtest;

namespace {

const fs::path kTool = fs::path(ZEMBREL_BIN_DIR) / "bmconv.exe";
const fs::path kReal = fs::path(ZEMBREL_TESTDATA) / "real-mbm";

// Runs the tool in `dir` with `args`, standard output to `log`; returns its exit code.
int runIn(const fs::path& dir, const std::string& args, const std::string& log) {
    const std::string command =
        "cd '" + dir.string() + "' && '" + kTool.string() + "' " + args + " > " + log + " 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readText(const fs::path& path) {
    const Bytes b = readFile(path);
    return std::string(b.begin(), b.end());
}

class EditorInvocation : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(fs::exists(kTool)) << "build bmconv first: " << kTool; }
    TempDir work;
};

TEST_F(EditorInvocation, ScanListsOneDepthLinePerBitmapAtNinePlusSixK) {
    fs::copy_file(kReal / "tfbs.mbm", work.path() / "tfbs.mbm");
    ASSERT_EQ(runIn(work.path(), "/v tfbs.mbm", "temp.log"), 0);
    const std::vector<std::string> lines = linesOf(readText(work.path() / "temp.log"));
    ASSERT_EQ(lines.size(), 17u);             // ends with an empty line
    EXPECT_EQ(lines[8], "2 Bpp Monochrome");  // line 9: bitmap 0
    EXPECT_EQ(lines[14], "2 Bpp Monochrome"); // line 15: bitmap 1
}

TEST_F(EditorInvocation, ExtractCommandFileWritesEveryNamedFile) {
    fs::copy_file(kReal / "tfbs.mbm", work.path() / "tfbs.mbm");
    writeText(work.path() / "extract.txt",
              "/u tfbs.mbm\r\nimage14-03-27_0.bmp\r\nimage14-03-27_1.bmp\r\n");
    ASSERT_EQ(runIn(work.path(), "extract.txt", "out.log"), 0) << readText(work.path() / "out.log");
    EXPECT_EQ(readFile(work.path() / "image14-03-27_0.bmp"), readFile(kReal / "tfbs.u0.bmp"));
    EXPECT_EQ(readFile(work.path() / "image14-03-27_1.bmp"), readFile(kReal / "tfbs.u1.bmp"));
}

TEST_F(EditorInvocation, DamagedArchiveGivesNoDepthLineAndNoFile) {
    fs::copy_file(kReal / "corrupt" / "bad_colormode.mbm", work.path() / "bad.mbm");
    EXPECT_EQ(runIn(work.path(), "/v bad.mbm", "temp.log"), 4);
    EXPECT_LT(linesOf(readText(work.path() / "temp.log")).size(), 9u);
    writeText(work.path() / "extract.txt", "/u bad.mbm\r\nimage_0.bmp\r\n");
    EXPECT_EQ(runIn(work.path(), "extract.txt", "out.log"), 4);
    EXPECT_FALSE(fs::exists(work.path() / "image_0.bmp"));
}

} // namespace
