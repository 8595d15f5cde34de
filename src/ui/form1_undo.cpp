// The main window's Edit menu, the modified marker of its title, the preview and the kept
// project after every step, and the moves as steps.
#include "mbm/icon_pairs.h"
#include "mbm/picture_conversion.h"
#include "project/kept_project.h"
#include "project/list_commands.h"
#include "project/project_commands.h"
#include "ui/form1.h"

#include <QMenu>
#include <QStatusBar>
#include <numeric>

void Form1::buildEditMenu(QMenu* edit) {
    QUndoStack& stack = m_project.undoStack();
    undoItem = stack.createUndoAction(this, tr("&Undo"));
    undoItem->setObjectName(QStringLiteral("undo"));
    undoItem->setShortcut(QKeySequence(tr("Ctrl+Z")));
    redoItem = stack.createRedoAction(this, tr("&Redo"));
    redoItem->setObjectName(QStringLiteral("redo"));
    redoItem->setShortcuts({QKeySequence(tr("Ctrl+Shift+Z")), QKeySequence(tr("Ctrl+Y"))});
    edit->addAction(undoItem);
    edit->addAction(redoItem);

    connect(&stack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        setWindowModified(!clean);
        if (clean && restoredNote) restoredNote->hide();
        // A Save makes a clean point without a step: the kept project goes then too.
        keepProject();
    });
    connect(&stack, &QUndoStack::indexChanged, this, &Form1::afterStep);
}

void Form1::afterStep() {
    // The preview never keeps a picture whose entry went: then, and when it shows nothing,
    // it shows the current entry when that is selected, or nothing. An entry still in its
    // place stays, and so does a picture of the file list.
    // An icon that gained or lost its mask is shown again too.
    const PreviewSubject& shown = m_preview->subject();
    auto showsEntry = [this, &shown](int row) {
        if (row < 0 || row != shown.row || row >= list().count()) return false;
        const PreviewSubject now = entrySubject(row);
        return now.path == shown.path && now.maskPath == shown.maskPath;
    };
    const bool stays = showsEntry(shown.row);
    if (!stays && (shown.row >= 0 || shown.path.isEmpty())) {
        const QModelIndex current = list().selectionModel()->currentIndex();
        const int row = current.isValid() && list().isSelected(current.row()) ? current.row() : -1;
        if (!showsEntry(row)) {
            if (row >= 0)
                displayListClick(row);
            else
                m_preview->show(PreviewSubject{});
        }
    }
    keepProject();
}

void Form1::keepProject() {
    // Once closing, the project only goes away: what is kept stays as the last change left it.
    if (!m_kept || m_closed) return;
    KeptProject* kept = m_kept.get();
    // A saved or empty project leaves nothing behind.
    if (m_project.undoStack().isClean() || list().count() == 0) {
        m_keeper.start([kept] { kept->remove(); });
        return;
    }
    // The state shares its texts with the list: the copy is cheap, the writing is not.
    m_keeper.start([this, kept, state = captureState(m_project)] {
        const QString problem = kept->write(state);
        // Said in the window, not in a box: editing goes on either way.
        if (!problem.isEmpty())
            QMetaObject::invokeMethod(
                this, [this, problem] { statusBar()->showMessage(problem); }, Qt::QueuedConnection);
    });
}

void Form1::keepProjectIn(const QString& folder) {
    // A /c32a bitmap read from an archive has its alpha file beside it.
    m_kept = std::make_unique<KeptProject>(folder, programFolder().tempextract(),
                                           [](const QString& name) {
                                               return QStringList{name, alphaFileName(name)};
                                           });
    const std::optional<ProjectState> kept = m_kept->read();
    if (!kept || kept->entries.empty()) {
        m_kept->remove();
        return;
    }
    ProjectState state = captureState(m_project);
    state.entries = kept->entries;
    state.selected = kept->selected;
    state.current = kept->current;
    state.filename = kept->filename;
    for (auto it = kept->settings.cbegin(); it != kept->settings.cend(); ++it)
        state.settings.insert(it.key(), it.value());
    pushReplace(m_project, state, tr("Restore unsaved work"));
    if (!restoredNote) {
        restoredNote = new QLabel(this);
        restoredNote->setObjectName(QStringLiteral("restoredNote"));
        statusBar()->addWidget(restoredNote, 1);
    }
    restoredNote->setText(tr("Unsaved work from the last session was restored. "
                             "Edit > Undo (Ctrl+Z) or File > New starts afresh."));
    restoredNote->show();
}

void Form1::moveByStep(int delta) {
    // An icon moves with its mask: the moves of the pairs, one after the other, as one step.
    const std::vector<int> selected = list().selectedIndices();
    const int n = list().count();
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    bool moved = false;
    for (const RowMove& m : IconPairs::of(list()).movesByOne(selected, delta)) {
        const std::vector<int> step = list().moveOrder(m.rows, m.destination);
        if (step.empty()) continue;
        std::vector<int> next(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            next[size_t(i)] = order[size_t(step[size_t(i)])];
        order = std::move(next);
        moved = true;
    }
    if (moved)
        pushReorder(m_project, order, entriesText(QStringLiteral("Move"), int(selected.size())));
}

void Form1::moveToRow(const std::vector<int>& rows, int destination) {
    const IconPairs pairs = IconPairs::of(list());
    const std::vector<int> moving = pairs.withPartners(rows);
    pushReorder(m_project, list().moveOrder(moving, pairs.dropDestination(destination)),
                entriesText(QStringLiteral("Move"), int(moving.size())));
}
