// Save, Save As, the build tick and the command-file export.
#include "mbm/command_export.h"
#include "mbm/save_build.h"
#include "mbm/save_plan.h"
#include "project/project_state.h"
#include "ui/form1.h"
#include "ui/form3.h"
#include "ui/form4.h"

#include <QCoreApplication>
#include <QDir>

/// A save between its command and its build tick.
struct Form1::PendingSave {
    SavePlan plan;
    BuildInputs inputs;
    QPointer<Form3> conversion;
    bool converted = false; ///< the conversion has ended (or will never run)
    int step = 0;           ///< the undo stack's index the save took its entries from
};

void Form1::setSaveFields(const QString& file, const QString& title) {
    m_project.setMyfile(file);
    myfile->setText(file);
    m_project.setMytitle(title);
    mytitle->setText(title);
}

void Form1::save() {
    if (list().count() == 0) return;
    // One save at a time: a second command while the first still converts is ignored.
    if (m_pendingSave) return;
    if (batchWorkRefused()) return;
    if (m_project.filename() == kNoname) {
        if (!CommonDialog1->showSave()) return;
        const SaveTarget t =
            targetFromDialog(CommonDialog1->fileName(), CommonDialog1->fileTitle());
        setSaveFields(t.myfile, t.mytitle);
        m_project.setFilename(t.myfile);
    }
    setSaveFields(m_project.filename(), m_project.mytitle());

    auto job = std::make_shared<PendingSave>();
    job->step = m_project.undoStack().index();
    const SaveOptions options{m_project.archiveType(), m_project.writesHeader(),
                              m_project.ditherReducedDepths()};
    job->plan = makeSavePlan(programFolder(), list().entries(), m_project.mytitle(),
                             m_project.myfile(), options);
    job->inputs.preparationProblems = prepareSave(workFolders(), job->plan);
    m_pendingSave = job;
    startConversion(job);
    // The build follows as soon as the conversion has ended; Timer1 stays on until then.
    Timer1->start();
}

void Form1::saveas() {
    if (m_pendingSave) return;
    if (list().count() > 0 && batchWorkRefused()) return;
    m_project.setFilename(kNoname);
    save();
}

void Form1::startConversion(const std::shared_ptr<PendingSave>& job) {
    auto* f = new Form3(this);
    job->conversion = f;
    setForm(3, f);
    for (const PictureJob& p : job->plan.pictures) {
        if (p.keepAlpha) f->keepAlphaOf(f->List1->count());
        if (p.ditherTo) f->ditherRowTo(f->List1->count(), *p.ditherTo);
        f->List1->addItem(p.dir);
        f->List2->addItem(p.name);
        f->List3->addItem(p.workName);
    }
    f->setWorkCopies(true);
    f->Text1->setText(QStringLiteral("bmp"));
    f->Text2->setText(programFolder().temp() + QDir::separator());
    const std::weak_ptr<PendingSave> weak = job;
    connect(f, &Form3::finished, this, [this, weak](const QStringList& failures) {
        if (auto j = weak.lock()) {
            j->converted = true;
            j->inputs.unconvertedPictures = failures;
            // Run the build tick right after the conversion window has gone.
            QTimer::singleShot(0, this, &Form1::timer1Tick);
        }
    });
    connect(f, &QObject::destroyed, this, [this, weak] {
        auto j = weak.lock();
        if (!j || j->converted) return;
        // The window was closed before it converted anything.
        j->converted = true;
        j->inputs.unconvertedPictures
            << QStringLiteral("The conversion was stopped before the pictures were converted.");
        if (m_closed)
            m_pendingSave.reset();
        else
            QTimer::singleShot(0, this, &Form1::timer1Tick);
    });
    f->show();
    f->startconvert();
}

void Form1::timer1Tick() {
    const std::shared_ptr<PendingSave> job = m_pendingSave;
    // Never before the conversion has ended: the build needs every converted bitmap.
    if (job && !job->converted && job->conversion) return;
    Timer1->stop();
    m_pendingSave.reset();
    if (!job) return;

    auto* status = new Form4(*this, this);
    setForm(4, status);
    status->show();
    // Let the window appear once before the build blocks the thread; user input waits.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const Status built = runBuild(job->plan, job->inputs, *status, m_work.waitOptions());
    status->close();
    if (!built) m_interaction.message(built.error, QStringLiteral("Error"));
    // Saved as it stands, the project has no unsaved changes; changed meanwhile, it has.
    else if (m_project.undoStack().index() == job->step)
        m_project.undoStack().setClean();
}

void Form1::exportlist() {
    if (list().count() == 0) return;
    CommonDialog1->setFilter(QStringLiteral("Text file|*.txt"));
    // A name of the list's own type: the archive's name would put a text over it.
    const QString archive = CommonDialog1->fileName();
    CommonDialog1->setFileName(exportNameFor(m_project.filename()));
    if (CommonDialog1->showSave()) {
        const Status written = writeCommandExport(CommonDialog1->fileName(), list());
        if (written)
            m_interaction.message(QStringLiteral("File saved"), QStringLiteral("Succes!"));
        else
            m_interaction.message(written.error, QStringLiteral("Error"));
    }
    CommonDialog1->setFilter(CommonDialog::kMbmFilter);
    CommonDialog1->setFileName(archive);
}
