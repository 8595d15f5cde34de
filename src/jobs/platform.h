// Everything that differs between Windows and the other systems: starting a batch hidden,
// telling whether it still runs, the drives, opening a web page, sleeping.
#pragma once
#include "jobs/program_folder.h"

#include <QFileDevice>
#include <QString>
#include <QStringList>

#include <memory>

/// A started batch. `pid` is 0 when nothing was started; `error` then says why.
struct BatchProcess {
    qint64 pid = 0;
    QString error;
    /// Windows: the process handle, closed with the last copy. Unused elsewhere.
    std::shared_ptr<void> handle;
    bool started() const { return pid != 0; }
};

namespace platform {

/// Starts the batch file at `batPath` hidden and does not wait for it, in the batch's own
/// folder (so its del lines cannot reach another folder even when its cd line fails). On
/// Windows through the shell with a hidden window; elsewhere by starting `batchrun` from the
/// program folder, detached, with the batch's full path.
BatchProcess startBatchHidden(const ProgramFolder& pf, const QString& batPath);

/// True while the started batch process has not ended.
bool isRunning(const BatchProcess& batch);

/// Pushes what was written to the open `file` through to the disk (fsync, FlushFileBuffers).
/// False when the system reports that the data could not be stored.
bool syncToDisk(QFileDevice& file);

/// Sleeps on the calling thread; no window events are processed meanwhile.
void sleepMs(int ms);

/// The drives to offer in a drive list: on Windows the drive letters ("C:"), elsewhere the
/// roots of the mounted volumes, "/" first.
QStringList driveRoots();

/// Opens a web address in the user's browser without waiting: on Windows "explorer " and the
/// address, minimized with the focus; elsewhere the desktop's URL opener. False when nothing
/// could be started.
bool openUrl(const QString& url);

} // namespace platform
