#include "mbm/reading_run.h"

#include "jobs/batch_texts.h"
#include "jobs/file_exists.h"
#include "jobs/platform.h"
#include "jobs/text_file.h"
#include "jobs/work_folders.h"
#include "mbm/listing_switches.h"
#include "mbm/read_names.h"
#include "project/list_commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kScanBat = QStringLiteral("scan.bat");
const QString kTempLog = QStringLiteral("temp.log");
const QString kEndLog = QStringLiteral("end.log");
const QString kExtractTxt = QStringLiteral("extract.txt");
const QString kExtractBat = QStringLiteral("extract.bat");
const QString kCleanupBat = QStringLiteral("cleanup.bat");

class Run {
  public:
    Run(const ProgramFolder& pf, StatusSink& status, Interaction& ui, Project& project,
        const ReadingOptions& options)
        : m_pf(pf), m_status(status), m_ui(ui), m_project(project), m_options(options) {}

    ReadingOutcome run(const QString& mbmPath, const QString& mbmName) {
        prepare(mbmPath, mbmName);
        scan();
        if (m_out.switches.isEmpty())
            m_ui.message(m_problem.isEmpty()
                             ? QStringLiteral("Not a valid archive")
                             : m_problem + QStringLiteral(" The archive was not read."),
                         QStringLiteral("Error"));
        else
            extract(mbmPath);
        cleanUp();
        return m_out;
    }

  private:
    QString work(const QString& name) const { return m_pf.inTempextract(name); }

    // Preparing: the work folder, the stamp, the tool, the archive copy and scan.bat.
    void prepare(const QString& mbmPath, const QString& mbmName) {
        // A missing tool must not pass for a damaged archive: it is named instead.
        if (Status s = WorkFolders(m_pf).prepare(m_pf.tempextract()); !s) m_problem = s.error;
        m_out.stamp = uniqueRunStamp(runStampFor(m_options.clock()), m_pf.tempextract());
        // An archive that already lies in tempextract is copied under another name, so the
        // copy never replaces (and the clean-up never deletes) the user's own file.
        const bool inWorkFolder = sameFolder(QFileInfo(mbmPath).absolutePath(), m_pf.tempextract());
        m_out.workName =
            isBareSafeName(mbmName) && !inWorkFolder ? mbmName : safeArchiveName(m_out.stamp);
        m_status.setStatus(QStringLiteral("Copying mbm file to temp dir"));
        const QString copy = work(m_out.workName);
        if (Status s = copyReplacing(mbmPath, copy); s)
            QFile::setPermissions(copy, QFile::permissions(copy) | QFile::WriteOwner);
        else if (m_problem.isEmpty())
            m_problem = s.error;
        writeLines(work(kScanBat), scanBatch(m_pf, m_out.workName));
        // The copy above is synchronous: only wait when it is not there yet.
        if (!FileExists(copy)) waitForFile(copy, BatchProcess{}, m_options.wait);
    }

    // Scanning: run the listing and read one switch per Colour line.
    void scan() {
        // A marker or listing left by an interrupted run must not end the wait early.
        QFile::remove(work(kEndLog));
        QFile::remove(work(kTempLog));
        m_status.setStatus(QStringLiteral("Scanning mbm file"));
        const BatchProcess batch = platform::startBatchHidden(m_pf, work(kScanBat));
        if (!batch.started() && m_problem.isEmpty()) m_problem = batch.error;
        if (waitForFile(work(kEndLog), batch, m_options.wait) == WaitResult::Done) {
            const QStringList listing = readLines(work(kTempLog));
            m_out.switches = switchesFromListing(listing);
            m_out.type = archiveTypeFromListing(listing);
        }
        if (m_options.scanned) m_options.scanned(m_out.switches);
        m_status.setStatus(QStringLiteral("Preparing for extraction"));
    }

    // Extracting: split the archive and append one entry per bitmap.
    void extract(const QString& mbmPath) {
        const int n = int(m_out.switches.size());
        writeLines(work(kExtractTxt), extractCommandLines(m_out.workName, m_out.stamp, n));
        writeLines(work(kExtractBat), extractBatch(m_pf));
        m_status.setStatus(QStringLiteral("Extracting"));
        const BatchProcess batch = platform::startBatchHidden(m_pf, work(kExtractBat));
        const QString last = work(extractedBitmapName(m_out.stamp, n - 1));
        const bool complete = waitForFile(last, batch, m_options.wait) == WaitResult::Done;
        if (complete) waitForExit(batch);
        m_status.setStatus(QStringLiteral("Done, creating project."));
        const int found = appendEntries(mbmPath);
        if (m_out.appended == n) {
            m_out.kind = ReadingOutcome::Extracted;
            m_project.setFilename(mbmPath);
            return;
        }
        // Part of the archive is missing: the project has no file of its own now, so a
        // later Save asks for a target instead of overwriting the archive (or the file of
        // the project before) with fewer bitmaps. Import puts its old name back anyway.
        m_out.kind = ReadingOutcome::Incomplete;
        m_project.setFilename(kNoname);
        QStringList text;
        if (found < n)
            text << QStringLiteral("%1 of the %2 bitmaps in %3 could not be extracted. "
                                   "The other bitmaps were added to the project.")
                        .arg(n - found)
                        .arg(n)
                        .arg(QDir::toNativeSeparators(mbmPath));
        if (m_out.appended < found) text << listFullMessage(found - m_out.appended);
        m_ui.message(text.join(QLatin1Char(' ')), QStringLiteral("Error"));
    }

    // The last bitmap exists; give the converter a moment to end before the clean-up
    // deletes it and the archive copy.
    void waitForExit(const BatchProcess& batch) {
        WaitOptions quick;
        quick.pauseMs = 10;
        quick.ceilingMs = 2000;
        waitUntil([&] { return !platform::isRunning(batch); }, batch, quick);
    }

    // Only bitmaps that exist become entries: a converter that stopped half-way (or a name
    // it could not write) must not leave entries without a file. Returns how many exist.
    int appendEntries(const QString& mbmPath) {
        const QString folder = folderWithSeparator(m_pf.tempextract());
        std::vector<BitmapEntry> entries;
        entries.reserve(size_t(m_out.switches.size()));
        for (int k = 0; k < m_out.switches.size(); ++k) {
            const QString name = extractedBitmapName(m_out.stamp, k);
            if (FileExists(work(name)))
                entries.push_back({m_out.switches.at(k), folder, name, {mbmPath, m_out.type, k}});
        }
        m_out.appended = m_project.list().appendAll(entries);
        return int(entries.size());
    }

    // Cleaning up: delete the run's work files, keep the bitmaps.
    void cleanUp() {
        writeLines(work(kCleanupBat), readingCleanupBatch(m_pf, m_out.workName));
        m_status.setStatus(QStringLiteral("Cleaning up"));
        const BatchProcess batch = platform::startBatchHidden(m_pf, work(kCleanupBat));
        m_out.cleanedUp =
            waitForRemoval(work(kCleanupBat), batch, m_options.wait) == WaitResult::Done;
    }

    const ProgramFolder& m_pf;
    StatusSink& m_status;
    Interaction& m_ui;
    Project& m_project;
    const ReadingOptions& m_options;
    ReadingOutcome m_out;
    QString m_problem; // why no batch could read the archive, when known
};

} // namespace

ReadingOutcome runReading(const ProgramFolder& pf, const QString& mbmPath, const QString& mbmName,
                          StatusSink& status, Interaction& ui, Project& project,
                          const ReadingOptions& options) {
    return Run(pf, status, ui, project, options).run(mbmPath, mbmName);
}
