#include "project/project_list.h"

#include <QDir>

const QStringList& colourSwitches() {
    static const QStringList list = {"/1",   "/2",   "/4",   "/8",   "/c4",  "/c8",
                                     "/c12", "/c16", "/c24", "/c32", "/c32a"};
    return list;
}

ProjectList::ProjectList(QObject* parent) : QAbstractTableModel(parent), m_selection(this) {}

int ProjectList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int ProjectList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString BitmapEntry::toolTip() const {
    const QString where =
        origin.fromArchive() ? origin.name(true) : QDir::toNativeSeparators(dir + name);
    return rowText() + QLatin1Char('\n') + where;
}

QVariant ProjectList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) return {};
    const BitmapEntry& e = at(index.row());
    if (role == Qt::ToolTipRole) return e.toolTip();
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
    case RowText:
        return e.rowText();
    case Colour:
        return e.colour;
    case Dir:
        return e.dir;
    case Name:
        return e.name;
    default:
        return {};
    }
}

bool ProjectList::append(const QString& colour, const QString& dir, const QString& name) {
    if (count() >= kMaxEntries) return false;
    beginInsertRows({}, count(), count());
    m_entries.push_back({colour, dir, name});
    endInsertRows();
    return true;
}

int ProjectList::appendAll(const std::vector<BitmapEntry>& entries) {
    const int room = kMaxEntries - count();
    const int n = std::min(room, int(entries.size()));
    if (n <= 0) return 0;
    beginInsertRows({}, count(), count() + n - 1);
    m_entries.insert(m_entries.end(), entries.begin(), entries.begin() + n);
    endInsertRows();
    return n;
}

bool ProjectList::isSelected(int i) const {
    return m_selection.isSelected(index(i, RowText));
}

void ProjectList::setSelected(int i, bool selected) {
    m_selection.select(index(i, RowText),
                       selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void ProjectList::selectAll() {
    if (count() == 0) return;
    m_selection.select(QItemSelection(index(0, RowText), index(count() - 1, RowText)),
                       QItemSelectionModel::Select);
}

std::vector<int> ProjectList::selectedIndices() const {
    std::vector<int> rows;
    for (const QModelIndex& idx : m_selection.selectedIndexes())
        if (idx.column() == RowText) rows.push_back(idx.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ProjectList::clear() {
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

int ProjectList::removeSelected() {
    const std::vector<int> rows = selectedIndices();
    if (rows.empty()) return 0;
    // One compaction pass instead of removing item by item: the same result as removing
    // each selected entry and re-examining its index, without quadratic cost.
    std::vector<BitmapEntry> kept;
    kept.reserve(m_entries.size() - rows.size());
    size_t next = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (next < rows.size() && size_t(rows[next]) == i) {
            ++next;
            continue;
        }
        kept.push_back(std::move(m_entries[i]));
    }
    beginResetModel();
    m_entries = std::move(kept);
    endResetModel();
    return int(rows.size());
}

int ProjectList::setSwitchOfSelected(const QString& colour) {
    const std::vector<int> rows = selectedIndices();
    for (int r : rows)
        m_entries[size_t(r)].colour = colour;
    if (!rows.empty())
        emit dataChanged(index(rows.front(), 0), index(rows.back(), ColumnCount - 1));
    return int(rows.size());
}
