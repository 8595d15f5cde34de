// The Windows calls behind the platform layer, in plain wide strings without Qt, so that
// they build with any Windows compiler and are tested on their own.
#pragma once
#include <memory>
#include <string>

namespace winapi {

/// A process started by startHidden. `pid` is 0 when nothing was started; the handle is
/// closed with the last copy, so a reused process id can never pass for this process.
struct Process {
    unsigned long pid = 0;
    std::shared_ptr<void> handle;
    bool started() const { return pid != 0; }
};

/// True when `path` begins with a drive letter and a colon (C:\...). The command
/// interpreter cannot work in a network folder (\\server\share): it would fall back to the
/// Windows folder, so batches are only started from drives with a letter.
bool onLetterDrive(const std::wstring& path);

/// Starts `file` through the shell with a hidden window, in `folder`, without waiting.
Process startHidden(const std::wstring& file, const std::wstring& folder);

/// True while `process` has not ended.
bool isRunning(const Process& process);

/// Writes what the system holds of the open file `fd` (a C runtime file descriptor) to the
/// disk. False when that failed or `fd` is no open file.
bool syncToDisk(int fd);

/// Sleeps on the calling thread.
void sleepMs(int ms);

/// Starts `commandLine` minimized with the focus, without waiting. False when nothing
/// could be started.
bool startMinimized(const std::wstring& commandLine);

} // namespace winapi
