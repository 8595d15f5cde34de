// The build job of a save, run once the conversion has finished: the build batch, the
// check of its output, the copy to the target and the clean-up.
#pragma once
#include "jobs/atomic_write.h"
#include "jobs/converter_output.h"
#include "jobs/marker_wait.h"
#include "jobs/result.h"
#include "jobs/status_sink.h"
#include "jobs/work_protocol.h"
#include "mbm/save_plan.h"

#include <QStringList>
#include <vector>

/// What went wrong before the build: the preparation of temp and the conversion.
struct BuildInputs {
    QStringList preparationProblems; ///< from prepareSave
    QStringList unconvertedPictures; ///< one message per picture the conversion skipped
};

/// Runs the build of `plan`: removes a stale marker, error.log, intermediate output and the
/// temporary files of a killed converter, starts mbmcreater.bat hidden and waits for
/// end.log. When nothing failed before, the output is confirmed (checkBuiltArchive: the
/// converter's report and the file's own layout, for exactly the plan's entries; the header,
/// when asked for, must exist) and only then the built files replace their targets
/// (builtFiles, replaceAtomically: every byte written and flushed first). It
/// always cleans up (cleanup.bat, not waited for; the work files directly when no batch can
/// run) and reports each step to `status`; "Saving done..." only after a good copy.
/// Fails with a message saying that the archive was not saved and why (the converter's own
/// message, how it broke down, the pictures that could not be read, a missing tool, a full
/// disk); the target is then left byte for byte as it was, with no partial file beside it.
/// A work root that no batch line can carry safely fails at once, before any batch work.
Status runBuild(const SavePlan& plan, const BuildInputs& inputs, StatusSink& status,
                const WaitOptions& waitOptions = {});

/// The built files of `plan` and where each goes: the header (when the plan writes one) over
/// its target beside the archive, then the intermediate output over the target. They replace
/// their targets together (replaceAtomically): every copy is complete before any rename.
std::vector<FileReplacement> builtFiles(const SavePlan& plan);
