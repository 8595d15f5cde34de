#include "ui/project_list_view.h"

#include "project/project_list.h"

#include <QCoreApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>

// A row drag carries only a mark naming the view; which rows is the list's own selection.
static const QString kRowMoveFormat = QStringLiteral("application/x-mbmzembrel-rows");

static QByteArray rowMoveMark(const ProjectListView* view) {
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(quintptr(view));
}

namespace {

/// Draws a marked row (a mask) indented behind a small corner sign.
class MarkedRowDelegate : public QStyledItemDelegate {
  public:
    explicit MarkedRowDelegate(ProjectListView* view) : QStyledItemDelegate(view), m_view(view) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (!m_view->isMarked(index.row())) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const int indent = option.fontMetrics.height();
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() + indent);
        QStyledItemDelegate::paint(painter, shifted, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        const QRect r = option.rect;
        const int x = r.left() + indent / 2, y = r.center().y();
        painter->drawLine(x, r.top() + 2, x, y);
        painter->drawLine(x, y, r.left() + indent - 2, y);
        painter->restore();
    }

  private:
    ProjectListView* m_view;
};

} // namespace

void ProjectListView::setMarkedRows(std::vector<char> rows) {
    if (rows == m_marked) return;
    m_marked = std::move(rows);
    viewport()->update();
}

ProjectListView::ProjectListView(QWidget* parent) : QListView(parent) {
    setItemDelegate(new MarkedRowDelegate(this));
    setObjectName(QStringLiteral("DisplayList"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

void ProjectListView::setProjectList(ProjectList* list) {
    m_list = list;
    setModel(list);
    setModelColumn(ProjectList::RowText);
    setSelectionModel(list->selectionModel());
}

void ProjectListView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::AltModifier && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        // The window makes the move an undo step.
        emit stepRequested(event->key() == Qt::Key_Up ? -1 : 1);
        scrollTo(currentIndex());
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Delete) && mods == Qt::NoModifier) {
        emit removeRequested();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        emit selectAllRequested();
        event->accept();
        return;
    }
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex().isValid() && currentIndex() != before)
        emit currentMovedByKey(currentIndex().row());
}

void ProjectListView::startDrag(Qt::DropActions) {
    const QModelIndexList rows = selectedIndexes();
    if (rows.isEmpty()) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(rowMoveData());
    // The row under the pointer as the picture that travels with it.
    const QRect r = visualRect(currentIndex().isValid() ? currentIndex() : rows.first());
    if (r.isValid()) {
        drag->setPixmap(viewport()->grab(r));
        drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - r.topLeft());
    }
    drag->exec(Qt::MoveAction);
    setDropRow(-1);
}

QMimeData* ProjectListView::rowMoveData() const {
    auto* mime = new QMimeData;
    mime->setData(kRowMoveFormat, rowMoveMark(this));
    return mime;
}

bool ProjectListView::isRowMove(const QDropEvent* event) const {
    return event->mimeData()->data(kRowMoveFormat) == rowMoveMark(this);
}

bool ProjectListView::hasUsableFiles(const QMimeData* mime) {
    if (!mime->hasUrls()) return false;
    for (const HandedFile& f : handedFiles(mime->urls()))
        if (f.kind != FileKind::Other) return true;
    return false;
}

int ProjectListView::dropRowAt(const QPoint& pos) const {
    const QModelIndex at = indexAt(pos);
    if (!at.isValid()) return model() ? model()->rowCount() : 0;
    return pos.y() < visualRect(at).center().y() ? at.row() : at.row() + 1;
}

void ProjectListView::setDropRow(int row) {
    if (row == m_dropRow) return;
    m_dropRow = row;
    viewport()->update();
}

void ProjectListView::dragEnterEvent(QDragEnterEvent* event) {
    if (isRowMove(event)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else if (hasUsableFiles(event->mimeData()) && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ProjectListView::dragMoveEvent(QDragMoveEvent* event) {
    // The base class scrolls the list while the pointer stays near its top or bottom edge.
    QListView::dragMoveEvent(event);
    const bool rows = isRowMove(event);
    if (!rows && !hasUsableFiles(event->mimeData())) {
        event->ignore();
        setDropRow(-1);
        return;
    }
    event->setDropAction(rows ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
    // Files from outside always go to the end; the line says so.
    setDropRow(rows ? dropRowAt(event->position().toPoint()) : model()->rowCount());
}

void ProjectListView::dragLeaveEvent(QDragLeaveEvent* event) {
    stopAutoScroll();
    setDropRow(-1);
    event->accept();
}

void ProjectListView::dropEvent(QDropEvent* event) {
    stopAutoScroll();
    setDropRow(-1);
    setState(NoState);
    if (isRowMove(event)) {
        if (m_list) {
            const std::vector<int> rows = m_list->selectedIndices();
            const int destination = dropRowAt(event->position().toPoint());
            const int first = m_list->movedBlockStart(rows, destination);
            emit moveRequested(rows, destination);
            if (first >= 0) scrollTo(m_list->index(first, ProjectList::RowText));
        }
        // The move is done here; startDrag does nothing with the drag's result.
        event->setDropAction(Qt::MoveAction);
        event->accept();
        return;
    }
    std::vector<HandedFile> files;
    if (event->mimeData()->hasUrls())
        for (const HandedFile& f : handedFiles(event->mimeData()->urls()))
            if (f.kind != FileKind::Other) files.push_back(f);
    if (files.empty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit filesDropped(files);
}

void ProjectListView::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    if (m_dropRow < 0 || !model()) return;
    // A line between rows where the drop goes.
    const int n = model()->rowCount();
    int y = 1;
    if (n > 0) {
        y = m_dropRow < n ? visualRect(model()->index(m_dropRow, modelColumn())).top()
                          : visualRect(model()->index(n - 1, modelColumn())).bottom() + 1;
    }
    QPainter p(viewport());
    p.setPen(QPen(palette().color(QPalette::Highlight), 2));
    p.drawLine(0, y, viewport()->width(), y);
}
