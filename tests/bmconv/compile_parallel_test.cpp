// A compile of several pictures prepares them on two threads: the archive and the report
// must be those of a compile one by one, whichever picture fails and wherever it stands.
#include "compile_helpers.h"

#include "cli.h"
#include "compile.h"
#include "messages.h"

#include <sstream>

namespace compiletest {
namespace {

// Pictures of varied sizes, so the two threads finish theirs at different times.
Bytes picture(int index) {
    const int32_t w = 3 + index % 7 * 11, h = 2 + index % 5 * 9;
    Bytes rgb;
    for (int32_t i = 0; i < w * h; ++i) {
        const int v = (i / (1 + index % 4)) * (index + 3);
        rgb.push_back(uint8_t(v));
        rgb.push_back(uint8_t(v >> 3));
        rgb.push_back(uint8_t(index * 40));
    }
    return make24(w, h, rgb);
}

struct Outcome {
    int code;
    std::string report;
    Bytes archive;
    bool exists;
};

class ParallelCompile : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 23; ++i)
            writeFile(dir / ("p" + std::to_string(i) + ".bmp"), picture(i));
        writeFile(dir / "bad.bmp", Bytes{'B', 'M', 1, 2, 3});
    }
    void TearDown() override { bmconv::setParallelCompile(true); }

    Outcome compile(bool parallel, const std::vector<std::string>& sources,
                    const std::vector<std::string>& options = {}) {
        bmconv::setParallelCompile(parallel);
        const std::string target = dir.str(parallel ? "two.mbm" : "one.mbm");
        std::vector<std::string> args = options;
        args.push_back(target);
        for (const std::string& s : sources)
            args.push_back(s);
        std::ostringstream out;
        Outcome o;
        o.code = bmconv::runCommandLine(args, out);
        o.report = out.str();
        // The two runs differ only in the target's name.
        for (size_t at; (at = o.report.find(target)) != std::string::npos;)
            o.report.replace(at, target.size(), "TARGET");
        o.exists = fs::exists(target);
        if (o.exists) o.archive = readFile(target);
        return o;
    }

    std::vector<std::string> pictures(const std::string& mode, int count) const {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i)
            out.push_back(mode + dir.str("p" + std::to_string(i) + ".bmp"));
        return out;
    }

    TempDir dir;
};

TEST_F(ParallelCompile, GivesTheArchiveOfACompileOneByOne) {
    struct Case {
        const char* mode;
        int count;
        std::vector<std::string> options;
    };
    const Case cases[] = {
        {"/c16", 23, {}},    {"/c24", 4, {}},     {"/c8", 5, {}},      {"/1", 6, {}},
        {"/c12", 9, {"/r"}}, {"/c16", 8, {"/s"}}, {"/c32", 7, {"/n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " x" + std::to_string(c.count));
        const std::vector<std::string> sources = pictures(c.mode, c.count);
        const Outcome one = compile(false, sources, c.options);
        const Outcome two = compile(true, sources, c.options);
        ASSERT_EQ(one.code, bmconv::kSuccess) << one.report;
        EXPECT_EQ(two.code, one.code);
        EXPECT_EQ(two.report, one.report);
        EXPECT_TRUE(two.archive == one.archive);
    }
}

// The first failing source in the given order is reported, even when a later one (on the
// other thread) fails first, and no archive is left.
TEST_F(ParallelCompile, ReportsTheFirstFailureInOrder) {
    struct Case {
        const char* label;
        std::vector<size_t> failing; // positions of bad.bmp among 12 pictures
        const char* replacement;
    };
    const Case cases[] = {
        {"first", {0}, "bad.bmp"},
        {"second", {1}, "bad.bmp"},
        {"even then odd", {4, 7}, "bad.bmp"},
        {"odd then even", {5, 6}, "bad.bmp"},
        {"last", {11}, "bad.bmp"},
        {"missing", {3, 8}, "none.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::string> sources = pictures("/c16", 12);
        for (size_t at : c.failing)
            sources[at] = "/c16" + dir.str(c.replacement);
        const Outcome one = compile(false, sources);
        const Outcome two = compile(true, sources);
        EXPECT_NE(one.code, bmconv::kSuccess);
        EXPECT_EQ(two.code, one.code);
        EXPECT_EQ(two.report, one.report);
        EXPECT_FALSE(two.exists);
    }
}

} // namespace
} // namespace compiletest
