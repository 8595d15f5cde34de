// The file browser's pattern matching: semicolon-separated, case-insensitive wildcards.
#include "jobs/folder_listing.h"
#include "support/test_support.h"

namespace {

TEST(FolderListingTest, PatternsMatchCaseInsensitively) {
    struct Case {
        QString name, patterns;
        bool expected;
    };
    const Case cases[] = {
        {"a.bmp", "*.bmp", true},
        {"A.BMP", "*.bmp", true},
        {"a.jpg", "*.bmp", false},
        {"a.jpg", "*.jpg;*.bmp;*.gif", true},
        {"a.gif", " *.bmp ; *.gif ", true},
        {"a.bmpx", "*.bmp", false},
        {"ab.bmp", "a?.bmp", true},
        {"abc.bmp", "a?.bmp", false},
        {"x.bmp", "", false},
        {"x.bmp", ";;", false},
        {"a b.bmp", "*.bmp", true},
        {"[a].bmp", "*.bmp", true},
        {"a.gif", "*.b[;*.gif", true},
        {"a.b[", "*.b[", true},
        {"a.bmp", "[ab].bmp", false},
        {"[ab].bmp", "[ab].bmp", true},
        {"xa.bmp", "a.bmp", false},
        {"a.bmpa.bmp", "*.gif;a.bmp", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matchesPatterns(c.name, splitPatterns(c.patterns)), c.expected)
            << c.name.toStdString() << " ~ " << c.patterns.toStdString();
}

TEST(FolderListingTest, ListsFilesAndFoldersSorted) {
    QTemporaryDir dir;
    for (const char* n : {"b.JPG", "a.bmp", "c.txt", "d.gif", ".hidden.bmp", ".bmp"})
        testing_support::writeAll(dir.filePath(n), "x");
    QDir(dir.path()).mkdir("Zeta");
    QDir(dir.path()).mkdir("alpha");
    EXPECT_EQ(listMatchingFiles(dir.path(), "*.bmp;*.jpg;*.gif"),
              QStringList({"a.bmp", "b.JPG", "d.gif"}));
    EXPECT_EQ(listMatchingFiles(dir.path(), "*.bmp"), QStringList({"a.bmp"}));
    EXPECT_EQ(listMatchingFiles(dir.path(), "*"), QStringList({"a.bmp", "b.JPG", "c.txt", "d.gif"}))
        << "names starting with a dot are hidden files";
    EXPECT_EQ(listSubfolders(dir.path()), QStringList({"alpha", "Zeta"}));
    EXPECT_TRUE(listMatchingFiles(dir.filePath("missing"), "*.bmp").isEmpty());
}

} // namespace
