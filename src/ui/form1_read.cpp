// Open and Import: choose an archive and hand it to a reading run of the status window.
#include "project/list_commands.h"
#include "project/project_commands.h"
#include "ui/form1.h"
#include "ui/form4.h"

#include <QCoreApplication>

void Form1::open() {
    if (batchWorkRefused()) return;
    // The dialog comes first, so cancelling it loses nothing.
    if (!CommonDialog1->showOpen()) return;
    openArchive(CommonDialog1->fileName());
}

void Form1::openArchive(const QString& path) {
    // Dropped and command-line archives come here without the dialog's check.
    if (batchWorkRefused()) return;
    // The next dialog starts at this archive, whether it was chosen there or handed over.
    CommonDialog1->setFileName(path);
    // Read into a project of its own: a file that cannot be read changes nothing here.
    Project read;
    const ReadingOutcome outcome =
        readArchive(CommonDialog1->fileName(), CommonDialog1->fileTitle(), read);
    if (read.list().count() == 0) return;
    ProjectState after = captureState(m_project);
    after.entries = read.list().entries();
    after.selected.clear();
    after.current = -1;
    after.filename = read.filename();
    // Saved again, the archive keeps its kind.
    after.settings.insert(QStringLiteral("archiveType"), int(outcome.type));
    pushReplace(m_project, after, tr("Open %1").arg(CommonDialog1->fileTitle()));
    // Only the whole archive is the project as it is on disk.
    if (outcome.kind == ReadingOutcome::Extracted) m_project.undoStack().setClean();
    // The bitmaps of the project before stay for its undo.
    (void)clean_up();
}

void Form1::import() {
    if (batchWorkRefused()) return;
    if (CommonDialog1->showOpen()) importArchive(CommonDialog1->fileName());
}

void Form1::importArchive(const QString& path) {
    if (batchWorkRefused()) return;
    CommonDialog1->setFileName(path);
    Project read;
    readArchive(CommonDialog1->fileName(), CommonDialog1->fileTitle(), read);
    const int found = read.list().count();
    const int added = pushAppend(m_project, read.list().entries(),
                                 tr("Import %1").arg(CommonDialog1->fileTitle()));
    if (added < found)
        m_interaction.message(listFullMessage(found - added), QStringLiteral("Error"));
}

ReadingOutcome Form1::readArchive(const QString& path, const QString& title, Project& into) {
    // A clean-up batch still deleting in tempextract would take the run's files with it.
    m_work.waitForCleanUp();
    auto* status = qobject_cast<Form4*>(form(4));
    // A closed status window is already on its way out (it deletes itself on close).
    if (!status || !status->isVisible()) {
        status = new Form4(*this);
        setForm(4, status);
    }
    status->Text1->setText(path);
    status->Text2->setText(title);
    status->show();
    // Let the window appear once before the run blocks the thread; user input waits.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return status->extract(into);
}
