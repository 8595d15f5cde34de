// The main window's file browser and Project list commands, New and Exit.
#include "ui/form1.h"

#include "mbm/picture_conversion.h"
#include "project/list_commands.h"
#include "project/project_commands.h"

#include <QDir>

void Form1::drive1Change() {
    followDrive(Drive1, Dir1, programFolder().path());
}

QString Form1::filePath(int i) const {
    if (i < 0 || i >= File1->count()) return {};
    return joinFolder(Dir1->path(), File1->item(i)->text());
}

void Form1::file1Click() {
    showPreview(filePath(File1->currentRow()));
}

void Form1::displayListClick(int row) {
    if (row < 0 || row >= list().count()) return;
    showPreview(entrySubject(row));
}

void Form1::command1Click() {
    selectAllGuarded(
        m_project, File1->count(), [this] { File1->selectAll(); },
        [this](int i) { showPreview(filePath(i)); });
}

void Form1::command2Click() {
    if (File1->count() == 0) return;
    appendPictures(
        selectedFileEntries(Dir1->path(), File1->selectedNames(), colourselection->currentText()));
}

void Form1::command3Click() {
    removeSelectedWithMasks();
}

void Form1::command4Click() {
    selectAllGuarded(
        m_project, list().count(), [this] { list().selectAll(); },
        [this](int i) { displayListClick(i); });
}

void Form1::command6Click() {
    pushSetSwitch(m_project, list().selectedIndices(), colourselection2->currentText());
}

void Form1::command7Click() {
    std::vector<int> all(static_cast<size_t>(list().count()));
    for (int i = 0; i < list().count(); ++i)
        all[size_t(i)] = i;
    pushRemove(m_project, all, tr("Clear all"));
}

Status Form1::clean_up() {
    QSet<QString> keep;
    if (!m_closed) {
        const QString work = folderWithSeparator(programFolder().tempextract());
        for (const QString& path : picturesInUse(m_project))
            if (path.startsWith(work)) {
                // A /c32a bitmap read from an archive has its alpha file beside it.
                keep.insert(path.mid(work.size()));
                keep.insert(alphaFileName(path.mid(work.size())));
            }
    }
    return m_work.cleanUpKeeping(keep);
}

void Form1::newProject() {
    ProjectState empty = captureState(m_project);
    empty.entries.clear();
    empty.selected.clear();
    empty.current = -1;
    empty.filename = kNoname;
    empty.settings.insert(QStringLiteral("archiveType"), int(ArchiveType::FileStore));
    if (!(empty == captureState(m_project))) pushReplace(m_project, empty, tr("New"));
    m_project.undoStack().setClean();
    // A missing tempextract only means there is nothing to clean. Only a work root where no
    // batch may run is worth a word. The bitmaps of the project before stay for its undo.
    const Status cleaned = clean_up();
    if (!cleaned && !m_work.usable()) m_interaction.message(cleaned.error, QStringLiteral("Error"));
}

void Form1::exitProgram() {
    close();
}
