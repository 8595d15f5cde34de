// Test programs keep their scratch folders in memory where the system offers a roomy
// RAM-backed folder. The editor flushes every file it writes for the user to the disk (fsync),
// and on a real disk each flush costs 5-15 ms, so the suite spent most of its time waiting for
// the disk. A TMPDIR the user chose is kept, and a small /dev/shm (as in many containers) is
// not used, nor one mounted without the right to run programs: the tests' program folders
// hold copies of the converter and the batch interpreter.
#include <cstdlib>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr unsigned long long kRoomNeeded = 2ULL << 30;

struct ScratchInMemory {
    ScratchInMemory() {
        const char* chosen = std::getenv("TMPDIR");
        if (chosen && *chosen) return;
        struct statvfs fs {};
        if (access("/dev/shm", W_OK | X_OK) != 0 || statvfs("/dev/shm", &fs) != 0) return;
        if (static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize < kRoomNeeded) return;
        if (fs.f_flag & ST_NOEXEC) return; // the copied programs could not run there
        setenv("TMPDIR", "/dev/shm", 0);
    }
};

const ScratchInMemory scratchInMemory;

} // namespace
