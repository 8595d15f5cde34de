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
    {"RemoveRun",
     [](Project& p) {
         return pushRemove(p, {3, 2, 9, 2}, "Remove 2 entries");
     },
     "c8a c8b c8e", "Remove 2 entries"},
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

} // namespace
