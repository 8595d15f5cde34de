// The visible Project list: keys, and dragging rows within it or files onto it.
#pragma once
#include "project/handed_files.h"

#include <QListView>
#include <functional>
#include <vector>

class ProjectList;

/// The list view `DisplayList` of the Project list. It reports what the user asks for and
/// leaves the commands to the main window, except moving entries, which it does on the list
/// itself: Alt+Up/Alt+Down move the selected entries one place, and dragging selected rows
/// drops them where the line between rows shows. Archives and pictures dragged in from
/// outside are reported with their kinds when dropped (they go to the end of the list, which
/// the line shows while dragging); a drag that holds neither is refused.
class ProjectListView : public QListView {
    Q_OBJECT
  public:
    explicit ProjectListView(QWidget* parent = nullptr);
    /// Shows `list`'s row texts with its selection, and moves its entries.
    void setProjectList(ProjectList* list);

    /// The insertion row a drop at `pos` (viewport coordinates) means: before the row under
    /// the point when it lies in that row's upper half, after it otherwise, the end below
    /// the last row.
    int dropRowAt(const QPoint& pos) const;
    /// What a drag of the selected rows carries: a mark that only this view of this process
    /// takes as a row move.
    QMimeData* rowMoveData() const;

    /// Marks the rows whose flag is set (masks) with an indent and a small sign; their text
    /// stays as it is.
    void setMarkedRows(std::vector<char> rows);
    bool isMarked(int row) const {
        return row >= 0 && size_t(row) < m_marked.size() && m_marked[size_t(row)];
    }

  signals:
    /// The current entry was changed from the keyboard (arrows, Home, End, Page keys).
    void currentMovedByKey(int row);
    /// Delete: remove the selected entries.
    void removeRequested();
    /// Ctrl+A: select all entries.
    void selectAllRequested();
    /// Files from outside were dropped; only archives and pictures are passed on.
    void filesDropped(const std::vector<HandedFile>& files);
    /// Alt+Up (-1) or Alt+Down (+1): move the selected entries one place.
    void stepRequested(int delta);
    /// Rows dragged within the list: move `rows` to `destination` (ProjectList::moveRows).
    void moveRequested(const std::vector<int>& rows, int destination);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    /// Whether the drag is a row move inside this list.
    bool isRowMove(const QDropEvent* event) const;
    /// Whether the drag holds files from outside worth dropping.
    static bool hasUsableFiles(const QMimeData* mime);
    void setDropRow(int row);
    ProjectList* m_list = nullptr;
    int m_dropRow = -1;
    std::vector<char> m_marked;
};
