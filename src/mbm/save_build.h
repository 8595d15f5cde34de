// The build job of a save, run once the conversion has finished: the build batch, the
// check of its output, the copy to the target and the clean-up.
#pragma once
#include "jobs/marker_wait.h"
#include "jobs/result.h"
#include "jobs/status_sink.h"
#include "mbm/save_plan.h"

#include <QStringList>

/// The status texts of a save, in the order the build shows them.
namespace save_status {
inline const QString kSaving = QStringLiteral("Saving ... (plz have patience)");
inline const QString kCopying = QStringLiteral("Copying ...");
inline const QString kCleaning = QStringLiteral("Cleaning up ...");
inline const QString kDone = QStringLiteral("Saving done...");
} // namespace save_status

/// What went wrong before the build: the preparation of temp and the conversion.
struct BuildInputs {
    QStringList preparationProblems; ///< from prepareSave
    QStringList unconvertedPictures; ///< one message per picture the conversion skipped
};

/// Runs the build of `plan`: removes a stale marker, error.log and intermediate output,
/// starts mbmcreater.bat hidden and waits for end.log, then, when the converter made its
/// output and nothing failed before, replaces the target atomically with it. It always
/// cleans up (cleanup.bat, not waited for; the work files directly when no batch can run)
/// and reports each step to `status`; "Saving done..." only after a good copy.
/// Fails with a message saying that the archive was not saved and why (the converter's
/// own message, the pictures that could not be read, a missing tool); the target is then
/// left untouched.
Status runBuild(const SavePlan& plan, const BuildInputs& inputs, StatusSink& status,
                const WaitOptions& waitOptions = {});

/// Copies `from` over `to` through a temporary file beside `to` that is renamed at the
/// end, so `to` is either the old file or the complete new one. Fails with a message.
Status replaceAtomically(const QString& from, const QString& to);

/// The converter's own message in error.log (its lines after the report header), or an
/// empty text when there is none.
QString converterMessage(const QString& errorLogPath);
