#include "mbm/save_build.h"

#include "jobs/batch_texts.h"
#include "jobs/file_exists.h"
#include "jobs/text_file.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

/// Runs mbmcreater.bat and waits for its marker. Returns what failed, or nothing.
QStringList runBuildBatch(const SavePlan& plan, const WaitOptions& waitOptions, bool& started) {
    const ProgramFolder& pf = plan.folder;
    // Leftovers of an interrupted build must neither end the wait early nor pass for this
    // build's result or message.
    QFile::remove(pf.inTemp(QStringLiteral("end.log")));
    QFile::remove(pf.inTemp(QStringLiteral("error.log")));
    QFile::remove(plan.outputPath());
    const BatchProcess batch =
        platform::startBatchHidden(pf, pf.inTemp(QStringLiteral("mbmcreater.bat")));
    started = batch.started();
    if (!started) return {batch.error};
    switch (waitForFile(pf.inTemp(QStringLiteral("end.log")), batch, waitOptions)) {
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
    const QString message = converterMessage(plan.folder.inTemp(QStringLiteral("error.log")));
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
    for (const char* name : {"mbmcreater.txt", "mbmcreater.bat", "bmconv.exe", "end.log"})
        QFile::remove(pf.inTemp(QLatin1String(name)));
    QFile::remove(pf.inTemp(kIdentifierNamesFile));
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
    const QString bat = pf.inTemp(QStringLiteral("cleanup.bat"));
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

QString converterMessage(const QString& errorLogPath) {
    static const QStringList header = {QStringLiteral("BMCONV version"),
                                       QStringLiteral("Compiling..."),
                                       QStringLiteral("Multiple bitmap store type:"),
                                       QStringLiteral("Epoc file:"), QStringLiteral("Bitmap file")};
    QStringList message;
    for (const QString& line : readLines(errorLogPath)) {
        const QString text = line.trimmed();
        if (text.isEmpty()) continue;
        bool isHeader = false;
        for (const QString& h : header)
            isHeader = isHeader || text.startsWith(h);
        if (!isHeader) message << text;
    }
    return message.join(QLatin1Char('\n'));
}

Status replaceAtomically(const QString& from, const QString& to) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return Status::failure(
            QStringLiteral("%1 could not be read: %2").arg(native(from), in.errorString()));
    QSaveFile out(to);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return Status::failure(
            QStringLiteral("%1 could not be written: %2").arg(native(to), out.errorString()));
    constexpr qint64 kChunk = 1 << 20;
    QByteArray buffer(int(kChunk), Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), kChunk);
        if (n < 0) {
            out.cancelWriting();
            return Status::failure(
                QStringLiteral("%1 could not be read: %2").arg(native(from), in.errorString()));
        }
        if (n == 0) break;
        if (out.write(buffer.constData(), n) != n) break;
    }
    if (!out.commit())
        return Status::failure(
            QStringLiteral("%1 could not be written: %2").arg(native(to), out.errorString()));
    return Status::success();
}

Status runBuild(const SavePlan& plan, const BuildInputs& inputs, StatusSink& status,
                const WaitOptions& waitOptions) {
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
    const bool wantHeader = !plan.headerName.isEmpty();
    if (started && haveOutput && wantHeader && !FileExists(plan.headerPath()))
        problems << QStringLiteral("The converter made no header.");
    QString headerProblem;
    if (problems.isEmpty()) {
        status.setStatus(save_status::kCopying);
        if (Status copied = replaceAtomically(plan.outputPath(), plan.target); !copied)
            problems << copied.error;
        else if (wantHeader)
            if (Status header = replaceAtomically(plan.headerPath(), plan.headerTarget); !header)
                headerProblem = header.error;
    }
    status.setStatus(save_status::kCleaning);
    cleanUp(plan, started);
    if (problems.isEmpty() && headerProblem.isEmpty()) status.setStatus(save_status::kDone);
    // Normally fails: temp keeps error.log (and the running clean-up) for the next build.
    QDir().rmdir(plan.folder.temp());
    if (!problems.isEmpty()) return Status::failure(failureText(plan, problems));
    if (!headerProblem.isEmpty())
        return Status::failure(
            QStringLiteral("The archive was saved to %1, but its header was not.\n\n%2\n\nA "
                           "header already there was left unchanged; save again to write it.")
                .arg(native(plan.target), headerProblem));
    return Status::success();
}
