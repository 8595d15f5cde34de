#include "jobs/platform.h"

#include "jobs/batch_texts.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <io.h>
#include <shellapi.h>
#include <windows.h>

namespace platform {

BatchProcess startBatchHidden(const ProgramFolder& pf, const QString& batPath) {
    BatchProcess batch;
    if (Status usable = checkBatchFolder(pf.workRoot()); !usable) {
        batch.error = usable.error;
        return batch;
    }
    const QString native = QDir::toNativeSeparators(batPath);
    // The command interpreter cannot work in a network folder (\\server\share): it would
    // fall back to the Windows folder, so such a batch is not started at all.
    if (native.size() < 3 || !native.at(0).isLetter() || native.at(1) != QLatin1Char(':')) {
        batch.error = QStringLiteral("Could not start %1: the program must lie on a drive "
                                     "with a letter, such as C:.")
                          .arg(native);
        return batch;
    }
    const std::wstring file = native.toStdWString();
    // The batch starts in its own work folder, so its del lines can never reach another
    // folder even when its cd line fails.
    const std::wstring folder =
        QDir::toNativeSeparators(QFileInfo(batPath).absolutePath()).toStdWString();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = file.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_HIDE;
    if (!ShellExecuteExW(&info) || !info.hProcess) {
        batch.error = QStringLiteral("Could not start %1.").arg(native);
        return batch;
    }
    batch.pid = qint64(GetProcessId(info.hProcess));
    // Kept open while any copy lives, so a reused process id cannot pass for the batch.
    batch.handle = std::shared_ptr<void>(info.hProcess, [](void* h) { CloseHandle(h); });
    return batch;
}

bool isRunning(const BatchProcess& batch) {
    if (!batch.started() || !batch.handle) return false;
    return WaitForSingleObject(batch.handle.get(), 0) == WAIT_TIMEOUT;
}

bool syncToDisk(QFileDevice& file) {
    const int fd = file.handle();
    if (fd < 0) return false;
    const HANDLE h = HANDLE(_get_osfhandle(fd));
    return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
}

void sleepMs(int ms) {
    Sleep(DWORD(ms));
}

QStringList driveRoots() {
    QStringList roots;
    for (const QFileInfo& d : QDir::drives())
        roots << d.absoluteFilePath().left(2);
    return roots;
}

bool openUrl(const QString& url) {
    const std::wstring cmd = (QStringLiteral("explorer ") + url).toStdWString();
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION pi{};
    std::wstring buffer = cmd;
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

} // namespace platform
