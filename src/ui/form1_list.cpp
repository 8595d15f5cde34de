// The main window's file browser and Project list commands, New and Exit.
#include "ui/form1.h"

#include "project/list_commands.h"

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
    const QString dir = folderWithSeparator(Dir1->path());
    std::vector<BitmapEntry> pictures;
    for (const QString& name : File1->selectedNames())
        pictures.push_back({colourselection->currentText(), dir, name});
    appendPictures(pictures);
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
    list().setSwitchOfSelected(colourselection2->currentText());
}

void Form1::command7Click() {
    list().clear();
}

Status Form1::clean_up() {
    const Status status = m_work.cleanUp();
    // Whatever happened to the batch, the project is emptied.
    list().clear();
    return status;
}

void Form1::newProject() {
    // A missing tempextract only means there is nothing to clean; the list is emptied anyway.
    // Only a work root where no batch may run is worth a word.
    const Status cleaned = clean_up();
    m_project.setFilename(kNoname);
    m_project.setArchiveType(ArchiveType::FileStore);
    if (!cleaned && !m_work.usable()) m_interaction.message(cleaned.error, QStringLiteral("Error"));
}

void Form1::exitProgram() {
    close();
}
