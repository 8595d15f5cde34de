#include "jobs/platform.h"

#include <QDir>
#include <QThread>

#include <windows.h>
#include <shellapi.h>

namespace platform {

BatchProcess startBatchHidden(const ProgramFolder&, const QString& batPath) {
    BatchProcess batch;
    const std::wstring file = QDir::toNativeSeparators(batPath).toStdWString();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = file.c_str();
    info.nShow = SW_HIDE;
    if (!ShellExecuteExW(&info) || !info.hProcess) {
        batch.error = QStringLiteral("Could not start %1.").arg(batPath);
        return batch;
    }
    batch.pid = qint64(GetProcessId(info.hProcess));
    CloseHandle(info.hProcess);
    return batch;
}

bool isRunning(const BatchProcess& batch) {
    if (!batch.started()) return false;
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(batch.pid));
    if (!h) return false;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
    CloseHandle(h);
    return running;
}

void sleepMs(int ms) { Sleep(DWORD(ms)); }

QStringList driveRoots() {
    QStringList roots;
    for (const QFileInfo& d : QDir::drives()) roots << d.absoluteFilePath().left(2);
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
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

} // namespace platform
