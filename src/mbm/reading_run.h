// A reading run: lists an archive with `bmconv /v`, splits it with `bmconv /u` in the work
// folder tempextract, and appends one Bitmap entry per bitmap to the project.
#pragma once
#include "jobs/interaction.h"
#include "jobs/marker_wait.h"
#include "jobs/program_folder.h"
#include "jobs/status_sink.h"
#include "project/project.h"

#include <QStringList>
#include <QTime>
#include <functional>

/// What a reading run did.
struct ReadingOutcome {
    enum Kind {
        Extracted,  ///< every listed bitmap was extracted and appended; filename is the archive
        NotValid,   ///< no Colour line in the listing: "Not a valid archive", nothing appended
        Incomplete, ///< fewer bitmaps extracted than listed: those appended, filename unchanged
        Failed,     ///< the run could not read it (a missing tool, a converter that broke
                    ///< down, a work file that could not be written): said why, nothing appended
    };
    Kind kind = NotValid;
    QString stamp;                             ///< the Run stamp the bitmap names carry
    QString workName;                          ///< the name of the archive's copy in tempextract
    QStringList switches;                      ///< the scanned switch list, one per listed bitmap
    ArchiveType type = ArchiveType::FileStore; ///< how the archive stores its bitmaps
    int appended = 0;                          ///< entries appended to the project
    bool cleanedUp = false; ///< the clean-up batch deleted itself before the run returned
};

struct ReadingOptions {
    /// The time of day the Run stamp is taken from.
    std::function<QTime()> clock = [] { return QTime::currentTime(); };
    /// Called with the scanned switch list as soon as the listing has been read.
    std::function<void(const QStringList&)> scanned;
    /// Pause and ceiling of the batch waits.
    WaitOptions wait;
};

/// Reads the archive at `mbmPath` whose bare name is `mbmName` into `project`, blocking the
/// calling thread until the run has cleaned up after itself. Status texts go to `status`.
/// Messages, all titled "Error": "Not a valid archive" when the converter listed the file
/// and found no bitmap in it (its first line; below it the file and the converter's words); why the
/// run could not read it (the tool or interpreter missing, the converter crashed, could not be
/// started or wrote no listing, a batch or command file could not be written, a work root no batch
/// line can carry); and, when bitmaps are missing after the split, how many could not be extracted.
/// Every wait is bounded: a batch that ends without producing what is awaited ends the wait. A name
/// that a batch line cannot carry bare is replaced by a safe name for the copy in tempextract.
ReadingOutcome runReading(const ProgramFolder& pf, const QString& mbmPath, const QString& mbmName,
                          StatusSink& status, Interaction& ui, Project& project,
                          const ReadingOptions& options = {});
