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

// Copies of the work bitmaps follow the entries; the user's own files are not copied; a
// read brings missing work bitmaps back; remove leaves nothing.
TEST(KeptProjectTest, KeepsCopiesOfTheWorkBitmapsItNeeds) {
    QTemporaryDir root;
    const QString work = root.filePath("tempextract");
    QDir().mkpath(work);
    for (const char* n : {"w1.bmp", "w2.bmp"})
        writeAll(work + "/" + n, QByteArray("bitmap ") + n);
    writeAll(root.filePath("own.bmp"), "own");
    KeptProject kept(root.filePath("kept"), work);
    ProjectState s;
    s.entries = {{"/c8", work + "/", "w1.bmp"},
                 {"/c8", work + "/", "w2.bmp"},
                 {"/c8", root.path() + "/", "own.bmp"}};
    ASSERT_EQ(kept.write(s), QString());
    EXPECT_EQ(filesIn(root.filePath("kept/bitmaps")), QStringList({"w1.bmp", "w2.bmp"}));
    s.entries.erase(s.entries.begin());
    ASSERT_EQ(kept.write(s), QString());
    EXPECT_EQ(filesIn(root.filePath("kept/bitmaps")), QStringList({"w2.bmp"}));

    QDir(work).removeRecursively();
    const std::optional<ProjectState> back = KeptProject(root.filePath("kept"), work).read();
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == s);
    EXPECT_EQ(readAll(work + "/w2.bmp"), "bitmap w2.bmp");

    kept.remove();
    EXPECT_FALSE(KeptProject(root.filePath("kept"), work).read());
    EXPECT_EQ(filesIn(root.filePath("kept")), QStringList());
}

} // namespace
