// Changing the order of the Project list: moving selected entries by one place, and moving
// a set of entries to a drop position.
#include "project/project_list.h"

#include <algorithm>

Qt::ItemFlags ProjectList::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid()) f |= Qt::ItemIsDragEnabled;
    return f;
}

void ProjectList::reorder(const std::vector<int>& order) {
    const int n = count();
    std::vector<int> newIndexOf(size_t(n), 0);
    for (int i = 0; i < n; ++i)
        newIndexOf[size_t(order[size_t(i)])] = i;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& idx : from)
        to << index(newIndexOf[size_t(idx.row())], idx.column());
    changePersistentIndexList(from, to);
    std::vector<BitmapEntry> moved;
    moved.reserve(m_entries.size());
    for (int old : order)
        moved.push_back(std::move(m_entries[size_t(old)]));
    m_entries = std::move(moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::vector<int> ProjectList::stepOrder(const std::vector<int>& rows, int delta) const {
    if (delta != -1 && delta != 1) return {};
    const int n = count();
    std::vector<char> selected(size_t(n), 0);
    for (int r : rows)
        if (r >= 0 && r < n) selected[size_t(r)] = 1;
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[size_t(i)] = i;
    bool moved = false;
    // Walk from the end the entries move towards: a selected entry swaps with an unselected
    // neighbour; one that meets the end or a selected neighbour that stayed, stays.
    const int first = delta < 0 ? 1 : n - 2;
    const int step = delta < 0 ? 1 : -1;
    for (int i = first; i >= 0 && i < n; i += step) {
        const int j = i + delta;
        if (selected[size_t(i)] && !selected[size_t(j)]) {
            std::swap(order[size_t(i)], order[size_t(j)]);
            std::swap(selected[size_t(i)], selected[size_t(j)]);
            moved = true;
        }
    }
    if (!moved) order.clear();
    return order;
}

bool ProjectList::moveSelected(int delta) {
    const std::vector<int> order = stepOrder(selectedIndices(), delta);
    if (order.empty()) return false;
    reorder(order);
    return true;
}

std::vector<int> ProjectList::moveOrder(std::vector<int> rows, int destination) const {
    const int n = count();
    rows.erase(std::remove_if(rows.begin(), rows.end(), [n](int r) { return r < 0 || r >= n; }),
               rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty()) return {};
    destination = std::clamp(destination, 0, n);
    std::vector<char> moving(size_t(n), 0);
    for (int r : rows)
        moving[size_t(r)] = 1;
    // The entries that stay, with the moved block inserted where `destination` falls
    // among them.
    std::vector<int> order;
    order.reserve(size_t(n));
    int insertAt = 0;
    for (int i = 0; i < n; ++i) {
        if (moving[size_t(i)]) continue;
        if (i < destination) ++insertAt;
        order.push_back(i);
    }
    order.insert(order.begin() + insertAt, rows.begin(), rows.end());
    bool same = true;
    for (int i = 0; i < n && same; ++i)
        same = order[size_t(i)] == i;
    if (same) order.clear();
    return order;
}

int ProjectList::moveRows(std::vector<int> rows, int destination) {
    const std::vector<int> order = moveOrder(rows, destination);
    if (!order.empty()) reorder(order);
    return movedBlockStart(rows, destination);
}

int ProjectList::movedBlockStart(std::vector<int> rows, int destination) const {
    const int n = count();
    int first = -1;
    int before = 0;
    destination = std::clamp(destination, 0, n);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int r : rows) {
        if (r < 0 || r >= n) continue;
        if (first < 0) first = 0;
        if (r < destination) ++before;
    }
    return first < 0 ? -1 : destination - before;
}
