#include "jobs/platform_api_win.h"

// windows.h first: shellapi.h builds on its types.
#include <windows.h>

#include <io.h>
#include <shellapi.h>

namespace winapi {

bool onLetterDrive(const std::wstring& path) {
    if (path.size() < 3 || path[1] != L':') return false;
    const wchar_t c = path[0];
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

Process startHidden(const std::wstring& file, const std::wstring& folder) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_HIDE;
    Process process;
    if (!ShellExecuteExW(&info) || !info.hProcess) return process;
    process.pid = GetProcessId(info.hProcess);
    process.handle = std::shared_ptr<void>(info.hProcess, [](void* h) { CloseHandle(h); });
    return process;
}

bool isRunning(const Process& process) {
    if (!process.started() || !process.handle) return false;
    return WaitForSingleObject(process.handle.get(), 0) == WAIT_TIMEOUT;
}

bool syncToDisk(int fd) {
    const HANDLE h = HANDLE(_get_osfhandle(fd));
    return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
}

void sleepMs(int ms) {
    Sleep(DWORD(ms));
}

bool startMinimized(const std::wstring& commandLine) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION pi{};
    std::wstring buffer = commandLine; // CreateProcessW may write into the command line
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

} // namespace winapi
