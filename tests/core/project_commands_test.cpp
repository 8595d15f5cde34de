// The undo steps of a project: each command, its undo and its redo, against the whole state.
#include "project/project_commands.h"
#include "support/test_support.h"

#include <functional>

using namespace testing_support;

namespace {

/// Five entries a..e, b and d selected, d current, an archive file and a ROM image type.
void seed(Project& p) {
    for (const char* n : {"a", "b", "c", "d", "e"})
        p.list().append("/c8", "/p/", QString::fromLatin1(n) + ".bmp");
    p.list().setSelection({1, 3}, 3);
    p.setFilename("/w/icons.mbm");
    p.setArchiveType(ArchiveType::RomImage);
}

QString names(const Project& p) {
    QString out;
    for (const BitmapEntry& e : p.list().entries())
        out += e.colour.mid(1) + e.name.left(1) + ' ';
    return out.trimmed();
}

struct StepCase {
    const char* label;
    std::function<bool(Project&)> step;
    const char* after; ///< the list after the step: switch without its slash, then the name
    const char* undoText;
};

class StepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepTest, UndoGivesBackTheStateBeforeAndRedoTheStateAfter) {
    Project p;
    seed(p);
    const ProjectState before = captureState(p);
    ASSERT_TRUE(GetParam().step(p));
    EXPECT_EQ(names(p), QString::fromLatin1(GetParam().after));
    EXPECT_EQ(p.undoStack().undoText(), QString::fromLatin1(GetParam().undoText));
    const ProjectState after = captureState(p);
    EXPECT_FALSE(after == before);
    p.undoStack().undo();
    EXPECT_TRUE(captureState(p) == before) << names(p).toStdString();
    p.undoStack().redo();
    EXPECT_TRUE(captureState(p) == after) << names(p).toStdString();
    // A second round trip: a step can be taken back and done again as often as wanted.
    p.undoStack().undo();
    p.undoStack().redo();
    EXPECT_TRUE(captureState(p) == after);
}

const StepCase kSteps[] = {
    {"InsertScattered",
     [](Project& p) {
         return pushInsert(p, {0, 3, 7},
                           {{"/1", "/q/", "x.bmp"}, {"/2", "/q/", "y.bmp"}, {"/4", "/q/", "z.bmp"}},
                           entriesText("Add", 3));
     },
     "1x c8a c8b 2y c8c c8d c8e 4z", "Add 3 entries"},
    {"Append",
     [](Project& p) {
         return pushAppend(p, {{"/1", "/q/", "x.bmp"}}, entriesText("Add", 1)) == 1;
     },
     "c8a c8b c8c c8d c8e 1x", "Add 1 entry"},
    {"RemoveSelected",
     [](Project& p) { return pushRemove(p, p.list().selectedIndices(), "Remove 2 entries"); },
     "c8a c8c c8e", "Remove 2 entries"},
    {"RemoveRun",
     [](Project& p) {
         return pushRemove(p, {3, 2, 9, 2}, "Remove 2 entries");
     },
     "c8a c8b c8e", "Remove 2 entries"},
    {"ClearAll",
     [](Project& p) {
         return pushRemove(p, {0, 1, 2, 3, 4}, "Clear all");
     },
     "", "Clear all"},
    {"SetSwitch",
     [](Project& p) {
         return pushSetSwitch(p, {3, 1}, "/c24");
     },
     "c8a c24b c8c c24d c8e", "Set switch of 2 entries"},
    {"StepUp",
     [](Project& p) {
         return pushReorder(p, p.list().stepOrder({1, 3}, -1), "Move 2 entries");
     },
     "c8b c8a c8d c8c c8e", "Move 2 entries"},
    {"MoveToEnd",
     [](Project& p) {
         return pushReorder(p, p.list().moveOrder({0, 2}, 5), "Move 2 entries");
     },
     "c8b c8d c8e c8a c8c", "Move 2 entries"},
    {"New",
     [](Project& p) {
         ProjectState empty;
         empty.settings.insert("archiveType", int(ArchiveType::FileStore));
         pushReplace(p, empty, "New");
         return p.filename() == kNoname && p.archiveType() == ArchiveType::FileStore;
     },
     "", "New"},
    {"Open",
     [](Project& p) {
         ProjectState read;
         read.entries = {{"/c12", "/t/", "image_0.bmp", {"/r/x.mbm", ArchiveType::FileStore, 0}}};
         read.filename = "/r/x.mbm";
         read.settings.insert("writeHeader", true);
         pushReplace(p, read, "Open x.mbm");
         return p.filename() == "/r/x.mbm" && p.writesHeader() &&
                p.archiveType() == ArchiveType::RomImage && p.list().selectedIndices().empty();
     },
     "c12i", "Open x.mbm"},
    {"ArchiveType",
     [](Project& p) {
         return pushSetting(p, "archiveType", int(ArchiveType::CompressedRomImage)) &&
                p.archiveType() == ArchiveType::CompressedRomImage;
     },
     "c8a c8b c8c c8d c8e", "Archive type"},
    {"WriteHeader",
     [](Project& p) { return pushSetting(p, "writeHeader", true) && p.writesHeader(); },
     "c8a c8b c8c c8d c8e", "Write C++ header"},
};

INSTANTIATE_TEST_SUITE_P(Commands, StepTest, ::testing::ValuesIn(kSteps),
                         [](const auto& info) { return std::string(info.param.label); });

// A command that would change nothing makes no step.
TEST(ProjectCommandsTest, NothingToDoMakesNoStep) {
    Project p;
    seed(p);
    const std::vector<std::function<bool(Project&)>> idle = {
        [](Project& q) { return pushRemove(q, {}, "Remove"); },
        [](Project& q) {
            return pushRemove(q, {-1, 5}, "Remove");
        },
        [](Project& q) {
            return pushSetSwitch(q, {0, 1}, "/c8");
        },
        [](Project& q) { return pushReorder(q, q.list().stepOrder({0}, -1), "Move"); },
        [](Project& q) {
            return pushReorder(q, q.list().moveOrder({1, 2}, 1), "Move");
        },
        [](Project& q) { return pushSetting(q, "archiveType", int(ArchiveType::RomImage)); },
        [](Project& q) { return pushSetting(q, "no such setting", 1); },
        [](Project& q) { return pushAppend(q, {}, "Add") > 0; },
    };
    for (size_t k = 0; k < idle.size(); ++k)
        EXPECT_FALSE(idle[k](p)) << k;
    EXPECT_EQ(p.undoStack().count(), 0);
}

// What a removed entry or a replaced project used still counts as in use.
TEST(ProjectCommandsTest, PicturesInUseCoverTheUndoSteps) {
    Project p;
    seed(p);
    pushRemove(p, {0}, "Remove 1 entry");
    pushReplace(p, ProjectState{}, "New");
    pushAppend(p, {{"/c8", "/n/", "new.bmp"}}, "Add 1 entry");
    const QSet<QString> used = picturesInUse(p);
    for (const char* path : {"/p/a.bmp", "/p/b.bmp", "/p/e.bmp", "/n/new.bmp"})
        EXPECT_TRUE(used.contains(QString::fromLatin1(path))) << path;
    EXPECT_EQ(used.size(), 6);
}

} // namespace
