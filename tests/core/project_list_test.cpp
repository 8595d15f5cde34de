// The Project list commands on the cases users meet: adding, removing, re-switching,
// selecting all, clearing; the four lists stay aligned throughout.
#include "project/list_commands.h"
#include "project/project.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

void expectAligned(const ProjectList& list) {
    for (int i = 0; i < list.count(); ++i) {
        const BitmapEntry& e = list.at(i);
        EXPECT_EQ(list.index(i, ProjectList::RowText).data().toString(), e.colour + e.name);
        EXPECT_EQ(list.index(i, ProjectList::Colour).data().toString(), e.colour);
        EXPECT_EQ(list.index(i, ProjectList::Dir).data().toString(), e.dir);
        EXPECT_EQ(list.index(i, ProjectList::Name).data().toString(), e.name);
    }
}

QStringList rowTexts(const ProjectList& list) {
    QStringList rows;
    for (const BitmapEntry& e : list.entries())
        rows << e.rowText();
    return rows;
}

TEST(ProjectListTest, AddSelectedFilesFormsEntriesAndFolders) {
    struct Case {
        QString folder, name, colour, row, dir;
    };
    const Case cases[] = {
        {"C:\\", "a.bmp", "/c8", "/c8a.bmp", "C:\\"},
        {"C:\\Art", "b.gif", "/c24", "/c24b.gif", "C:\\Art\\"},
        {"/", "c.jpg", "/1", "/1c.jpg", "/"},
        {"/home/pics", "d e.bmp", "/c12", "/c12d e.bmp", "/home/pics/"},
        {"/home/pics/", "f.bmp", "/2", "/2f.bmp", "/home/pics/"},
    };
    for (const Case& c : cases) {
        ProjectList list;
        EXPECT_EQ(addSelectedFiles(list, c.folder, {c.name}, c.colour), 1);
        ASSERT_EQ(list.count(), 1);
        EXPECT_EQ(list.at(0).rowText(), c.row);
        EXPECT_EQ(list.at(0).dir, c.dir) << c.folder.toStdString();
        EXPECT_EQ(list.at(0).name, c.name);
        EXPECT_EQ(list.at(0).colour, c.colour);
        expectAligned(list);
    }
}

TEST(ProjectListTest, AddKeepsOrderAndDuplicatesAndNothingSelectedAddsNothing) {
    ProjectList list;
    EXPECT_EQ(addSelectedFiles(list, "/p", {}, "/c8"), 0);
    EXPECT_EQ(list.count(), 0);
    addSelectedFiles(list, "/p", {"x.bmp", "a.bmp", "m.gif"}, "/c8");
    addSelectedFiles(list, "/p", {"x.bmp"}, "/c8");
    EXPECT_EQ(rowTexts(list), QStringList({"/c8x.bmp", "/c8a.bmp", "/c8m.gif", "/c8x.bmp"}));
    expectAligned(list);
}

TEST(ProjectListTest, RemoveSelectedCases) {
    struct Case {
        std::vector<int> selected;
        QStringList remaining;
    };
    const Case cases[] = {
        {{1, 2}, {"/c8e0", "/c8e3"}},
        {{}, {"/c8e0", "/c8e1", "/c8e2", "/c8e3"}},
        {{0, 1, 2, 3}, {}},
        {{0, 3}, {"/c8e1", "/c8e2"}},
        {{3}, {"/c8e0", "/c8e1", "/c8e2"}},
    };
    for (const Case& c : cases) {
        ProjectList list;
        addSelectedFiles(list, "/p", {"e0", "e1", "e2", "e3"}, "/c8");
        for (int i : c.selected)
            list.setSelected(i, true);
        EXPECT_EQ(list.removeSelected(), int(c.selected.size()));
        EXPECT_EQ(rowTexts(list), c.remaining);
        expectAligned(list);
    }
}

TEST(ProjectListTest, SetSwitchChangesOnlySelectedEntries) {
    ProjectList list;
    addSelectedFiles(list, "/p", {"a.bmp", "b.bmp", "c.bmp"}, "/c8");
    list.setSelected(0, true);
    list.setSelected(2, true);
    EXPECT_EQ(list.setSwitchOfSelected("/c24"), 2);
    EXPECT_EQ(rowTexts(list), QStringList({"/c24a.bmp", "/c8b.bmp", "/c24c.bmp"}));
    EXPECT_EQ(list.at(0).dir, "/p/");
    EXPECT_EQ(list.at(0).name, "a.bmp");
    expectAligned(list);
    ProjectList empty;
    EXPECT_EQ(empty.setSwitchOfSelected("/1"), 0);
}

TEST(ProjectListTest, SelectAllSetsSelectingOnlyWhileItRuns) {
    Project project;
    int clicks = 0;
    int selectingSeen = -1;
    auto clicked = [&](int) {
        ++clicks;
        selectingSeen = project.selecting;
    };
    selectAllGuarded(
        project, 0, [&] { project.list().selectAll(); }, clicked);
    EXPECT_EQ(project.selecting, 0);
    EXPECT_EQ(clicks, 0);

    addSelectedFiles(project.list(), "/p", {"a", "b", "c"}, "/c8");
    selectAllGuarded(
        project, project.list().count(), [&] { project.list().selectAll(); }, clicked);
    EXPECT_EQ(project.selecting, 0);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(selectingSeen, 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(project.list().isSelected(i));
}

TEST(ProjectListTest, ClearKeepsFilenameAndLimitHolds) {
    Project project;
    project.setFilename("/work/icons.mbm");
    addSelectedFiles(project.list(), "/p", {"a", "b"}, "/c8");
    project.list().clear();
    EXPECT_EQ(project.list().count(), 0);
    EXPECT_EQ(project.filename(), "/work/icons.mbm");

    ProjectList list;
    std::vector<BitmapEntry> many(ProjectList::kMaxEntries + 5, BitmapEntry{"/c8", "/p/", "x"});
    EXPECT_EQ(list.appendAll(many), ProjectList::kMaxEntries);
    EXPECT_FALSE(list.append("/c8", "/p/", "y"));
    EXPECT_EQ(list.count(), ProjectList::kMaxEntries);
}

TEST(ProjectListTest, FilenameChangeIsSignalledAndTitleFollows) {
    Project project;
    QStringList seen;
    QObject::connect(&project, &Project::filenameChanged, [&](const QString& f) { seen << f; });
    project.setFilename("C:\\Work\\icons.mbm");
    EXPECT_EQ(seen, QStringList({"C:\\Work\\icons.mbm"}));
    EXPECT_EQ(windowTitleFor(project.filename()), "MBM Zembrel - C:\\Work\\icons.mbm");
    EXPECT_EQ(windowTitleFor(kNoname), "MBM Zembrel - Noname.mbm");
}

} // namespace

namespace {

// Every row carries its whole text and where its picture is as its tooltip; a bitmap read
// from an archive names the archive and its index there, not its work file.
TEST(ProjectListTest, RowTooltipsGiveTheWholeTextAndWhereThePictureIs) {
    ProjectList list;
    const QString work = QDir::toNativeSeparators("/tmp/prog/tempextract/");
    std::vector<BitmapEntry> entries = {
        {"/c12", "/home/u/pictures/", "a long picture name that the list clips.jpg", {}},
        {"/c8", work, "image09-15-09_2.bmp", {"/home/u/icons/app.mbm", ArchiveType::RomImage, 2}},
    };
    ASSERT_EQ(list.appendAll(entries), 2);
    const QString tips[] = {
        "/c12a long picture name that the list clips.jpg\n" +
            QDir::toNativeSeparators(
                "/home/u/pictures/a long picture name that the list clips.jpg"),
        "/c8image09-15-09_2.bmp\n" + QDir::toNativeSeparators("/home/u/icons/app.mbm") + " #2",
    };
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < ProjectList::ColumnCount; ++column)
            EXPECT_EQ(list.index(row, column).data(Qt::ToolTipRole).toString(), tips[row])
                << row << "," << column;
    // The work file name stays what the list shows.
    EXPECT_EQ(list.index(1, ProjectList::RowText).data().toString(), "/c8image09-15-09_2.bmp");
    EXPECT_FALSE(list.index(0, 0).data(Qt::DecorationRole).isValid());
}

} // namespace
