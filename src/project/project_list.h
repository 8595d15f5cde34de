// The Project list: the ordered Bitmap entries one archive is built from.
#pragma once
#include "project/archive_type.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QString>
#include <vector>

/// One Bitmap entry: a colour switch, the folder of the picture (ending with a separator)
/// and the picture's file name without folder; for a bitmap read from an archive also
/// where it came from.
struct BitmapEntry {
    QString colour;
    QString dir;
    QString name;
    EntryOrigin origin = {};
    /// What the list shows and the command-file export writes: switch glued to the name.
    QString rowText() const { return colour + name; }
    /// The row's tooltip: its whole row text, then where the picture is: its full path, or
    /// for a bitmap read from an archive "<archive path> #<index>".
    QString toolTip() const;
};

/// The eleven colour switches, in the order both switch lists show them.
const QStringList& colourSwitches();
/// Index of "/c8" in colourSwitches(): the switch both lists start on.
constexpr int kDefaultSwitchIndex = 5;

/// The Project list as one table model whose four columns are the four index-aligned lists
/// the main window shows or hides: row text, colour, folder and file name. Every change
/// touches all four at once, so they can never get out of step. The selection of the
/// visible list lives in selectionModel().
class ProjectList : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { RowText = 0, Colour = 1, Dir = 2, Name = 3, ColumnCount = 4 };
    /// Entry indices are 16-bit signed: a project holds at most this many entries.
    static constexpr int kMaxEntries = 32767;

    explicit ProjectList(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Entries can be dragged (the Project list view moves them).
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// Appends one entry at the end. Returns false and changes nothing when the list is full.
    bool append(const QString& colour, const QString& dir, const QString& name);
    /// Appends many entries with one model notification; stops at the limit and returns how
    /// many were appended.
    int appendAll(const std::vector<BitmapEntry>& entries);
    int count() const { return int(m_entries.size()); }
    /// Entry i, 0 <= i < count().
    const BitmapEntry& at(int i) const { return m_entries[size_t(i)]; }
    const std::vector<BitmapEntry>& entries() const { return m_entries; }

    QItemSelectionModel* selectionModel() { return &m_selection; }
    bool isSelected(int i) const;
    void setSelected(int i, bool selected);
    /// Selects every entry in one step.
    void selectAll();
    /// Indices of the selected entries, in list order.
    std::vector<int> selectedIndices() const;

    /// Empties the list.
    void clear();
    /// Removes every selected entry; the others keep their order. Returns how many went.
    int removeSelected();
    /// Gives every selected entry the switch `colour`. Returns how many changed.
    int setSwitchOfSelected(const QString& colour);

    /// Moves every selected entry one place up (`delta` -1) or down (+1), the four columns
    /// together. An entry at the end it moves towards, or behind a selected entry that cannot
    /// move, stays. The selection and the current entry move with their entries. Returns
    /// whether anything moved.
    bool moveSelected(int delta);
    /// Moves the entries `rows` (any order, duplicates and rows out of range ignored) so they
    /// stand together, in their old order, where `destination` was: before the entry that
    /// stood at `destination` (count() for the end). The other entries keep their order;
    /// selection and current entry follow their entries. Returns the new index of the first
    /// moved entry (-1 when `rows` names none).
    int moveRows(std::vector<int> rows, int destination);

    // --- edits on explicit rows (the undo steps are made of these) ---
    /// Inserts `entries` so that entry k stands at row rows[k] afterwards; `rows` ascending
    /// and distinct, the list must have room for all. Selection and current entry stay with
    /// their entries.
    void insertEntries(const std::vector<int>& rows, const std::vector<BitmapEntry>& entries);
    /// Removes the entries at `rows` (ascending, distinct, in range) and returns them in order.
    std::vector<BitmapEntry> removeEntries(const std::vector<int>& rows);
    /// Gives entry rows[k] the switch colours[k].
    void setSwitches(const std::vector<int>& rows, const QStringList& colours);
    /// The order (new index -> old index) that moveSelected(delta) would give with `rows`
    /// selected, or an empty order when nothing would move.
    std::vector<int> stepOrder(const std::vector<int>& rows, int delta) const;
    /// The order that moveRows(rows, destination) would give, or an empty order when
    /// nothing would move.
    std::vector<int> moveOrder(std::vector<int> rows, int destination) const;
    /// Where the first of `rows` stands after moveRows(rows, destination) (-1 for none).
    int movedBlockStart(std::vector<int> rows, int destination) const;
    /// Puts the entries in the order `order` (new index -> old index) in one layout change
    /// that carries persistent indices (selection, current entry) along.
    void reorder(const std::vector<int>& order);
    /// Selects exactly `rows` and makes `current` (-1 for none) the current entry.
    void setSelection(const std::vector<int>& rows, int current);
    // --- end edits on explicit rows ---

  private:
    /// Replaces the entries after a change of many scattered rows: one model reset, then
    /// the selection and current entry of the surviving entries (`newRowOf` old -> new, -1
    /// for gone) are put back.
    void replaceEntries(std::vector<BitmapEntry> entries, const std::vector<int>& newRowOf);
    std::vector<BitmapEntry> m_entries;
    QItemSelectionModel m_selection;
};
