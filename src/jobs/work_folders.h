// The work folders beside the program: preparing a job, and the clean-up of tempextract.
#pragma once
#include "jobs/marker_wait.h"
#include "jobs/program_folder.h"
#include "jobs/result.h"

#include <QSet>

/// The work folders of one program folder, and the clean-up batch last started there.
class WorkFolders {
  public:
    explicit WorkFolders(ProgramFolder pf, WaitOptions waits = {})
        : m_pf(std::move(pf)), m_waits(std::move(waits)) {}
    const ProgramFolder& programFolder() const { return m_pf; }

    /// The pause and ceiling of every wait on a batch in these folders: the clean-up's, and
    /// those of the builds and reading runs the windows start here. The program keeps the
    /// defaults; tests pass short pauses.
    const WaitOptions& waitOptions() const { return m_waits; }
    void setWaitOptions(WaitOptions waits) { m_waits = std::move(waits); }

    /// Whether batches may run here at all: fails (checkBatchFolder) when the work root
    /// cannot be written into a batch line safely. Then no job writes or starts a batch.
    Status usable() const;

    /// Creates `folder` when missing (an existing folder is no error) and copies bmconv.exe
    /// from the program folder into it, replacing a copy there. Fails with a message when
    /// the work root is not usable, the folder cannot be made or the tool is missing or
    /// cannot be copied.
    Status prepare(const QString& folder) const;

    /// The batch of clean_up: writes tempextract/cleanup.bat (deletes every .bmp, .txt, .exe
    /// and .log file and itself) and starts it hidden without waiting. Fails with a message
    /// when the batch cannot be written or started (tempextract missing, the work root not
    /// usable). The caller empties the Project list whatever the outcome.
    Status cleanUp();
    /// As cleanUp, but the bitmaps named in `keep` (file names in tempextract that a project
    /// or its undo history still uses) stay. With bitmaps to keep, the others are deleted
    /// here and the batch deletes no bitmap.
    Status cleanUpKeeping(const QSet<QString>& keep);

    /// Waits (bounded) until the clean-up batch started by cleanUp has deleted itself and
    /// ended, so a job that starts in tempextract never overlaps with it.
    void waitForCleanUp();

  private:
    ProgramFolder m_pf;
    WaitOptions m_waits;
    BatchProcess m_cleanup;
};

/// Copies `from` to `to`, replacing a file there. Fails with a message naming both.
Status copyReplacing(const QString& from, const QString& to);

/// Deletes the temporary files (*.tmp) that a converter killed mid-run left in the work
/// folder `folder`; only files directly in it.
void removeStaleTemporaries(const QString& folder);
