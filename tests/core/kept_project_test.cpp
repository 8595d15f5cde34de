// The kept project: its file read back as written, what is no kept project, and the copies
// of the work bitmaps it keeps.
#include "project/kept_project.h"
#include "support/read_support.h"

using namespace testing_support;

namespace {

ProjectState awkwardState(const QString& work) {
    ProjectState s;
    s.entries = {
        {"/c8", work, "image1_0.bmp", {"/a/b\\c.mbm", ArchiveType::RomImage, 0}},
        {"/c24", "/home/u/tab\there/", "new\nline.bmp"},
        {"/1", "C:\\Pics\\", QString::fromUtf8("\xc3\xa9t\xc3\xa9 \\t.gif")},
    };
    s.selected = {0, 2};
    s.current = 2;
    s.filename = "/w/my icons.mbm";
    s.settings.insert("archiveType", "3");
    s.settings.insert("writeHeader", "true");
    return s;
}

TEST(KeptProjectTest, TextReadsBackAsWritten) {
    const ProjectState s = awkwardState("/work/tempextract/");
    const std::optional<ProjectState> back =
        KeptProject::parse(KeptProject::text(s, "/work/tempextract"), "/work/tempextract");
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == s);
    // A work entry follows the work folder of the next start.
    const std::optional<ProjectState> moved =
        KeptProject::parse(KeptProject::text(s, "/work/tempextract"), "/other/tempextract/");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->entries[0].dir, "/other/tempextract/");
    EXPECT_EQ(moved->entries[1].dir, "/home/u/tab\there/");
}

TEST(KeptProjectTest, WhatIsNoKeptProject) {
    const QByteArray good = KeptProject::text(awkwardState("/t/"), "/t/");
    const struct {
        const char* label;
        QByteArray text;
        bool project;
    } cases[] = {
        {"whole", good, true},
        {"empty", "", false},
        {"another file", "hello\nend\n", false},
        {"cut short", good.left(good.size() / 2), false},
        {"unknown lines and keys", good + "colour\tred\nsetting\tdither\t1\n", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeptProject::parse(c.text, "/t/").has_value(), c.project) << c.label;
    // Rows beyond the list are dropped, not trusted.
    QByteArray wild = good;
    wild.replace("selected\t0,2", "selected\t2,-1,7,x,0");
    wild.replace("current\t2", "current\t9");
    const std::optional<ProjectState> s = KeptProject::parse(wild, "/t/");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->selected, std::vector<int>({0, 2}));
    EXPECT_EQ(s->current, -1);
}

} // namespace
