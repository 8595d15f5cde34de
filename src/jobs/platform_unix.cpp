#include "jobs/platform.h"

#include "jobs/batch_texts.h"
#include "jobs/work_protocol.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStorageInfo>
#include <QThread>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace platform {

BatchProcess startBatchHidden(const ProgramFolder& pf, const QString& batPath) {
    BatchProcess batch;
    if (Status usable = checkBatchFolder(pf.workRoot()); !usable) {
        batch.error = usable.error;
        return batch;
    }
    const QString runner = pf.file(work_files::kBatchrun);
    if (!QFile::exists(runner)) {
        batch.error = QStringLiteral("The batch interpreter %1 is missing.").arg(runner);
        return batch;
    }
    qint64 pid = 0;
    // Started in the batch's own folder, as on Windows: should its cd line fail, its del lines
    // act on the work folder, never on the folder the editor happens to run in.
    const QString folder = QFileInfo(batPath).absolutePath();
    QProcess process;
    process.setProgram(runner);
    process.setArguments({batPath});
    process.setWorkingDirectory(folder);
    // A hidden batch has no console, as on Windows: what its lines and the converter print
    // goes nowhere instead of onto the editor's terminal. Faults reach the editor through
    // the work files (error.log, the markers), as there.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached(&pid) || pid == 0) {
        batch.error = QStringLiteral("Could not start %1.").arg(batPath);
        return batch;
    }
    batch.pid = pid;
    return batch;
}

bool isRunning(const BatchProcess& batch) {
    if (!batch.started()) return false;
    if (::kill(pid_t(batch.pid), 0) != 0 && errno != EPERM) return false;
    // A detached process that has ended may linger as a zombie where nobody reaps it.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(batch.pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray text = stat.readAll();
        const int close = text.lastIndexOf(')');
        if (close > 0 && close + 2 < text.size() && text.at(close + 2) == 'Z') return false;
    }
    return true;
}

bool syncToDisk(QFileDevice& file) {
    const int fd = file.handle();
    if (fd < 0) return false;
    while (::fsync(fd) != 0)
        if (errno != EINTR) return false;
    return true;
}

void sleepMs(int ms) {
    QThread::msleep(ulong(ms));
}

QStringList driveRoots() {
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady()) continue;
        const QString root = v.rootPath();
        if (!roots.contains(root)) roots << root;
    }
    return roots;
}

bool openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

} // namespace platform
