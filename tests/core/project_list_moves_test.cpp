// Changing the order of the Project list: Alt+Up/Alt+Down moves and drops inside the list.
// Entries, their four columns, the selection and the current entry must travel together.
#include "project/list_commands.h"
#include "project/project.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <set>

namespace {

/// A list of entries e0..e(n-1), each with a switch and a folder of its own so a column
/// left behind shows.
void fill(ProjectList& list, int n) {
    for (int i = 0; i < n; ++i)
        list.append(QStringLiteral("/c%1").arg(i), QStringLiteral("/d%1/").arg(i),
                    QStringLiteral("e%1").arg(i));
}

/// The entries' names in list order, after checking that every column still belongs to
/// the entry of its row.
QString order(const ProjectList& list) {
    QStringList names;
    for (int i = 0; i < list.count(); ++i) {
        const QString name = list.index(i, ProjectList::Name).data().toString();
        const QString k = name.mid(1);
        EXPECT_EQ(list.index(i, ProjectList::Colour).data().toString(), "/c" + k);
        EXPECT_EQ(list.index(i, ProjectList::Dir).data().toString(), "/d" + k + "/");
        EXPECT_EQ(list.index(i, ProjectList::RowText).data().toString(), "/c" + k + name);
        names << k;
    }
    return names.join(QLatin1Char(' '));
}

QString selection(const ProjectList& list) {
    QStringList names;
    for (int r : list.selectedIndices())
        names << list.at(r).name.mid(1);
    return names.join(QLatin1Char(' '));
}

TEST(ProjectListMovesTest, MoveSelectedOnePlace) {
    struct Case {
        std::vector<int> selected;
        int delta;
        bool moves;
        const char* after;
    };
    const Case cases[] = {
        {{2}, -1, true, "0 2 1 3 4"},     {{2}, +1, true, "0 1 3 2 4"},
        {{1, 2}, -1, true, "1 2 0 3 4"},  // a block moves as one
        {{1, 3}, +1, true, "0 2 1 4 3"},  // apart, each moves
        {{0}, -1, false, "0 1 2 3 4"},    // at the top already
        {{4}, +1, false, "0 1 2 3 4"},    // at the bottom already
        {{0, 1}, -1, false, "0 1 2 3 4"}, // a block at the top stays whole
        {{0, 2}, -1, true, "0 2 1 3 4"},  // the blocked one stays, the other moves
        {{3, 4}, +1, false, "0 1 2 3 4"}, {{2, 4}, +1, true, "0 1 3 2 4"},
        {{}, -1, false, "0 1 2 3 4"},     {{0, 1, 2, 3, 4}, +1, false, "0 1 2 3 4"},
    };
    for (const Case& c : cases) {
        ProjectList list;
        fill(list, 5);
        for (int i : c.selected)
            list.setSelected(i, true);
        const QString before = selection(list);
        EXPECT_EQ(list.moveSelected(c.delta), c.moves) << c.after;
        EXPECT_EQ(order(list), c.after);
        EXPECT_EQ(selection(list), before) << "the selection stays on the moved entries";
    }
}

TEST(ProjectListMovesTest, MoveSelectedRepeatedlyCarriesCurrentEntry) {
    ProjectList list;
    fill(list, 4);
    list.setSelected(3, true);
    list.selectionModel()->setCurrentIndex(list.index(3, ProjectList::RowText),
                                           QItemSelectionModel::NoUpdate);
    while (list.moveSelected(-1)) {
    }
    EXPECT_EQ(order(list), "3 0 1 2");
    EXPECT_EQ(list.selectionModel()->currentIndex().row(), 0);
    EXPECT_TRUE(list.isSelected(0));
    EXPECT_FALSE(list.isSelected(3));
    EXPECT_FALSE(list.moveSelected(0)) << "only one place at a time";
}

TEST(ProjectListMovesTest, MoveRowsToADropPosition) {
    struct Case {
        std::vector<int> rows;
        int destination;
        int first;
        const char* after;
    };
    const Case cases[] = {
        {{4}, 0, 0, "4 0 1 2 3 5"},       {{0}, 6, 5, "1 2 3 4 5 0"},
        {{0}, 3, 2, "1 2 0 3 4 5"},       // before entry 3, counted without the moved one
        {{1, 3}, 5, 3, "0 2 4 1 3 5"},    // gathered together, old order kept
        {{3, 1}, 0, 0, "1 3 0 2 4 5"},    // rows in any order
        {{1, 2}, 2, 1, "0 1 2 3 4 5"},    // dropped onto itself: nothing moves
        {{1, 2}, 3, 1, "0 1 2 3 4 5"},    // just below itself: nothing moves
        {{5, 0, 5}, 3, 2, "1 2 0 5 3 4"}, // duplicates ignored
        {{2}, 99, 5, "0 1 3 4 5 2"},      // past the end means the end
        {{-1, 7}, 0, -1, "0 1 2 3 4 5"},  // nothing real to move
    };
    for (const Case& c : cases) {
        ProjectList list;
        fill(list, 6);
        for (int r : c.rows)
            if (r >= 0 && r < 6) list.setSelected(r, true);
        EXPECT_EQ(list.moveRows(c.rows, c.destination), c.first) << c.after;
        EXPECT_EQ(order(list), c.after);
        for (int r : list.selectedIndices())
            EXPECT_GE(r, c.first);
        std::set<int> real;
        for (int r : c.rows)
            if (r >= 0 && r < 6) real.insert(r);
        EXPECT_EQ(list.selectedIndices().size(), real.size()) << "the selection follows";
    }
}

TEST(ProjectListMovesTest, EntriesCanBeDraggedButNotTheEmptySpace) {
    ProjectList list;
    fill(list, 1);
    EXPECT_TRUE(list.flags(list.index(0, ProjectList::RowText)) & Qt::ItemIsDragEnabled);
    EXPECT_TRUE(list.flags(list.index(0, ProjectList::RowText)) & Qt::ItemIsSelectable);
    EXPECT_FALSE(list.flags({}) & Qt::ItemIsDragEnabled);
}

} // namespace
