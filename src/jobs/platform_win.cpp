#include "jobs/platform.h"

#include "jobs/batch_texts.h"
#include "jobs/platform_api_win.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

BatchProcess startBatchHidden(const ProgramFolder& pf, const QString& batPath) {
    BatchProcess batch;
    if (Status usable = checkBatchFolder(pf.workRoot()); !usable) {
        batch.error = usable.error;
        return batch;
    }
    const QString native = QDir::toNativeSeparators(batPath);
    if (!winapi::onLetterDrive(native.toStdWString())) {
        batch.error = QStringLiteral("Could not start %1: the program must lie on a drive "
                                     "with a letter, such as C:.")
                          .arg(native);
        return batch;
    }
    // The batch starts in its own work folder, so its del lines can never reach another
    // folder even when its cd line fails.
    const QString folder = QDir::toNativeSeparators(QFileInfo(batPath).absolutePath());
    const winapi::Process process =
        winapi::startHidden(native.toStdWString(), folder.toStdWString());
    if (!process.started()) {
        batch.error = QStringLiteral("Could not start %1.").arg(native);
        return batch;
    }
    batch.pid = qint64(process.pid);
    batch.handle = process.handle;
    return batch;
}

bool isRunning(const BatchProcess& batch) {
    if (!batch.started()) return false;
    return winapi::isRunning({static_cast<unsigned long>(batch.pid), batch.handle});
}

bool syncToDisk(QFileDevice& file) {
    const int fd = file.handle();
    return fd >= 0 && winapi::syncToDisk(fd);
}

void sleepMs(int ms) {
    winapi::sleepMs(ms);
}

QStringList driveRoots() {
    QStringList roots;
    for (const QFileInfo& d : QDir::drives())
        roots << d.absoluteFilePath().left(2);
    return roots;
}

bool openUrl(const QString& url) {
    return winapi::startMinimized((QStringLiteral("explorer ") + url).toStdWString());
}

} // namespace platform
