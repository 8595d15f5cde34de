// Edits of the Project list on explicit rows: inserting and removing entries anywhere,
// switches of many rows, and putting back a selection.
#include "project/project_list.h"

#include <algorithm>

static bool contiguous(const std::vector<int>& rows) {
    return !rows.empty() && rows.back() - rows.front() + 1 == int(rows.size());
}

void ProjectList::insertEntries(const std::vector<int>& rows,
                                const std::vector<BitmapEntry>& entries) {
    if (rows.empty() || rows.size() != entries.size()) return;
    const int total = count() + int(rows.size());
    if (contiguous(rows) && rows.front() <= count()) {
        beginInsertRows({}, rows.front(), rows.back());
        m_entries.insert(m_entries.begin() + rows.front(), entries.begin(), entries.end());
        endInsertRows();
    } else {
        std::vector<BitmapEntry> merged;
        merged.reserve(size_t(total));
        std::vector<int> newRowOf(m_entries.size(), -1);
        size_t next = 0, old = 0;
        for (int i = 0; i < total; ++i) {
            if (next < rows.size() && rows[next] == i) {
                merged.push_back(entries[next++]);
            } else if (old < m_entries.size()) {
                newRowOf[old] = i;
                merged.push_back(std::move(m_entries[old++]));
            }
        }
        replaceEntries(std::move(merged), newRowOf);
    }
}

std::vector<BitmapEntry> ProjectList::removeEntries(const std::vector<int>& rows) {
    std::vector<BitmapEntry> removed;
    if (rows.empty()) return removed;
    removed.reserve(rows.size());
    if (contiguous(rows)) {
        beginRemoveRows({}, rows.front(), rows.back());
        const auto first = m_entries.begin() + rows.front();
        const auto last = first + int(rows.size());
        std::move(first, last, std::back_inserter(removed));
        m_entries.erase(first, last);
        endRemoveRows();
        return removed;
    }
    std::vector<BitmapEntry> kept;
    kept.reserve(m_entries.size() - rows.size());
    std::vector<int> newRowOf(m_entries.size(), -1);
    size_t next = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (next < rows.size() && size_t(rows[next]) == i) {
            ++next;
            removed.push_back(std::move(m_entries[i]));
        } else {
            newRowOf[i] = int(kept.size());
            kept.push_back(std::move(m_entries[i]));
        }
    }
    replaceEntries(std::move(kept), newRowOf);
    return removed;
}

void ProjectList::setSwitches(const std::vector<int>& rows, const QStringList& colours) {
    if (rows.empty() || int(rows.size()) != colours.size()) return;
    for (size_t k = 0; k < rows.size(); ++k)
        m_entries[size_t(rows[k])].colour = colours.at(qsizetype(k));
    const auto [low, high] = std::minmax_element(rows.begin(), rows.end());
    emit dataChanged(index(*low, 0), index(*high, ColumnCount - 1));
}

void ProjectList::setSelection(const std::vector<int>& rows, int current) {
    QItemSelection selection;
    // Runs of rows as ranges: a whole list selected is one range, not thousands.
    for (size_t k = 0; k < rows.size();) {
        size_t end = k;
        while (end + 1 < rows.size() && rows[end + 1] == rows[end] + 1)
            ++end;
        if (rows[k] >= 0 && rows[end] < count())
            selection.select(index(rows[k], RowText), index(rows[end], RowText));
        k = end + 1;
    }
    m_selection.select(selection, QItemSelectionModel::ClearAndSelect);
    const QModelIndex at =
        current >= 0 && current < count() ? index(current, RowText) : QModelIndex();
    m_selection.setCurrentIndex(at, QItemSelectionModel::NoUpdate);
}

void ProjectList::replaceEntries(std::vector<BitmapEntry> entries,
                                 const std::vector<int>& newRowOf) {
    std::vector<int> selected;
    for (int r : selectedIndices())
        if (newRowOf[size_t(r)] >= 0) selected.push_back(newRowOf[size_t(r)]);
    const QModelIndex cur = m_selection.currentIndex();
    const int current =
        cur.isValid() && size_t(cur.row()) < newRowOf.size() ? newRowOf[size_t(cur.row())] : -1;
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
    setSelection(selected, current);
}
