#include "jobs/work_folders.h"

#include "jobs/batch_texts.h"
#include "jobs/file_exists.h"
#include "jobs/text_file.h"
#include "jobs/work_protocol.h"

#include <QDir>
#include <QFile>

Status copyReplacing(const QString& from, const QString& to) {
    if (!QFile::exists(from))
        return Status::failure(
            QStringLiteral("%1 does not exist.").arg(QDir::toNativeSeparators(from)));
    if (QFile::exists(to) && !QFile::remove(to))
        return Status::failure(
            QStringLiteral("%1 could not be replaced.").arg(QDir::toNativeSeparators(to)));
    if (!QFile::copy(from, to))
        return Status::failure(
            QStringLiteral("%1 could not be copied to %2.")
                .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to)));
    return Status::success();
}

void removeStaleTemporaries(const QString& folder) {
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({work_files::kStaleTemporaries}, QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dir.filePath(name));
}

Status WorkFolders::usable() const {
    // The text that goes into the batch lines is what must be safe there.
    return checkBatchFolder(m_pf.batchRoot());
}

Status WorkFolders::prepare(const QString& folder) const {
    if (Status s = usable(); !s) return s;
    if (!QDir().mkpath(folder))
        return Status::failure(QStringLiteral("The work folder %1 could not be created.")
                                   .arg(QDir::toNativeSeparators(folder)));
    if (!QFile::exists(m_pf.bmconv()))
        return Status::failure(
            QStringLiteral("bmconv.exe is missing from the program folder %1.").arg(m_pf.path()));
    return copyReplacing(m_pf.bmconv(), folder + QDir::separator() + work_files::kBmconv);
}

Status WorkFolders::cleanUp() {
    return cleanUpKeeping({});
}

Status WorkFolders::cleanUpKeeping(const QSet<QString>& keep) {
    Status status = Status::success();
    // An earlier clean-up still running would delete the new batch as its last line.
    waitForCleanUp();
    const QString bat = m_pf.inTempextract(work_files::kCleanupBat);
    if (Status usable = this->usable(); !usable) {
        status = usable;
    } else if (!QDir(m_pf.tempextract()).exists()) {
        status = Status::failure(
            QStringLiteral("The work folder %1 does not exist yet.").arg(m_pf.tempextract()));
    } else {
        QStringList lines = generalCleanupBatch(m_pf);
        if (!keep.isEmpty()) {
            // A batch line cannot name every other bitmap safely: they go from here.
            lines.removeAll(QStringLiteral("del *.bmp"));
            const QDir work(m_pf.tempextract());
            for (const QString& name : work.entryList({QStringLiteral("*.bmp")}, QDir::Files))
                if (!keep.contains(name)) QFile::remove(work.filePath(name));
        }
        if (Status written = writeLines(bat, lines); !written) {
            status = written;
        } else {
            m_cleanup = platform::startBatchHidden(m_pf, bat);
            if (!m_cleanup.started()) status = Status::failure(m_cleanup.error);
        }
    }
    return status;
}

void WorkFolders::waitForCleanUp() {
    if (!m_cleanup.started()) return;
    const QString bat = m_pf.inTempextract(work_files::kCleanupBat);
    // Gone is not enough: the batch may still be ending after deleting itself.
    const auto finished = [&] { return !FileExists(bat) && !platform::isRunning(m_cleanup); };
    if (!finished()) waitUntil(finished, m_cleanup, m_waits);
    m_cleanup = {};
}
