#include "mbm/reading_run.h"

#include "jobs/batch_texts.h"
#include "jobs/converter_output.h"
#include "jobs/file_exists.h"
#include "jobs/platform.h"
#include "jobs/text_file.h"
#include "jobs/work_folders.h"
#include "jobs/work_protocol.h"
#include "mbm/listing_switches.h"
#include "mbm/read_names.h"
#include "project/list_commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using namespace work_files;

class Run {
  public:
    Run(const ProgramFolder& pf, StatusSink& status, Interaction& ui, Project& project,
        const ReadingOptions& options)
        : m_pf(pf), m_status(status), m_ui(ui), m_project(project), m_options(options) {}

    ReadingOutcome run(const QString& mbmPath, const QString& mbmName) {
        // No batch may run where the work root cannot be written into a batch line.
        if (Status usable = checkBatchFolder(m_pf.workRoot()); !usable) {
            m_out.kind = ReadingOutcome::Failed;
            m_ui.message(usable.error, QStringLiteral("Error"));
            return m_out;
        }
        prepare(mbmPath, mbmName);
        scan();
        if (m_out.switches.isEmpty()) {
            const QString why = scanFailure(mbmPath);
            m_out.kind = why.isEmpty() ? ReadingOutcome::NotValid : ReadingOutcome::Failed;
            m_ui.message(why.isEmpty() ? notValidMessage(mbmPath)
                                       : why + QStringLiteral(" The archive was not read."),
                         QStringLiteral("Error"));
        } else {
            extract(mbmPath);
        }
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
        m_out.workName = readingWorkName(mbmName, inWorkFolder, m_out.stamp);
        m_status.setStatus(reading_status::kCopying);
        const QString copy = work(m_out.workName);
        if (Status s = copyReplacing(mbmPath, copy); s)
            QFile::setPermissions(copy, QFile::permissions(copy) | QFile::WriteOwner);
        else
            problem(s);
        const Status scanWritten = writeLines(work(kScanBat), scanBatch(m_pf, m_out.workName));
        m_scanWritten = scanWritten.ok;
        problem(scanWritten);
        // The copy above is synchronous: only wait when it is not there yet.
        if (!FileExists(copy)) waitForFile(copy, BatchProcess{}, m_options.wait);
    }

    // Scanning: run the listing and read one switch per Colour line.
    void scan() {
        // A marker or listing left by an interrupted run must not end the wait early, and
        // the temporary files of a converter killed then are of no use to anyone.
        QFile::remove(work(kEndLog));
        QFile::remove(work(kTempLog));
        removeStaleTemporaries(m_pf.tempextract());
        m_status.setStatus(reading_status::kScanning);
        if (m_scanWritten) {
            const BatchProcess batch = platform::startBatchHidden(m_pf, work(kScanBat));
            if (!batch.started() && m_problem.isEmpty()) m_problem = batch.error;
            m_scanWait = waitForFile(work(kEndLog), batch, m_options.wait);
            if (m_scanWait == WaitResult::Done) {
                const QStringList listing = readConverterOutput(work(kTempLog)).lines;
                m_out.switches = switchesFromListing(listing);
                m_out.type = archiveTypeFromListing(listing);
            }
        }
        if (m_options.scanned) m_options.scanned(m_out.switches);
        m_status.setStatus(reading_status::kPreparing);
    }

    /// Why the listing gave no bitmap when that is not the archive's fault; empty when the
    /// converter listed the archive and found it invalid.
    QString scanFailure(const QString& mbmPath) const {
        if (!m_problem.isEmpty()) return m_problem;
        if (m_scanWait == WaitResult::TimedOut)
            return QStringLiteral("The converter did not finish listing the archive in time.");
        if (m_scanWait == WaitResult::BatchEnded)
            return QStringLiteral("The listing batch ended before it had finished its work.");
        // A converter that crashed or never ran must not have the archive blamed for it.
        const ConverterOutput out = readConverterOutput(work(kTempLog));
        if (out.brokeDown())
            return QStringLiteral("The converter failed while listing %1. %2")
                .arg(QDir::toNativeSeparators(mbmPath), out.breakdown());
        return {};
    }

    /// "Not a valid archive", then the file and what the converter said about it.
    QString notValidMessage(const QString& mbmPath) const {
        QStringList lines = {QStringLiteral("Not a valid archive"),
                             QDir::toNativeSeparators(mbmPath)};
        const QString said = readConverterOutput(work(kTempLog)).message().trimmed();
        if (!said.isEmpty()) lines << said;
        return lines.join(QLatin1Char('\n'));
    }

    /// Keeps the first problem.
    void problem(const Status& s) {
        if (!s && m_problem.isEmpty()) m_problem = s.error;
    }

    // Extracting: split the archive and append one entry per bitmap.
    void extract(const QString& mbmPath) {
        const int n = int(m_out.switches.size());
        Status written = writeLines(work(kExtractCommandFile),
                                    extractCommandLines(m_out.workName, m_out.stamp, n));
        if (written) written = writeLines(work(kExtractBat), extractBatch(m_pf));
        if (!written) {
            m_out.kind = ReadingOutcome::Failed;
            m_ui.message(written.error + QStringLiteral(" The archive was not read."),
                         QStringLiteral("Error"));
            return;
        }
        m_status.setStatus(reading_status::kExtracting);
        const BatchProcess batch = platform::startBatchHidden(m_pf, work(kExtractBat));
        const QString last = work(extractedBitmapName(m_out.stamp, n - 1));
        const bool complete = waitForFile(last, batch, m_options.wait) == WaitResult::Done;
        if (complete) waitForExit(batch);
        m_status.setStatus(reading_status::kCreatingProject);
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
        const Status written =
            writeLines(work(kCleanupBat), readingCleanupBatch(m_pf, m_out.workName));
        m_status.setStatus(reading_status::kCleaning);
        if (!written) {
            // Nothing to tell the user: the files go directly instead.
            for (const QString& name : {kScanBat, kTempLog, kEndLog, kExtractCommandFile,
                                        kExtractBat, kBmconv, m_out.workName})
                QFile::remove(work(name));
            m_out.cleanedUp = true;
            return;
        }
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
    bool m_scanWritten = false;
    WaitResult m_scanWait = WaitResult::BatchEnded;
};

} // namespace

ReadingOutcome runReading(const ProgramFolder& pf, const QString& mbmPath, const QString& mbmName,
                          StatusSink& status, Interaction& ui, Project& project,
                          const ReadingOptions& options) {
    return Run(pf, status, ui, project, options).run(mbmPath, mbmName);
}
