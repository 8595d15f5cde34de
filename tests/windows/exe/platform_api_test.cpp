// The platform layer's Windows calls on Windows (under wine): a batch started hidden runs
// in its own folder, counts as running until it ends and then as ended; a missing batch is
// not started; a program started minimized runs; an open file is flushed to disk; the
// drive test tells letter drives from network folders.
//   platform_api_test.exe <empty work folder>
// Prints one line per failed check and exits 1 when there was one.
#include "jobs/platform_api_win.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    if (ok) return;
    ++failures;
    std::printf("FAILED %s\n", what);
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

/// Tests `done` every 10 ms for up to 20 seconds.
bool eventually(const std::function<bool()>& done) {
    for (int i = 0; i < 2000; ++i) {
        if (done()) return true;
        winapi::sleepMs(10);
    }
    return done();
}

void letterDrives() {
    const struct {
        const wchar_t* path;
        bool expected;
    } cases[] = {
        {L"C:\\Tools\\temp\\job.bat", true},
        {L"z:\\job.bat", true},
        {L"\\\\server\\share\\job.bat", false},
        {L"C:", false},
        {L"1:\\job.bat", false},
        {L"", false},
    };
    for (const auto& c : cases)
        check(winapi::onLetterDrive(c.path) == c.expected, "onLetterDrive");
}

void hiddenBatch(const std::wstring& work) {
    const std::wstring bat = work + L"\\job.bat";
    // The batch names its files bare: they land in the folder it was started in.
    std::ofstream(bat.c_str(), std::ios::binary) << "echo started > started.txt\r\n"
                                                    ":wait\r\n"
                                                    "if not exist go.txt goto wait\r\n"
                                                    "echo done > done.txt\r\n";
    const winapi::Process process = winapi::startHidden(bat, work);
    check(process.started() && process.handle, "startHidden starts the batch");
    if (!process.started()) return;
    check(eventually([&] { return exists(work + L"\\started.txt"); }),
          "the batch runs in its own folder");
    check(winapi::isRunning(process), "isRunning while the batch waits");
    std::ofstream((work + L"\\go.txt").c_str()) << "go\r\n";
    check(eventually([&] { return !winapi::isRunning(process); }),
          "isRunning turns false when the batch has ended");
    check(exists(work + L"\\done.txt"), "the batch ran to its end");
    // A copy shares the handle: it still tells the ended process apart from a new one.
    const winapi::Process copy = process;
    check(!winapi::isRunning(copy), "a copy sees the same process");
}

void missingBatch(const std::wstring& work) {
    const winapi::Process process = winapi::startHidden(work + L"\\missing.bat", work);
    check(!process.started(), "a missing batch is not started");
    check(!winapi::isRunning(process), "nothing started is not running");
    check(!winapi::isRunning(winapi::Process{}), "an empty process is not running");
}

void minimizedStart(const std::wstring& work) {
    SetCurrentDirectoryW(work.c_str());
    check(winapi::startMinimized(L"cmd /c echo minimized > minimized.txt"),
          "startMinimized starts a program");
    check(eventually([&] { return exists(work + L"\\minimized.txt"); }),
          "the program started minimized ran");
    check(!winapi::startMinimized(L"no-such-program-anywhere.exe"),
          "a missing program is reported");
}

void diskSync(const std::wstring& work) {
    const std::wstring path = work + L"\\synced.txt";
    const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0644);
    check(fd >= 0, "a file to sync opens");
    if (fd < 0) return;
    check(_write(fd, "data", 4) == 4, "the file takes data");
    check(winapi::syncToDisk(fd), "syncToDisk flushes an open file");
    _close(fd);
    check(!winapi::syncToDisk(fd), "syncToDisk refuses a closed file");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::printf("usage: platform_api_test.exe <empty work folder>\n");
        return 2;
    }
    const std::wstring work = argv[1];
    CreateDirectoryW(work.c_str(), nullptr);
    letterDrives();
    hiddenBatch(work);
    missingBatch(work);
    minimizedStart(work);
    diskSync(work);
    std::printf("%d failed checks\n", failures);
    return failures == 0 ? 0 : 1;
}
