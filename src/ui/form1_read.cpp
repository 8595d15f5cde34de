// Open and Import: choose an archive and hand it to a reading run of the status window.
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
    // A failed clean-up (tempextract not made yet) still empties the list; the run makes
    // the folder itself.
    (void)clean_up();
    const ReadingOutcome read = readArchive(CommonDialog1->fileName(), CommonDialog1->fileTitle());
    // Saved again, the archive keeps its kind (when it could be listed at all).
    if (!read.switches.isEmpty()) m_project.setArchiveType(read.type);
}

void Form1::import() {
    if (batchWorkRefused()) return;
    if (CommonDialog1->showOpen()) importArchive(CommonDialog1->fileName());
}

void Form1::importArchive(const QString& path) {
    if (batchWorkRefused()) return;
    const QString before = m_project.filename();
    CommonDialog1->setFileName(path);
    readArchive(CommonDialog1->fileName(), CommonDialog1->fileTitle());
    m_project.setFilename(before);
}

ReadingOutcome Form1::readArchive(const QString& path, const QString& title) {
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
    return status->extract();
}
