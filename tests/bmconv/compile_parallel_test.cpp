// A compile of several pictures prepares them on two threads: the archive and the report
// must be those of a compile one by one, whichever picture fails and wherever it stands.
#include "compile_helpers.h"

#include "cli.h"
#include "compile.h"
#include "messages.h"
#include "small_pieces.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
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
    void TearDown() override {
        bmconv::setParallelCompile(true);
        bmconv::setPrepareObserver(nullptr);
    }

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
        size_t slice = size_t(4) << 20; // pictures larger wait for their turn unencoded
    };
    const Case cases[] = {
        {"/c16", 23, {}},    {"/c24", 4, {}},       {"/c8", 5, {}},
        {"/1", 6, {}},       {"/c12", 9, {"/r"}},   {"/c16", 8, {"/s"}},
        {"/c32", 7, {"/n"}}, {"/c16", 23, {}, 600}, {"/c24", 23, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " x" + std::to_string(c.count) + " slice " +
                     std::to_string(c.slice));
        SmallPieces pieces(bmconv::FileView::windowBytes(), true, c.slice, false);
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

// Holds back the preparing of one source until a later one was prepared, so the later
// one's failure is certain to come first in time.
class HoldBack {
  public:
    HoldBack(size_t held, size_t until) : held_(held), until_(until) {}
    void operator()(size_t index, bool done) {
        std::unique_lock<std::mutex> guard(lock_);
        if (done && index == until_) {
            released_ = true;
            changed_.notify_all();
        } else if (!done && index == held_) {
            // Bounded, so a compile that never prepares `until` out of turn still ends.
            changed_.wait_for(guard, std::chrono::seconds(10), [this] { return released_; });
            heldBack_ = released_;
        }
    }
    bool heldBack() const { return heldBack_; }

  private:
    size_t held_, until_;
    std::mutex lock_;
    std::condition_variable changed_;
    bool released_ = false, heldBack_ = false;
};

// Two different failures, the later one found first: the report names the earlier one.
TEST_F(ParallelCompile, ReportsTheEarlierOfTwoFailuresFoundOutOfOrder) {
    struct Case {
        const char* label;
        size_t early, late;
        const char* earlyFile;
        const char* lateFile;
    };
    const Case cases[] = {
        {"damaged before missing", 4, 5, "bad.bmp", "none.bmp"},
        {"missing before damaged", 4, 5, "none.bmp", "bad.bmp"},
        {"far apart", 2, 9, "bad.bmp", "none.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::string> sources = pictures("/c16", 12);
        sources[c.early] = "/c16" + dir.str(c.earlyFile);
        sources[c.late] = "/c16" + dir.str(c.lateFile);
        const Outcome one = compile(false, sources);
        auto hold = std::make_shared<HoldBack>(c.early, c.late);
        bmconv::setPrepareObserver([hold](size_t index, bool done) { (*hold)(index, done); });
        const Outcome two = compile(true, sources);
        bmconv::setPrepareObserver(nullptr);
        EXPECT_TRUE(hold->heldBack());
        ASSERT_NE(one.report.find(c.earlyFile), std::string::npos) << one.report;
        EXPECT_EQ(two.code, one.code);
        EXPECT_EQ(two.report, one.report);
        EXPECT_FALSE(two.exists);
    }
}

} // namespace
} // namespace compiletest
