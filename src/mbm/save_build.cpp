#include "mbm/save_build.h"

#include "jobs/batch_texts.h"
#include "jobs/file_exists.h"
#include "jobs/text_file.h"
#include "jobs/work_folders.h"
#include "mbm/built_archive.h"

#include <QDir>
#include <QFile>

namespace {

using namespace work_files;

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

/// Runs mbmcreater.bat and waits for its marker. Returns what failed, or nothing.
QStringList runBuildBatch(const SavePlan& plan, const WaitOptions& waitOptions, bool& started) {
    const ProgramFolder& pf = plan.folder;
    // Leftovers of an interrupted build must neither end the wait early nor pass for this
    // build's result or message.
    QFile::remove(pf.inTemp(kEndLog));
    QFile::remove(pf.inTemp(kErrorLog));
    QFile::remove(plan.outputPath());
    removeStaleTemporaries(pf.temp());
    const BatchProcess batch = platform::startBatchHidden(pf, pf.inTemp(kBuildBat));
    started = batch.started();
    if (!started) return {batch.error};
    switch (waitForFile(pf.inTemp(kEndLog), batch, waitOptions)) {
    case WaitResult::Done:
        return {};
    case WaitResult::BatchEnded:
        return {QStringLiteral("The build batch ended before it had finished its work.")};
    case WaitResult::TimedOut:
        return {QStringLiteral("The build did not finish in time.")};
    }
    return {};
}

/// Why the converter made no output.
QString missingOutputReason(const SavePlan& plan) {
    const ConverterOutput out = readConverterOutput(plan.folder.inTemp(kErrorLog));
    if (out.brokeDown()) return QStringLiteral("The converter failed. ") + out.breakdown();
    const QString message = out.message();
    if (message.isEmpty()) return QStringLiteral("The converter made no archive.");
    return QStringLiteral("The converter made no archive. It reported:\n") + message;
}

/// Deletes the build's work files directly, for when no batch could run to do it.
void removeWorkFiles(const SavePlan& plan) {
    const ProgramFolder& pf = plan.folder;
    for (const PictureJob& p : plan.pictures)
        QFile::remove(pf.inTemp(p.workName));
    for (const QString& alpha : plan.alphaNames)
        QFile::remove(pf.inTemp(alpha));
    for (const QString& name :
         {kBuildCommandFile, kBuildBat, kBmconv, kEndLog, kIdentifierNamesFile})
        QFile::remove(pf.inTemp(name));
    QFile::remove(plan.outputPath());
    if (!plan.headerName.isEmpty()) QFile::remove(plan.headerPath());
}

QStringList outputNames(const SavePlan& plan) {
    QStringList names{plan.outputName};
    if (!plan.headerName.isEmpty()) names << plan.headerName;
    return names;
}

void cleanUp(const SavePlan& plan, bool batchesRun) {
    const ProgramFolder& pf = plan.folder;
    const QString bat = pf.inTemp(kCleanupBat);
    if (batchesRun && writeLines(bat, buildCleanupBatch(pf, outputNames(plan))) &&
        platform::startBatchHidden(pf, bat).started())
        return;
    QFile::remove(bat);
    removeWorkFiles(plan);
}

QString failureText(const SavePlan& plan, const QStringList& problems) {
    return QStringLiteral("The archive was not saved to %1.\n\n%2\n\nA file already there "
                          "was left unchanged.")
        .arg(native(plan.target), problems.join(QStringLiteral("\n\n")));
}

} // namespace

std::vector<FileReplacement> builtFiles(const SavePlan& plan) {
    std::vector<FileReplacement> files;
    if (!plan.headerName.isEmpty()) files.push_back({plan.headerPath(), plan.headerTarget});
    // The archive last: should a rename fail, the user's archive is the file kept as it was.
    files.push_back({plan.outputPath(), plan.target});
    return files;
}

Status runBuild(const SavePlan& plan, const BuildInputs& inputs, StatusSink& status,
                const WaitOptions& waitOptions) {
    if (Status usable = checkBatchFolder(plan.folder.workRoot()); !usable)
        return Status::failure(failureText(plan, {usable.error}));
    status.setStatus(save_status::kSaving);
    QStringList problems = inputs.preparationProblems;
    if (!inputs.unconvertedPictures.isEmpty())
        problems << QStringLiteral("These pictures could not be converted:\n") +
                        inputs.unconvertedPictures.join(QLatin1Char('\n'));
    bool started = false;
    problems << runBuildBatch(plan, waitOptions, started);
    const bool haveOutput = FileExists(plan.outputPath());
    if (started && !haveOutput) problems << missingOutputReason(plan);
    // Both files are there before either replaces its target.
    if (started && haveOutput && !plan.headerName.isEmpty() && !FileExists(plan.headerPath()))
        problems << QStringLiteral("The converter made no header.");
    // A converter may exit with success and leave junk or half a file: only an archive that
    // the report and its own layout confirm may replace the user's file.
    if (problems.isEmpty())
        if (Status built = checkBuiltArchive(plan.outputPath(), plan.folder.inTemp(kErrorLog),
                                             int(plan.workNames.size()));
            !built)
            problems << built.error;
    if (problems.isEmpty()) {
        status.setStatus(save_status::kCopying);
        if (Status copied = replaceAtomically(builtFiles(plan)); !copied) problems << copied.error;
    }
    status.setStatus(save_status::kCleaning);
    cleanUp(plan, started);
    if (problems.isEmpty()) status.setStatus(save_status::kDone);
    // Normally fails: temp keeps error.log (and the running clean-up) for the next build.
    QDir().rmdir(plan.folder.temp());
    if (!problems.isEmpty()) return Status::failure(failureText(plan, problems));
    return Status::success();
}
